// Built for Windows: the show's exclusive full screen losing the foreground to
// another window and getting it back. Opens it in a width x height mode, then
// activates a window of a second thread (another program as far as
// activation goes), then the show again, and closes it; after each step it
// prints the screen's mode and whether the show is minimised:
//   <step> <width> <height> <iconic>
//   activation_check <width> <height>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/display.h"
#include "platform/platform.h"
#include "platform/windows/win32.h"

namespace {
void Report(const char* step, HWND show) {
  DEVMODEW mode{};
  mode.dmSize = sizeof(mode);
  EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode);
  std::printf("%s %lu %lu %d\n", step, mode.dmPelsWidth, mode.dmPelsHeight, show && IsIconic(show) ? 1 : 0);
  std::fflush(stdout);
}

// Handles the show's messages until done() holds or 10 s have passed.
template <class Done>
bool PumpUntil(Done done) {
  for (int i = 0; i < 1000; i++) {
    while (PollWindowEvent() != 0) {
    }
    if (done()) return true;
    Sleep(10);
  }
  return false;
}

bool ModeIs(int width, int height) {
  DEVMODEW mode{};
  mode.dmSize = sizeof(mode);
  return EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) && (int)mode.dmPelsWidth == width &&
         (int)mode.dmPelsHeight == height;
}

// The other window: a plain one on its own thread, with its own message loop.
std::atomic<HWND> other{nullptr};
void OtherWindow() {
  other = CreateWindowExW(0, L"STATIC", L"activation other", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                          nullptr, GetModuleHandleW(nullptr), nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
  StartPlatform();
  const int desktopW = DesktopWidth(), desktopH = DesktopHeight();
  Report("desktop", nullptr);
  if (!OpenFullscreenDisplay(width, height, 32, "activation check")) {
    std::printf("no full screen\n");
    return 1;
  }
  HWND show = FindWindowW(nullptr, L"activation check");
  PumpUntil([&] { return GetForegroundWindow() == show; });
  Report("shown", show);

  std::thread thread(OtherWindow);
  PumpUntil([] { return other != nullptr; });
  SetForegroundWindow(other);
  PumpUntil([&] { return IsIconic(show) && ModeIs(desktopW, desktopH); });
  Report("left", show);

  SetForegroundWindow(show);
  PumpUntil([&] { return !IsIconic(show) && ModeIs(width, height); });
  Report("back", show);

  CloseScreen();
  Report("closed", nullptr);
  PostMessageW(other, WM_QUIT, 0, 0);
  thread.join();
  ShutdownPlatform();
  return 0;
}
