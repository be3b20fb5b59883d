// The show's GL surface: opening it full screen or in a host window, the stretch
// fit and presenting frames. The drawing bridge lives in frame_bridge.cpp.
#include <GL/glu.h>

#include <map>

#include "platform/video.h"
#include "render/screen_state.h"
#include "render/sprite.h"

ScreenState screenState;

namespace {
// Windows are remembered by SDL id, so a window SDL has already destroyed
// (at shutdown) is simply not found.
std::map<int, uint32_t> hostWindows;
uint32_t fullscreenWindow = 0;

SDL_Window* HostWindow(int number) {
  auto it = hostWindows.find(number);
  return it != hostWindows.end() && VideoRunning() ? SDL_GetWindowFromID(it->second) : nullptr;
}

void SetProjection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(0, screenState.logicalWidth, 0, screenState.logicalHeight);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glViewport(screenState.viewportX, screenState.viewportY, screenState.windowWidth, screenState.windowHeight);
}

void ClearBuffers() {
  glClearColor(0, 0, 0, 0);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  MarkFrameChanged();
}

// Places the picture inside the host window's drawable. Stretched, it fills
// the window less the offsets; otherwise it keeps its logical size with its
// top-left at (x, y).
void PlaceInHost(int hostW, int hostH) {
  ScreenState& s = screenState;
  if (s.autoStretch) {
    s.windowWidth = hostW - (s.x + s.rightOffset);
    s.windowHeight = hostH - (s.y + s.bottomOffset);
    if (s.windowWidth < 1) s.windowWidth = 1;
    if (s.windowHeight < 1) s.windowHeight = 1;
    s.viewportX = s.x;
    s.viewportY = s.bottomOffset;
  } else {
    s.windowWidth = s.logicalWidth;
    s.windowHeight = s.logicalHeight;
    s.viewportX = s.x;
    s.viewportY = hostH - s.y - s.logicalHeight;
  }
}

void OnHostResized(uint32_t windowId, int width, int height) {
  ScreenState& s = screenState;
  if (!s.context || !s.windowed || !s.parentWindow || SDL_GetWindowID(s.parentWindow) != windowId) return;
  PlaceInHost(width, height);
  SetProjection();
  if (s.autoStretch) ClearBuffers();
}

// The GL state every surface starts with; false when the context is unusable.
bool StartContext(SDL_Window* window, int width, int height) {
  ScreenState& s = screenState;
  s.context = VideoCreateContext(window);
  if (!s.context) return false;
  s.surfaceWindow = window;
  s.logicalWidth = width;
  s.logicalHeight = height;
  s.colourDepth = 32;
  s.textureTarget = GL_TEXTURE_RECTANGLE;
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  SetProjection();
  glEnable(GL_TEXTURE_RECTANGLE);
  ClearBuffers();
  VideoSwap(window);
  ClearBuffers();
  s.swapInterval = 1;
  VideoSetSwapInterval(1);
  VideoSetResizeHandler(OnHostResized);
  return glGetError() == GL_NO_ERROR;
}
}  // namespace

int DesktopWidth() { return VideoDesktopWidth(); }
int DesktopHeight() { return VideoDesktopHeight(); }

void CloseScreen() {
  ScreenState& s = screenState;
  if (!VideoRunning()) s.context = nullptr;  // SDL is gone and took the context with it
  FreeAllSprites();
  DropBridgeTexture();
  s.windowWidth = s.windowHeight = 0;
  VideoSetResizeHandler(nullptr);
  if (s.context) VideoDestroyContext(s.context);
  s.context = nullptr;
  if (fullscreenWindow) {
    if (VideoRunning()) {
      VideoDestroyWindow(SDL_GetWindowFromID(fullscreenWindow));
      VideoShowCursor(true);
    }
    fullscreenWindow = 0;
  }
  s.surfaceWindow = nullptr;
  s.parentWindow = nullptr;
}

int OpenFullscreenDisplay(int width, int height, int depth, const std::string& title) {
  CloseScreen();
  ScreenState& s = screenState;
  s.windowed = false;
  s.autoStretch = false;
  if (width <= 0 || height <= 0) return 0;
  SDL_Window* window = VideoCreateFullscreen(title, width, height);
  if (!window) return 0;
  VideoShowCursor(false);
  fullscreenWindow = SDL_GetWindowID(window);
  int dw = 0, dh = 0;
  VideoDrawableSize(window, dw, dh);
  s.x = s.y = s.rightOffset = s.bottomOffset = 0;
  s.viewportX = s.viewportY = 0;
  s.windowWidth = width;
  s.windowHeight = height;
  if (!StartContext(window, width, height)) {
    CloseScreen();
    return 0;
  }
  return 1;
}

int OpenHostWindow(int number, int x, int y, int width, int height, const std::string& title, int style) {
  if (SDL_Window* old = HostWindow(number)) {
    if (screenState.parentWindow == old) CloseScreen();
    VideoDestroyWindow(old);
  }
  hostWindows.erase(number);
  SDL_Window* window = VideoCreateWindow(title, x, y, width, height, style == HOST_STYLE_BORDERLESS);
  if (!window) return 0;
  hostWindows[number] = SDL_GetWindowID(window);
  return 1;
}

int OpenWindowDisplay(int hostWindow, int x, int y, int width, int height, int autoStretch, int rightOffset,
                      int bottomOffset) {
  CloseScreen();
  ScreenState& s = screenState;
  s.windowed = true;
  s.autoStretch = autoStretch != 0;
  s.x = x;
  s.y = y;
  s.rightOffset = rightOffset;
  s.bottomOffset = bottomOffset;
  SDL_Window* host = HostWindow(hostWindow);
  if (!host || width <= 0 || height <= 0) return 0;
  s.parentWindow = host;
  s.logicalWidth = width;
  s.logicalHeight = height;
  int hostW = 0, hostH = 0;
  VideoDrawableSize(s.parentWindow, hostW, hostH);
  PlaceInHost(hostW, hostH);
  if (!StartContext(s.parentWindow, width, height)) {
    CloseScreen();
    return 0;
  }
  return 1;
}

void ShowDisplayCursor(bool show) { VideoShowCursor(show); }

int SetSwapInterval(int interval) {
  if (!screenState.context) return 0;
  screenState.swapInterval = interval;
  return VideoSetSwapInterval(interval);
}

int PresentFrame() {
  ScreenState& s = screenState;
  if (!s.context || !VideoRunning()) return 0;
  if (!s.windowed) VideoDrainEvents();
  VideoSwap(s.surfaceWindow);
  if (!s.windowed) VideoDrainEvents();
  MarkFrameChanged();
  return 1;
}
