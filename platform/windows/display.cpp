// The show's display on Win32: exclusive full screen (the display mode changed
// with ChangeDisplaySettingsW, given back when the show loses the foreground
// and taken again when it returns), captioned and borderless host windows, the
// picture's place in them, the presenter chosen once per display, and pacing
// to the refresh rate where no swap interval waits for the retrace.
#include "platform/display.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include "platform/platform.h"
#include "platform/target.h"
#include "platform/windows/presenters.h"

namespace {
struct DisplayState {
  bool open = false;
  bool windowed = false;
  bool autoStretch = false;
  int presenter = PRESENTER_AUTO;
  int logicalWidth = 0, logicalHeight = 0;
  int x = 0, y = 0, rightOffset = 0, bottomOffset = 0;  // placement inside the host window
  PictureRect picture;
  HWND window = nullptr;
  int swapInterval = 1;
  bool retraceWaits = false;
  double refreshHz = 60;
  std::chrono::steady_clock::time_point nextFrame;
};
DisplayState display;
int requestedPresenter = PRESENTER_AUTO;

std::map<int, HWND> hostWindows;
HWND fullscreenWindow = nullptr;
DEVMODEW fullscreenMode{};
bool modeChanged = false;  // the desktop's mode is ours at the moment

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
  info.windowId = (uint32_t)(uintptr_t)d.window;
  info.refreshHz = d.refreshHz;
}

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

void OnWindowSize(HWND window, int width, int height) {
  if (!display.open || !display.windowed || window != display.window) return;
  PlaceInHost(width, height);
  Publish();
}

// Alt+Tab out of exclusive full screen: the desktop gets its own mode back and
// the show minimises; coming back applies the show's mode again.
void OnWindowActive(HWND window, bool active) {
  if (window != fullscreenWindow || !fullscreenWindow) return;
  if (!active) {
    if (modeChanged) ChangeDisplaySettingsW(nullptr, 0);
    modeChanged = false;
    ShowWindow(window, SW_MINIMIZE);
  } else {
    if (fullscreenMode.dmSize && ChangeDisplaySettingsW(&fullscreenMode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL)
      modeChanged = true;
    ShowWindow(window, SW_RESTORE);
    SetWindowPos(window, HWND_TOP, 0, 0, display.logicalWidth, display.logicalHeight, SWP_SHOWWINDOW);
  }
}

double RefreshRate() {
  DEVMODEW mode{};
  mode.dmSize = sizeof(mode);
  if (EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1)
    return mode.dmDisplayFrequency;
  return 60;
}

HWND MakeWindow(const std::string& title, DWORD style, DWORD exStyle, int x, int y, int width, int height) {
  const wchar_t* cls = ShowWindowClass();
  if (!cls) return nullptr;
  // (x, y) is the window's top-left corner; width x height its client area.
  RECT r{x, y, x + width, y + height};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  OffsetRect(&r, x - r.left, y - r.top);
  AllowWindowSize(r.right - r.left, r.bottom - r.top);
  HWND w = CreateWindowExW(exStyle, cls, Widen(title).c_str(), style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!w) return nullptr;
  ShowWindow(w, SW_SHOW);
  SetForegroundWindow(w);
  UpdateWindow(w);
  PumpMessages();
  return w;
}

bool StartPresenting(HWND window, int width, int height) {
  DisplayState& d = display;
  d.window = window;
  d.logicalWidth = width;
  d.logicalHeight = height;
  d.refreshHz = RefreshRate();
  d.presenter = PRESENTER_SURFACE;
  if (requestedPresenter != PRESENTER_SURFACE && WglStart(window, requestedPresenter == PRESENTER_AUTO))
    d.presenter = PRESENTER_GL;
  d.open = true;
  SetSwapInterval(1);
  SetWindowHandlers(OnWindowSize, OnWindowActive);
  Publish();
  return true;
}

void Pace() {
  using Clock = std::chrono::steady_clock;
  DisplayState& d = display;
  const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / d.refreshHz));
  auto now = Clock::now();
  if (now < d.nextFrame) {
    Delay(std::chrono::duration_cast<std::chrono::milliseconds>(d.nextFrame - now).count());
    d.nextFrame += period;
  } else {
    d.nextFrame = (now - d.nextFrame < period ? d.nextFrame : now) + period;
  }
}
}  // namespace

int DesktopWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int DesktopHeight() { return GetSystemMetrics(SM_CYSCREEN); }

void CloseScreen() {
  DisplayState& d = display;
  SetWindowHandlers(nullptr, nullptr);
  if (d.presenter == PRESENTER_GL) WglStop();
  if (fullscreenWindow) {
    DestroyWindow(fullscreenWindow);
    fullscreenWindow = nullptr;
    if (modeChanged) ChangeDisplaySettingsW(nullptr, 0);
    modeChanged = false;
    fullscreenMode = DEVMODEW{};
    SetCursorShown(true);
  }
  d = DisplayState{};
  Publish();
}

int OpenFullscreenDisplay(int width, int height, int depth, const std::string& title) {
  CloseScreen();
  if (width <= 0 || height <= 0) return 0;
  // The desktop already at that size needs no mode change (the fallback).
  if (width != DesktopWidth() || height != DesktopHeight()) {
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = (DWORD)width;
    mode.dmPelsHeight = (DWORD)height;
    mode.dmBitsPerPel = (DWORD)depth;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    if (ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return 0;
    fullscreenMode = mode;
    modeChanged = true;
  }
  HWND window = MakeWindow(title, WS_POPUP, WS_EX_APPWINDOW, 0, 0, width, height);
  if (!window) {
    CloseScreen();
    return 0;
  }
  fullscreenWindow = window;
  SetCursorShown(false);
  display.picture = PictureRect{0, 0, width, height};
  if (!StartPresenting(window, width, height)) {
    CloseScreen();
    return 0;
  }
  return 1;
}

int OpenHostWindow(int number, int x, int y, int width, int height, const std::string& title, int style) {
  auto it = hostWindows.find(number);
  if (it != hostWindows.end()) {
    if (display.window == it->second) CloseScreen();
    DestroyWindow(it->second);
    hostWindows.erase(it);
  }
  if (width <= 0 || height <= 0) return 0;
  const DWORD windowStyle = style == HOST_STYLE_BORDERLESS ? WS_POPUP : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU |
                                                                            WS_MINIMIZEBOX;
  HWND window = MakeWindow(title, windowStyle, WS_EX_APPWINDOW, x, y, width, height);
  if (!window) return 0;
  hostWindows[number] = window;
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
  auto it = hostWindows.find(hostWindow);
  if (it == hostWindows.end() || width <= 0 || height <= 0) return 0;
  d.logicalWidth = width;
  d.logicalHeight = height;
  RECT client;
  GetClientRect(it->second, &client);
  PlaceInHost(client.right, client.bottom);
  if (!StartPresenting(it->second, width, height)) {
    CloseScreen();
    return 0;
  }
  return 1;
}

void ShowDisplayCursor(bool show) { SetCursorShown(show); }

int SetSwapInterval(int interval) {
  DisplayState& d = display;
  if (!d.open) return 0;
  d.swapInterval = interval;
  d.retraceWaits = d.presenter == PRESENTER_GL && interval == 1 && WglSetSwapInterval(1);
  if (d.presenter == PRESENTER_GL && interval != 1) WglSetSwapInterval(interval);
  d.nextFrame = {};
  return 1;
}

void ChoosePresenter(int presenter) { requestedPresenter = presenter; }

int PresentFrame(const PixelView& frame) {
  DisplayState& d = display;
  if (!d.open || !IsWindow(d.window) || !frame.pixels) return 0;
  PumpMessages();
  bool shown = true;
  if (!IsIconic(d.window)) {
    shown = d.presenter == PRESENTER_GL ? WglPresent(d.window, frame, d.picture)
                                        : DibPresent(d.window, frame, d.picture);
  }
  if (d.swapInterval == 1 && (!d.retraceWaits || IsIconic(d.window))) Pace();
  return shown ? 1 : 0;
}

HWND ShowWindowHandle() {
  if (display.window && IsWindow(display.window)) return display.window;
  if (fullscreenWindow) return fullscreenWindow;
  for (auto& host : hostWindows)
    if (IsWindow(host.second)) return host.second;
  return nullptr;
}
