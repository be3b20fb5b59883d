// The launcher's window on Windows: a captioned window with a close box, the
// common controls (labels, a combo box, a track bar, a check box, a button) at
// the caller's coordinates, canvases that show the pixels driver/launcher.cpp
// paints (launcher_canvases.cpp) as DIBs; the events the controls raise are
// queued in launcher_events.cpp.
#include "platform/launcher_window.h"

#include "platform/windows/win32.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <vector>

#include "platform/platform.h"
#include "platform/target.h"

namespace {
struct Canvas {
  HWND window = nullptr;
  PixelView view;  // BGR888, rows top to bottom
};
std::vector<uint8_t> aligned;  // a canvas's rows padded to whole words, as a DIB has them

HWND launcher = nullptr;
HFONT font = nullptr;
std::map<int, HWND> gadgets;
std::vector<HWND> labels;
std::map<int, Canvas> canvases;

LRESULT CALLBACK LauncherProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_CLOSE:
      QueueLauncherEvent(WINDOW_CLOSE_EVENT, 0);
      return 0;  // the launcher decides; the window stays until it is closed
    case WM_COMMAND: {
      int id = LOWORD(w), code = HIWORD(w);
      if (gadgets.count(id) && (code == BN_CLICKED || code == CBN_SELCHANGE)) QueueLauncherEvent(LAUNCHER_GADGET_EVENT, id);
      return 0;
    }
    case WM_HSCROLL:
      if (l) QueueLauncherEvent(LAUNCHER_GADGET_EVENT, GetDlgCtrlID((HWND)l));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetBkMode((HDC)w, TRANSPARENT);
      return (LRESULT)GetSysColorBrush(COLOR_BTNFACE);
  }
  return DefWindowProcW(window, message, w, l);
}

LRESULT CALLBACK CanvasProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    auto it = canvases.find(GetDlgCtrlID(window));
    if (it != canvases.end() && it->second.view.pixels) {
      const PixelView& v = it->second.view;
      const int rowBytes = (v.width * 3 + 3) & ~3;
      aligned.resize((size_t)rowBytes * (size_t)v.height);
      for (int y = 0; y < v.height; y++)
        std::copy(PixelRow(v, y), PixelRow(v, y) + v.width * 3, aligned.data() + (size_t)y * rowBytes);
      BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof(info.bmiHeader);
      info.bmiHeader.biWidth = v.width;
      info.bmiHeader.biHeight = -v.height;  // top-down rows
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 24;
      info.bmiHeader.biCompression = BI_RGB;
      SetDIBitsToDevice(dc, 0, 0, v.width, v.height, 0, 0, 0, v.height, aligned.data(), &info, DIB_RGB_COLORS);
    }
    EndPaint(window, &ps);
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return DefWindowProcW(window, message, w, l);
}

bool RegisterClasses() {
  static bool done = false;
  if (done) return true;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = LauncherProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = L"ZyntraxLauncher";
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  WNDCLASSEXW cc{};
  cc.cbSize = sizeof(cc);
  cc.lpfnWndProc = CanvasProc;
  cc.hInstance = instance;
  cc.hCursor = wc.hCursor;
  cc.lpszClassName = L"ZyntraxCanvas";
  if (!RegisterClassExW(&cc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  done = true;
  return true;
}

HWND AddControl(const wchar_t* cls, const std::string& text, DWORD style, int id, int x, int y, int width,
                int height) {
  if (!launcher) return nullptr;
  HWND control = CreateWindowExW(0, cls, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                 launcher, (HMENU)(intptr_t)id, GetModuleHandleW(nullptr), nullptr);
  if (control && font) SendMessageW(control, WM_SETFONT, (WPARAM)font, TRUE);
  return control;
}

}  // namespace

bool LauncherWindowOpen(const std::string& title, int width, int height) {
  LauncherWindowClose();
  if (!RegisterClasses()) return false;
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, style, FALSE, 0);
  int w = r.right - r.left, h = r.bottom - r.top;
  int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - w) / 2), y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - h) / 2);
  launcher = CreateWindowExW(0, L"ZyntraxLauncher", Widen(title).c_str(), style, x, y, w, h, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  if (!launcher) return false;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
    font = CreateFontIndirectW(&metrics.lfMessageFont);
  ShowWindow(launcher, SW_SHOW);
  SetForegroundWindow(launcher);
  UpdateWindow(launcher);
  return true;
}

