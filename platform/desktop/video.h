// SDL2 windows and OpenGL contexts for the show: starting SDL's video part, the
// desktop size, windows (captioned, borderless, exclusive full screen), legacy
// GL contexts, buffer swaps, the cursor and the window event pump.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <string>

// Starts SDL's video subsystem when it is not running (false without a display).
bool VideoStart();
// False once SDL has been shut down: every window and context is gone.
bool VideoRunning();
int VideoDesktopWidth();
int VideoDesktopHeight();

// A window with a title bar (caption) or without any decoration (borderless),
// client area width x height at (x, y), ready for OpenGL. Null on failure.
SDL_Window* VideoCreateWindow(const std::string& title, int x, int y, int width, int height, bool borderless);
// An exclusive full-screen window in a width x height display mode; null when
// the display offers no such mode.
SDL_Window* VideoCreateFullscreen(const std::string& title, int width, int height);
void VideoDestroyWindow(SDL_Window* window);
// The X11 window of the newest show window still open; 0 when there is none
// (or it is not an X11 window). Message boxes are kept above it.
unsigned long VideoShowWindowX11();
void VideoDrawableSize(SDL_Window* window, int& width, int& height);

// A legacy (compatibility) context with double buffering and a 16-bit depth
// buffer, made current on the window. Null on failure.
SDL_GLContext VideoCreateContext(SDL_Window* window);
void VideoDestroyContext(SDL_GLContext context);
void VideoSwap(SDL_Window* window);
// Non-zero when the driver accepted the interval.
int VideoSetSwapInterval(int interval);
void VideoShowCursor(bool show);

// Called when one of our windows changes size (drawable size in pixels).
using VideoResizeHandler = void (*)(uint32_t windowId, int width, int height);
void VideoSetResizeHandler(VideoResizeHandler handler);
// Takes one pending event: 0 when none is left, VIDEO_CLOSE_REQUEST for a close
// request (window close box or quit), 1 for anything else. Size changes are
// passed to the resize handler on the way.
constexpr int VIDEO_CLOSE_REQUEST = -1;
int VideoNextEvent();
// Handles and drops every pending event (size changes still reach the handler).
void VideoDrainEvents();
// True when an Escape press passed through the event pump since the last call,
// so a tap shorter than a frame is not lost between two keyboard readings.
bool VideoTakeEscapePress();
