// The SDL2 side of the display: video start-up, windows, legacy OpenGL contexts,
// swaps, the cursor and the event pump. The picture is never scaled for the
// desktop's DPI: windows are created without high-DPI backing.
#include "platform/desktop/video.h"

#include <SDL_syswm.h>

namespace {
VideoResizeHandler resizeHandler = nullptr;
bool escapePressed = false;  // an Escape press went through the queue since the last look
uint32_t showWindowId = 0;   // the newest show window, which message boxes stay above

void SetContextAttributes() {
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

// SDL stores an X11 window's WM_NAME as UTF-8 text, which tools that read it
// in the C locale (xdotool, older window managers) cannot decode. An ASCII
// title is stored again as plain STRING so they find the window by name.
void StorePlainTitle(SDL_Window* window, const std::string& title) {
#if defined(SDL_VIDEO_DRIVER_X11)
  for (unsigned char c : title)
    if (c >= 0x80) return;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  XStoreName(info.info.x11.display, info.info.x11.window, title.c_str());
  XFlush(info.info.x11.display);
#endif
}

// Size changes go to the handler; returns what VideoNextEvent reports.
int Classify(const SDL_Event& e) {
  if (e.type == SDL_QUIT) return VIDEO_CLOSE_REQUEST;
  if (e.type == SDL_KEYDOWN && e.key.keysym.scancode == SDL_SCANCODE_ESCAPE) escapePressed = true;
  if (e.type == SDL_WINDOWEVENT) {
    if (e.window.event == SDL_WINDOWEVENT_CLOSE) return VIDEO_CLOSE_REQUEST;
    if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && resizeHandler) {
      SDL_Window* w = SDL_GetWindowFromID(e.window.windowID);
      int dw = e.window.data1, dh = e.window.data2;
      if (w) SDL_GL_GetDrawableSize(w, &dw, &dh);
      resizeHandler(e.window.windowID, dw, dh);
    }
  }
  return 1;
}
}  // namespace

bool VideoStart() { return VideoRunning() || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0; }

bool VideoRunning() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

int VideoDesktopWidth() {
  SDL_DisplayMode mode;
  if (!VideoStart() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
  return mode.w;
}

int VideoDesktopHeight() {
  SDL_DisplayMode mode;
  if (!VideoStart() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
  return mode.h;
}

SDL_Window* VideoCreateWindow(const std::string& title, int x, int y, int width, int height, bool borderless) {
  if (width <= 0 || height <= 0 || !VideoStart()) return nullptr;
  SetContextAttributes();
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | (borderless ? SDL_WINDOW_BORDERLESS : 0);
  SDL_Window* window = SDL_CreateWindow(title.c_str(), x, y, width, height, flags);
  StorePlainTitle(window, title);
  if (window) showWindowId = SDL_GetWindowID(window);
  return window;
}

SDL_Window* VideoCreateFullscreen(const std::string& title, int width, int height) {
  if (width <= 0 || height <= 0 || !VideoStart()) return nullptr;
  SDL_DisplayMode chosen{};
  bool found = false;
  int modes = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < modes && !found; i++) {
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(0, i, &m) == 0 && m.w == width && m.h == height) {
      chosen = m;
      found = true;
    }
  }
  if (!found) return nullptr;
  SetContextAttributes();
  SDL_Window* window = SDL_CreateWindow(title.c_str(), 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) return nullptr;
  StorePlainTitle(window, title);
  if (SDL_SetWindowDisplayMode(window, &chosen) != 0 || SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0) {
    SDL_DestroyWindow(window);
    return nullptr;
  }
  SDL_ShowWindow(window);
  SDL_RaiseWindow(window);
  showWindowId = SDL_GetWindowID(window);
  return window;
}

void VideoDestroyWindow(SDL_Window* window) {
  if (!window) return;
  if (SDL_GetWindowID(window) == showWindowId) showWindowId = 0;
  SDL_DestroyWindow(window);
}

unsigned long VideoShowWindowX11() {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_Window* window = showWindowId && VideoRunning() ? SDL_GetWindowFromID(showWindowId) : nullptr;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
    return (unsigned long)info.info.x11.window;
#endif
  return 0;
}

void VideoDrawableSize(SDL_Window* window, int& width, int& height) {
  width = height = 0;
  if (window) SDL_GL_GetDrawableSize(window, &width, &height);
}

SDL_GLContext VideoCreateContext(SDL_Window* window) {
  if (!window) return nullptr;
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) return nullptr;
  if (SDL_GL_MakeCurrent(window, context) != 0) {
    SDL_GL_DeleteContext(context);
    return nullptr;
  }
  return context;
}

void VideoDestroyContext(SDL_GLContext context) {
  if (!context) return;
  SDL_GL_MakeCurrent(nullptr, nullptr);
  SDL_GL_DeleteContext(context);
}

void VideoSwap(SDL_Window* window) {
  if (window) SDL_GL_SwapWindow(window);
}

int VideoSetSwapInterval(int interval) { return SDL_GL_SetSwapInterval(interval) == 0 ? 1 : 0; }

void VideoShowCursor(bool show) {
  if (VideoRunning()) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void VideoSetResizeHandler(VideoResizeHandler handler) { resizeHandler = handler; }

int VideoNextEvent() {
  if (!VideoRunning()) return 0;
  SDL_Event e;
  if (!SDL_PollEvent(&e)) return 0;
  return Classify(e);
}

void VideoDrainEvents() {
  if (!VideoRunning()) return;
  SDL_Event e;
  while (SDL_PollEvent(&e)) Classify(e);
}

bool VideoTakeEscapePress() {
  bool pressed = escapePressed;
  escapePressed = false;
  return pressed;
}