void LauncherWindowClose() {
  if (launcher) DestroyWindow(launcher);
  if (font) DeleteObject(font);
  launcher = nullptr;
  font = nullptr;
  ForgetLauncherEvents();
  gadgets.clear();
  labels.clear();
  canvases.clear();
  ForgetCanvasBuffers();
  PumpMessages();
}

int LauncherAddLabel(int x, int y, int width, int height, const std::string& text, const std::string& name) {
  labels.push_back(AddControl(L"STATIC", text, SS_LEFT, 0, x, y, width, height));
  return (int)labels.size() - 1;
}

void LauncherSetLabel(int handle, const std::string& text) {
  if (handle >= 0 && handle < (int)labels.size() && labels[handle])
    SetWindowTextW(labels[handle], Widen(text).c_str());
}

void LauncherAddCombo(int id, int x, int y, int width, int height, const std::vector<std::string>& items,
                      int selected, const std::string& name) {
  // The height given is the closed box's; the list drops below it.
  HWND combo = AddControl(WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, id, x, y, width,
                          height + 24 * (int)items.size());
  if (!combo) return;
  for (const std::string& item : items) SendMessageW(combo, CB_ADDSTRING, 0, (LPARAM)Widen(item).c_str());
  SendMessageW(combo, CB_SETCURSEL, (WPARAM)selected, 0);
  gadgets[id] = combo;
  SetFocus(combo);
}

void LauncherAddTrackBar(int id, int x, int y, int width, int height, int low, int high, int position,
                         const std::string& name) {
  HWND bar = AddControl(TRACKBAR_CLASSW, "", TBS_HORZ | TBS_NOTICKS | WS_TABSTOP, id, x, y, width, height);
  if (!bar) return;
  SendMessageW(bar, TBM_SETRANGE, TRUE, MAKELPARAM(low, high));
  SendMessageW(bar, TBM_SETPOS, TRUE, position);
  gadgets[id] = bar;
}

void LauncherAddCheckBox(int id, int x, int y, int width, int height, const std::string& text,
                         const std::string& name) {
  if (HWND box = AddControl(L"BUTTON", text, BS_AUTOCHECKBOX | WS_TABSTOP, id, x, y, width, height)) gadgets[id] = box;
}

void LauncherAddButton(int id, int x, int y, int width, int height, const std::string& text,
                       const std::string& name) {
  if (HWND button = AddControl(L"BUTTON", text, BS_PUSHBUTTON | WS_TABSTOP, id, x, y, width, height))
    gadgets[id] = button;
}

void LauncherAddCanvas(int id, int x, int y, int width, int height, const std::string& name) {
  Canvas& c = canvases[id];
  c.view = MakeCanvasBuffer(id, width, height);
  c.window = AddControl(L"ZyntraxCanvas", "", 0, id, x, y, width, height);
}

int LauncherGadgetState(int id) {
  auto it = gadgets.find(id);
  if (it == gadgets.end()) return 0;
  wchar_t cls[32] = {};
  GetClassNameW(it->second, cls, 32);
  if (lstrcmpiW(cls, WC_COMBOBOXW) == 0) return (int)SendMessageW(it->second, CB_GETCURSEL, 0, 0);
  if (lstrcmpiW(cls, TRACKBAR_CLASSW) == 0) return (int)SendMessageW(it->second, TBM_GETPOS, 0, 0);
  if ((GetWindowLongW(it->second, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX)
    return SendMessageW(it->second, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  return 0;
}

int LauncherPollEvent(int* gadget) {
  PumpMessages();
  return TakeLauncherEvent(gadget);
}

void LauncherShowCanvas(int id) {
  auto it = canvases.find(id);
  if (it == canvases.end() || !it->second.window) return;
  InvalidateRect(it->second.window, nullptr, FALSE);
  UpdateWindow(it->second.window);
}
