// The show's display on the desktop: opening it full screen or inside a host
// window, where the picture lies in the window (the stretch fit), the
// presenter chosen once per display, presenting the frame the driver hands
// down and pacing the loop to the display's refresh rate when nothing else
// waits for it.
#include "platform/display.h"

#include <chrono>
#include <algorithm>
#include <map>
#include <thread>

#include "platform/desktop/presenter.h"
#include "platform/desktop/video.h"
#include "platform/target.h"

namespace {
struct DisplayState {
  bool open = false;
  bool windowed = false;
  bool autoStretch = false;
  int presenter = PRESENTER_AUTO;
  int logicalWidth = 0, logicalHeight = 0;
  int x = 0, y = 0, rightOffset = 0, bottomOffset = 0;  // placement inside the host window
  PictureRect picture;
  SDL_Window* window = nullptr;
  int swapInterval = 1;
  bool retraceWaits = false;  // the GL swap waits for the vertical retrace
  double refreshHz = 60;
  std::chrono::steady_clock::time_point nextFrame;
};

DisplayState display;
int requestedPresenter = PRESENTER_AUTO;

// Windows are remembered by SDL id, so a window SDL has already destroyed
// (at shutdown) is simply not found.
std::map<int, uint32_t> hostWindows;
uint32_t fullscreenWindow = 0;

SDL_Window* HostWindow(int number) {
  auto it = hostWindows.find(number);
  return it != hostWindows.end() && VideoRunning() ? SDL_GetWindowFromID(it->second) : nullptr;
}

// What CurrentDisplay reports, from the state above.
void Publish() {
  const DisplayState& d = display;
  DisplayInfo& info = shownDisplay;
  info.open = d.open;
  info.windowed = d.windowed;
  info.presenter = d.presenter;
  info.logicalWidth = d.logicalWidth;
  info.logicalHeight = d.logicalHeight;
  info.pictureX = d.picture.x;
  info.pictureY = d.picture.y;
  info.pictureWidth = d.picture.width;
  info.pictureHeight = d.picture.height;
  info.windowId = d.window ? SDL_GetWindowID(d.window) : 0;
  info.refreshHz = d.refreshHz;
}

// Places the picture inside the host window's drawable. Stretched, it fills
// the window less the offsets; otherwise it keeps its logical size with its
// top-left at (x, y).
void PlaceInHost(int hostW, int hostH) {
  DisplayState& d = display;
  d.picture.x = d.x;
  d.picture.y = d.y;
  if (d.autoStretch) {
    d.picture.width = std::max(1, hostW - (d.x + d.rightOffset));
    d.picture.height = std::max(1, hostH - (d.y + d.bottomOffset));
  } else {
    d.picture.width = d.logicalWidth;
    d.picture.height = d.logicalHeight;
  }
}

void OnHostResized(uint32_t windowId, int width, int height) {
  DisplayState& d = display;
  if (!d.open || !d.windowed || !d.window || SDL_GetWindowID(d.window) != windowId) return;
  PlaceInHost(width, height);
  Publish();
}

double RefreshRate(SDL_Window* window) {
  SDL_DisplayMode mode;
  int index = SDL_GetWindowDisplayIndex(window);
  if (index >= 0 && SDL_GetCurrentDisplayMode(index, &mode) == 0 && mode.refresh_rate > 0) return mode.refresh_rate;
  return 60;
}

// Picks the presenter for the window at the picture's logical size.
bool StartPresenting(SDL_Window* window, int width, int height) {
  DisplayState& d = display;
  d.window = window;
  d.logicalWidth = width;
  d.logicalHeight = height;
  d.refreshHz = RefreshRate(window);
  d.presenter = PRESENTER_SURFACE;
  if (requestedPresenter != PRESENTER_SURFACE &&
      GlPresenterStart(window, requestedPresenter == PRESENTER_AUTO))
    d.presenter = PRESENTER_GL;
  else if (!SurfacePresenterStart(window))
    return false;
  d.open = true;
  SetSwapInterval(1);
  VideoSetResizeHandler(OnHostResized);
  Publish();
  return true;
}

// Without a retrace to wait for, a frame is held back until its share of the
// refresh period is over; a loop that fell behind starts counting afresh.
void Pace() {
  using Clock = std::chrono::steady_clock;
  DisplayState& d = display;
  const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / d.refreshHz));
  auto now = Clock::now();
  if (now < d.nextFrame) {
    std::this_thread::sleep_until(d.nextFrame);
    d.nextFrame += period;
  } else {
    d.nextFrame = (now - d.nextFrame < period ? d.nextFrame : now) + period;
  }
}
}  // namespace

