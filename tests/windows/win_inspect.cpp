// Built for Windows: looks at the program's windows from beside it, as the
// test tree needs under Wine, where the controls are not X windows.
//   win_inspect controls <title>   the window's client size, then one line per
//                                  control: class|text|x y w h|state
//   win_inspect select <title> <n> picks item n of the window's combo box, as
//                                  a user's choice would (CBN_SELCHANGE)
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
std::string Utf8(const wchar_t* text) {
  char out[1024];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof(out), nullptr, nullptr);
  return n > 0 ? std::string(out) : std::string();
}

std::wstring Wide(const char* text) {
  wchar_t out[512];
  int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, out, 512);
  return n > 0 ? std::wstring(out) : std::wstring();
}

// The state a control shows: the combo's item, the track bar's position, the
// check box's tick; -1 for the others.
long StateOf(HWND control, const wchar_t* cls) {
  if (lstrcmpiW(cls, L"ComboBox") == 0) return (long)SendMessageW(control, CB_GETCURSEL, 0, 0);
  if (lstrcmpiW(cls, TRACKBAR_CLASSW) == 0) return (long)SendMessageW(control, TBM_GETPOS, 0, 0);
  if (lstrcmpiW(cls, L"Button") == 0 && (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX)
    return (long)SendMessageW(control, BM_GETCHECK, 0, 0);
  return -1;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM parent) {
  if (GetParent(control) != (HWND)parent) return TRUE;
  wchar_t cls[64] = {}, text[512] = {};
  GetClassNameW(control, cls, 64);
  GetWindowTextW(control, text, 512);
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, (HWND)parent, (POINT*)&r, 2);
  std::printf("%s|%s|%ld %ld %ld %ld|%ld\n", Utf8(cls).c_str(), Utf8(text).c_str(), r.left, r.top,
              r.right - r.left, r.bottom - r.top, StateOf(control, cls));
  return TRUE;
}

BOOL CALLBACK SelectInCombo(HWND control, LPARAM index) {
  wchar_t cls[64] = {};
  GetClassNameW(control, cls, 64);
  if (lstrcmpiW(cls, L"ComboBox") != 0) return TRUE;
  SendMessageW(control, CB_SETCURSEL, (WPARAM)index, 0);
  SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), CBN_SELCHANGE), (LPARAM)control);
  return FALSE;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string command = argv[1];
  HWND window = nullptr;
  for (int i = 0; i < 100 && !window; i++) {
    window = FindWindowW(nullptr, Wide(argv[2]).c_str());
    if (!window) Sleep(100);
  }
  if (!window) {
    std::printf("no window\n");
    return 1;
  }
  if (command == "controls") {
    RECT client;
    GetClientRect(window, &client);
    std::printf("client %ld %ld\n", client.right, client.bottom);
    EnumChildWindows(window, PrintControl, (LPARAM)window);
    return 0;
  }
  if (command == "select" && argc == 4) {
    EnumChildWindows(window, SelectInCombo, std::atoi(argv[3]));
    return 0;
  }
  return 2;
}
