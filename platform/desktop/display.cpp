// The show's display on the desktop: opening it full screen or inside a host
// window through SDL, the presenter chosen once per display, and presenting
// the frame the driver hands down. Where the picture lies and the pacing are
// the display record's (platform/display_record.cpp).
#include "platform/display.h"

#include <map>
#include <thread>

#include "platform/desktop/presenter.h"
#include "platform/desktop/video.h"
#include "platform/target.h"

namespace {
SDL_Window* shownWindow = nullptr;  // the window the open display is in

// Windows are remembered by SDL id, so a window SDL has already destroyed
// (at shutdown) is simply not found.
std::map<int, uint32_t> hostWindows;
uint32_t fullscreenWindow = 0;

SDL_Window* HostWindow(int number) {
  auto it = hostWindows.find(number);
  return it != hostWindows.end() && VideoRunning() ? SDL_GetWindowFromID(it->second) : nullptr;
}

void OnHostResized(uint32_t windowId, int width, int height) {
  if (shownWindow && SDL_GetWindowID(shownWindow) == windowId) FollowHostSize(width, height);
}

double RefreshRate(SDL_Window* window) {
  SDL_DisplayMode mode;
  int index = SDL_GetWindowDisplayIndex(window);
  if (index >= 0 && SDL_GetCurrentDisplayMode(index, &mode) == 0 && mode.refresh_rate > 0) return mode.refresh_rate;
  return 60;
}

// Picks the presenter for the window and opens the display begun in the
// record; 0 (the display closed) when the window cannot show it.
int StartPresenting(SDL_Window* window) {
  const double refreshHz = RefreshRate(window);
  const int requested = RequestedPresenter();
  int presenter = PRESENTER_SURFACE;
  if (requested != PRESENTER_SURFACE && GlPresenterStart(window, requested == PRESENTER_AUTO)) {
    presenter = PRESENTER_GL;
  } else if (!SurfacePresenterStart(window)) {
    CloseScreen();
    return 0;
  }
  shownWindow = window;
  DisplayOpened(SDL_GetWindowID(window), presenter, refreshHz);
  SetSwapInterval(1);
  VideoSetResizeHandler(OnHostResized);
  return 1;
}
}  // namespace

int DesktopWidth() { return VideoDesktopWidth(); }
int DesktopHeight() { return VideoDesktopHeight(); }

void CloseScreen() {
  VideoSetResizeHandler(nullptr);
  if (displayRecord.presenter == PRESENTER_GL && VideoRunning()) GlPresenterStop();
  if (fullscreenWindow) {
    if (VideoRunning()) {
      VideoDestroyWindow(SDL_GetWindowFromID(fullscreenWindow));
      VideoShowCursor(true);
    }
    fullscreenWindow = 0;
  }
  shownWindow = nullptr;
  ForgetDisplay();
}

int OpenFullscreenDisplay(int width, int height, int depth, const std::string& title) {
  CloseScreen();
  if (width <= 0 || height <= 0) return 0;
  SDL_Window* window = VideoCreateFullscreen(title, width, height);
  if (!window) return 0;
  VideoShowCursor(false);
  fullscreenWindow = SDL_GetWindowID(window);
  BeginDisplayRecord(false, PicturePlace{}, width, height, width, height);
  return StartPresenting(window);
}

int OpenHostWindow(int number, int x, int y, int width, int height, const std::string& title, int style) {
  if (SDL_Window* old = HostWindow(number)) {
    if (shownWindow == old) CloseScreen();
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
  SDL_Window* host = HostWindow(hostWindow);
  if (!host || width <= 0 || height <= 0) return 0;
  int hostW = 0, hostH = 0;
  VideoDrawableSize(host, hostW, hostH);
  BeginDisplayRecord(true, PicturePlace{x, y, autoStretch != 0, rightOffset, bottomOffset}, width, height, hostW,
                     hostH);
  return StartPresenting(host);
}

void ShowDisplayCursor(bool show) { VideoShowCursor(show); }

int SetSwapInterval(int interval) { return KeepSwapInterval(interval, GlSetSwapInterval); }

int PresentFrame(const PixelView& frame) {
  const DisplayRecord& d = displayRecord;
  if (!d.open || !VideoRunning()) return 0;
  if (!d.windowed) VideoDrainEvents();
  bool shown = d.presenter == PRESENTER_GL ? GlPresent(shownWindow, frame, d.picture)
                                           : SurfacePresent(shownWindow, frame, d.picture);
  std::this_thread::sleep_for(FrameHoldBack(true));
  if (!d.windowed) VideoDrainEvents();
  return shown ? 1 : 0;
}