int DesktopWidth() { return VideoDesktopWidth(); }
int DesktopHeight() { return VideoDesktopHeight(); }

void CloseScreen() {
  DisplayState& d = display;
  VideoSetResizeHandler(nullptr);
  if (d.presenter == PRESENTER_GL && VideoRunning()) GlPresenterStop();
  if (fullscreenWindow) {
    if (VideoRunning()) {
      VideoDestroyWindow(SDL_GetWindowFromID(fullscreenWindow));
      VideoShowCursor(true);
    }
    fullscreenWindow = 0;
  }
  d = DisplayState{};
  Publish();
}

int OpenFullscreenDisplay(int width, int height, int depth, const std::string& title) {
  CloseScreen();
  DisplayState& d = display;
  if (width <= 0 || height <= 0) return 0;
  SDL_Window* window = VideoCreateFullscreen(title, width, height);
  if (!window) return 0;
  VideoShowCursor(false);
  fullscreenWindow = SDL_GetWindowID(window);
  d.picture = PictureRect{0, 0, width, height};
  if (!StartPresenting(window, width, height)) {
    CloseScreen();
    return 0;
  }
  return 1;
}

int OpenHostWindow(int number, int x, int y, int width, int height, const std::string& title, int style) {
  if (SDL_Window* old = HostWindow(number)) {
    if (display.window == old) CloseScreen();
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
  DisplayState& d = display;
  d.windowed = true;
  d.autoStretch = autoStretch != 0;
  d.x = x;
  d.y = y;
  d.rightOffset = rightOffset;
  d.bottomOffset = bottomOffset;
  SDL_Window* host = HostWindow(hostWindow);
  if (!host || width <= 0 || height <= 0) return 0;
  d.logicalWidth = width;
  d.logicalHeight = height;
  int hostW = 0, hostH = 0;
  VideoDrawableSize(host, hostW, hostH);
  PlaceInHost(hostW, hostH);
  if (!StartPresenting(host, width, height)) {
    CloseScreen();
    return 0;
  }
  return 1;
}

void ShowDisplayCursor(bool show) { VideoShowCursor(show); }

int SetSwapInterval(int interval) {
  DisplayState& d = display;
  if (!d.open) return 0;
  d.swapInterval = interval;
  d.retraceWaits = d.presenter == PRESENTER_GL && interval == 1 && GlSetSwapInterval(1);
  if (d.presenter == PRESENTER_GL && interval != 1) GlSetSwapInterval(interval);
  d.nextFrame = {};
  return 1;
}

void ChoosePresenter(int presenter) { requestedPresenter = presenter; }

int PresentFrame(const PixelView& frame) {
  DisplayState& d = display;
  if (!d.open || !VideoRunning()) return 0;
  if (!d.windowed) VideoDrainEvents();
  bool shown = d.presenter == PRESENTER_GL ? GlPresent(d.window, frame, d.picture)
                                           : SurfacePresent(d.window, frame, d.picture);
  if (d.swapInterval == 1 && !d.retraceWaits) Pace();
  if (!d.windowed) VideoDrainEvents();
  return shown ? 1 : 0;
}
