// The show's display: the window it appears in (exclusive full screen or
// inside a host window, stretched or not) and putting the finished frame
// there once a frame. The frame is the caller's: a pixel view handed down each
// time. No window-system type shows through this header.
#pragma once
#include <cstdint>
#include <string>

#include "platform/pixels.h"

// Host window styles for OpenHostWindow.
constexpr int HOST_STYLE_CAPTION = 1;     // title bar with a close box
constexpr int HOST_STYLE_BORDERLESS = 2;  // plain popup over the desktop

// How the frame reaches the window. AUTO, the default, picks GL where the GL
// renderer is a hardware one and the window surface otherwise. A target with
// one way only (a browser canvas) reports PRESENTER_SURFACE.
constexpr int PRESENTER_AUTO = 0;
constexpr int PRESENTER_GL = 1;
constexpr int PRESENTER_SURFACE = 2;

// ---- each target provides ----------------------------------------------------
// Size of the primary display, or of the page (0 when there is none).
int DesktopWidth();
int DesktopHeight();
// Exclusive full screen in a width x height mode (the depth is 32 or ignored);
// 0 when the display offers no such mode. Closes the display open before.
int OpenFullscreenDisplay(int width, int height, int depth, const std::string& title);
// Host windows are numbered by the caller; non-zero on success. Opening a
// number again replaces its window (and closes a display shown in it).
int OpenHostWindow(int number, int x, int y, int width, int height, const std::string& title, int style);
// The display inside host window hostWindow at (x, y), width x height logical
// pixels; with autoStretch the picture fills the host less the offsets, and
// follows it when it changes size. Closes the display open before; 0 on failure.
int OpenWindowDisplay(int hostWindow, int x, int y, int width, int height, int autoStretch,
                      int rightOffset = 0, int bottomOffset = 0);
// Closes the display (and a full-screen window); host windows stay.
void CloseScreen();
// Shows or hides the mouse cursor over the display.
void ShowDisplayCursor(bool show);
// Puts the frame (XRGB8888, the display's logical size) on the display,
// scaled by the nearest pixel where the picture is stretched; 0 when no
// display is open or the frame is missing.
int PresentFrame(const PixelView& frame);
// 1: one frame per display refresh (the vertical retrace where the presenter
// can wait for it, a paced loop where it cannot); 0: as fast as frames come
// (the benchmark, tests). Non-zero when accepted.
int SetSwapInterval(int interval);

// ---- shared by every target (display_info.cpp, display_record.cpp) -------------
// The presenter the next display will use (PRESENTER_*); the open one is kept.
void ChoosePresenter(int presenter);
struct DisplayInfo {
  bool open = false;
  bool windowed = false;
  int presenter = PRESENTER_AUTO;  // the one in use: PRESENTER_GL or PRESENTER_SURFACE
  int logicalWidth = 0, logicalHeight = 0;
  // Where the picture lies in the window's drawable, top-left origin.
  int pictureX = 0, pictureY = 0, pictureWidth = 0, pictureHeight = 0;
  uint32_t windowId = 0;  // the window system's number of the window shown in (0: none)
  double refreshHz = 0;
};
// The open display as the target last described it.
DisplayInfo CurrentDisplay();
