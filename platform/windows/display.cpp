// The show's display on Win32: exclusive full screen (the display mode changed
// with ChangeDisplaySettingsW, given back when the show loses the foreground
// and taken again when it returns), captioned and borderless host windows and
// the presenter chosen once per display. Where the picture lies and the pacing
// are the display record's (platform/display_record.cpp).
#include "platform/display.h"

#include <chrono>
#include <map>

#include "platform/platform.h"
#include "platform/target.h"
#include "platform/windows/presenters.h"

namespace {
HWND shownWindow = nullptr;  // the window the open display is in
std::map<int, HWND> hostWindows;
HWND fullscreenWindow = nullptr;
DEVMODEW fullscreenMode{};
bool modeChanged = false;  // the desktop's mode is ours at the moment

void OnWindowSize(HWND window, int width, int height) {
  if (window == shownWindow) FollowHostSize(width, height);
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
    SetWindowPos(window, HWND_TOP, 0, 0, displayRecord.logicalWidth, displayRecord.logicalHeight, SWP_SHOWWINDOW);
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

// Picks the presenter for the window and opens the display begun in the
// record (the DIB path needs nothing that could fail); returns 1.
int StartPresenting(HWND window) {
  const double refreshHz = RefreshRate();
  const int requested = RequestedPresenter();
  int presenter = PRESENTER_SURFACE;
  if (requested != PRESENTER_SURFACE && WglStart(window, requested == PRESENTER_AUTO)) presenter = PRESENTER_GL;
  shownWindow = window;
  DisplayOpened((uint32_t)(uintptr_t)window, presenter, refreshHz);
  SetSwapInterval(1);
  SetWindowHandlers(OnWindowSize, OnWindowActive);
  return 1;
}
}  // namespace

int DesktopWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int DesktopHeight() { return GetSystemMetrics(SM_CYSCREEN); }

void CloseScreen() {
  SetWindowHandlers(nullptr, nullptr);
  if (displayRecord.presenter == PRESENTER_GL) WglStop();
  if (fullscreenWindow) {
    DestroyWindow(fullscreenWindow);
    fullscreenWindow = nullptr;
    if (modeChanged) ChangeDisplaySettingsW(nullptr, 0);
    modeChanged = false;
    fullscreenMode = DEVMODEW{};
    SetCursorShown(true);
  }
  shownWindow = nullptr;
  ForgetDisplay();
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
  BeginDisplayRecord(false, PicturePlace{}, width, height, width, height);
  return StartPresenting(window);
}

int OpenHostWindow(int number, int x, int y, int width, int height, const std::string& title, int style) {
  auto it = hostWindows.find(number);
  if (it != hostWindows.end()) {
    if (shownWindow == it->second) CloseScreen();
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
  auto it = hostWindows.find(hostWindow);
  if (it == hostWindows.end() || width <= 0 || height <= 0) return 0;
  RECT client;
  GetClientRect(it->second, &client);
  BeginDisplayRecord(true, PicturePlace{x, y, autoStretch != 0, rightOffset, bottomOffset}, width, height,
                     client.right, client.bottom);
  return StartPresenting(it->second);
}

void ShowDisplayCursor(bool show) { SetCursorShown(show); }

int SetSwapInterval(int interval) { return KeepSwapInterval(interval, WglSetSwapInterval); }

int PresentFrame(const PixelView& frame) {
  const DisplayRecord& d = displayRecord;
  if (!d.open || !IsWindow(shownWindow) || !frame.pixels) return 0;
  PumpMessages();
  bool shown = true;
  if (!IsIconic(shownWindow)) {
    shown = d.presenter == PRESENTER_GL ? WglPresent(shownWindow, frame, d.picture)
                                        : DibPresent(shownWindow, frame, d.picture);
  }
  Delay(std::chrono::duration_cast<std::chrono::milliseconds>(FrameHoldBack(!IsIconic(shownWindow))).count());
  return shown ? 1 : 0;
}

HWND ShowWindowHandle() {
  if (shownWindow && IsWindow(shownWindow)) return shownWindow;
  if (fullscreenWindow) return fullscreenWindow;
  for (auto& host : hostWindows)
    if (IsWindow(host.second)) return host.second;
  return nullptr;
}
