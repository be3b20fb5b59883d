// The show's GL surface: opening it full screen or in a host window, the stretch
// fit, presenting frames, and the bridge that hands the frame to the software
// primitives as a bottom-up BGR buffer and writes it back as one opaque quad.
#include <GL/glu.h>

#include <chrono>
#include <map>
#include <vector>

#include "platform/video.h"
#include "render/draw.h"
#include "render/screen_state.h"
#include "render/sprite.h"

#ifndef GL_BGR
#define GL_BGR 0x80E0
#endif

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

// The drawing bridge. frame is the logical-size copy the primitives paint on;
// frameCurrent says it still equals what GL shows, so the next read-back can
// be skipped. One texture is kept for the write-back.
std::vector<uint8_t> frame;
std::vector<uint8_t> windowFrame;
bool frameCurrent = false;
GLuint bridgeTexture = 0;
int bridgeTextureW = 0, bridgeTextureH = 0;
double bridgeMs = 0.0;

double NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int RowStride(int width) { return (width * 3 + 3) & ~3; }

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
  frameCurrent = false;
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

// Nearest-neighbour resampling of the window-size read-back to the logical
// size, in 16.16 fixed point, first sample half a step in. Rows stay bottom-up.
void ResampleToLogical(int srcW, int srcH, int dstW, int dstH) {
  int srcStride = RowStride(srcW), dstStride = RowStride(dstW);
  uint32_t stepX = (uint32_t)(((uint64_t)srcW << 16) / (uint64_t)dstW);
  uint32_t stepY = (uint32_t)(((uint64_t)srcH << 16) / (uint64_t)dstH);
  uint32_t py = stepY / 2;
  for (int y = 0; y < dstH; y++, py += stepY) {
    int sy = (int)(py >> 16);
    if (sy >= srcH) sy = srcH - 1;
    const uint8_t* src = windowFrame.data() + (size_t)sy * srcStride;
    uint8_t* dst = frame.data() + (size_t)y * dstStride;
    uint32_t px = stepX / 2;
    for (int x = 0; x < dstW; x++, px += stepX) {
      int sx = (int)(px >> 16);
      if (sx >= srcW) sx = srcW - 1;
      dst[x * 3 + 0] = src[sx * 3 + 0];
      dst[x * 3 + 1] = src[sx * 3 + 1];
      dst[x * 3 + 2] = src[sx * 3 + 2];
    }
  }
}

bool ReadFrameBack() {
  const ScreenState& s = screenState;
  while (glGetError() != GL_NO_ERROR) {
  }
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadBuffer(GL_BACK);
  if (s.windowWidth == s.logicalWidth && s.windowHeight == s.logicalHeight) {
    glReadPixels(s.viewportX, s.viewportY, s.logicalWidth, s.logicalHeight, GL_BGR, GL_UNSIGNED_BYTE, frame.data());
  } else {
    windowFrame.resize((size_t)RowStride(s.windowWidth) * (size_t)s.windowHeight);
    glReadPixels(s.viewportX, s.viewportY, s.windowWidth, s.windowHeight, GL_BGR, GL_UNSIGNED_BYTE,
                 windowFrame.data());
    ResampleToLogical(s.windowWidth, s.windowHeight, s.logicalWidth, s.logicalHeight);
  }
  return glGetError() == GL_NO_ERROR;
}

// Release action of the screen output: the whole frame goes back as one opaque
// textured quad over the logical area.
void WriteFrameBack(void*) {
  const ScreenState& s = screenState;
  if (!s.context) return;
  double t0 = NowMs();
  int w = s.logicalWidth, h = s.logicalHeight;
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  if (!bridgeTexture) glGenTextures(1, &bridgeTexture);
  glBindTexture(GL_TEXTURE_RECTANGLE, bridgeTexture);
  // One texel per pixel needs no filtering (and nearest is much cheaper on
  // software GL); a stretched window gets the smoothed picture.
  GLint filter = s.windowWidth == w && s.windowHeight == h ? GL_NEAREST : GL_LINEAR;
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, filter);
  if (bridgeTextureW != w || bridgeTextureH != h) {
    glTexImage2D(GL_TEXTURE_RECTANGLE, 0, GL_RGB, w, h, 0, GL_BGR, GL_UNSIGNED_BYTE, frame.data());
    bridgeTextureW = w;
    bridgeTextureH = h;
  } else {
    glTexSubImage2D(GL_TEXTURE_RECTANGLE, 0, 0, 0, w, h, GL_BGR, GL_UNSIGNED_BYTE, frame.data());
  }
  glDisable(GL_BLEND);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glColor4f(1, 1, 1, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex3f(0, 0, 0);
  glTexCoord2f((float)w, 0);
  glVertex3f((float)w, 0, 0);
  glTexCoord2f((float)w, (float)h);
  glVertex3f((float)w, (float)h, 0);
  glTexCoord2f(0, (float)h);
  glVertex3f(0, (float)h, 0);
  glEnd();
  frameCurrent = true;
  bridgeMs += NowMs() - t0;
}

void DropBridgeTexture() {
  if (bridgeTexture && screenState.context) glDeleteTextures(1, &bridgeTexture);
  bridgeTexture = 0;
  bridgeTextureW = bridgeTextureH = 0;
}
}  // namespace

void MarkFrameChanged() { frameCurrent = false; }

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
  frameCurrent = false;
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
  frameCurrent = false;
  return 1;
}

int BeginScreenDrawing() {
  const ScreenState& s = screenState;
  if (!s.context || s.logicalWidth <= 0 || s.logicalHeight <= 0) return 0;
  double t0 = NowMs();
  frame.resize((size_t)RowStride(s.logicalWidth) * (size_t)s.logicalHeight);
  if (!frameCurrent) {
    if (!ReadFrameBack()) {
      bridgeMs += NowMs() - t0;
      return 0;
    }
    frameCurrent = true;
  }
  bridgeMs += NowMs() - t0;
  return BeginBufferDrawing(frame.data(), s.logicalWidth, s.logicalHeight, 3, RowStride(s.logicalWidth), true,
                            WriteFrameBack, nullptr);
}

double BridgeMilliseconds() { return bridgeMs; }
