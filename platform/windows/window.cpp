// The show's windows on Win32: one window class, the message pump, the queue
// of window events it fills (the close box), the Escape presses it sees, the
// hidden cursor, and the size and activation changes it hands the display.
#include <algorithm>
#include <deque>
#include <vector>

#include "platform/platform.h"
#include "platform/windows/win32.h"

namespace {
std::deque<int> windowEvents;
bool escapePressed = false;
bool cursorShown = true;
WindowSizeHandler onSize = nullptr;
WindowActiveHandler onActive = nullptr;
SIZE largestWindow{0, 0};  // the largest outer size asked for

// Codes for events that are not close requests (PollWindowEvent's "anything else").
constexpr int OTHER_EVENT = 1;

LRESULT CALLBACK ShowWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_CLOSE:
      QueueWindowEvent(WINDOW_CLOSE_EVENT);
      return 0;  // the program decides; the window stays until it is closed
    case WM_KEYDOWN:
      if (w == VK_ESCAPE) escapePressed = true;
      break;
    case WM_SIZE:
      if (onSize && w != SIZE_MINIMIZED) onSize(window, LOWORD(l), HIWORD(l));
      QueueWindowEvent(OTHER_EVENT);
      break;
    case WM_ACTIVATEAPP:
      if (onActive) onActive(window, w != FALSE);
      break;
    case WM_SETCURSOR:
      if (LOWORD(l) == HTCLIENT) {
        SetCursor(cursorShown ? LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW) : nullptr);
        return TRUE;
      }
      break;
    case WM_GETMINMAXINFO: {
      // A window may be as large as it was asked to be, even past the screen
      // (a 1920 x 1080 inner size with its caption on a 1920 x 1080 desktop).
      auto* limits = reinterpret_cast<MINMAXINFO*>(l);
      limits->ptMaxTrackSize.x = std::max(limits->ptMaxTrackSize.x, largestWindow.cx);
      limits->ptMaxTrackSize.y = std::max(limits->ptMaxTrackSize.y, largestWindow.cy);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // every frame paints the whole client area
    case WM_DPICHANGED: {
      // Per-monitor aware: the window keeps its size in pixels.
      return 0;
    }
  }
  return DefWindowProcW(window, message, w, l);
}
}  // namespace

const wchar_t* ShowWindowClass() {
  static const wchar_t* name = nullptr;
  if (name) return name;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ShowWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = nullptr;
  wc.hbrBackground = nullptr;
  wc.lpszClassName = L"ZyntraxShow";
  if (RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) name = wc.lpszClassName;
  return name;
}

void AllowWindowSize(int width, int height) {
  largestWindow.cx = std::max<LONG>(largestWindow.cx, width);
  largestWindow.cy = std::max<LONG>(largestWindow.cy, height);
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      QueueWindowEvent(WINDOW_CLOSE_EVENT);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void QueueWindowEvent(int code) {
  if (windowEvents.size() < 256) windowEvents.push_back(code);
}

bool TakeEscapePress() {
  bool pressed = escapePressed;
  escapePressed = false;
  return pressed;
}

void SetWindowHandlers(WindowSizeHandler size, WindowActiveHandler active) {
  onSize = size;
  onActive = active;
}

void SetCursorShown(bool shown) {
  cursorShown = shown;
  SetCursor(shown ? LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW) : nullptr);
}

int PollWindowEvent() {
  PumpMessages();
  if (windowEvents.empty()) return 0;
  int code = windowEvents.front();
  windowEvents.pop_front();
  return code;
}
