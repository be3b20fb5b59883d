// The Windows target's start and shutdown: per-monitor DPI awareness, Ctrl+C
// and the console's close turned into the quit flag the loops read, the sleep
// on a 1 ms system timer, the system font (DejaVu Sans Bold, carried in the
// exe), and text conversion.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "platform/windows/win32.h"

#include <mmsystem.h>

extern "C" const uint8_t zyntrax_system_font[];
extern "C" const uint8_t zyntrax_system_font_end[];

namespace {
std::atomic<int> quitSignal{0};

BOOL WINAPI OnConsoleEvent(DWORD) {
  quitSignal = 1;
  return TRUE;
}

// The newest call the system offers: per-monitor v2 (Windows 10 1703 on),
// per-monitor (8.1), then system-wide awareness.
void BecomeDpiAware() {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  if (HMODULE user = GetModuleHandleW(L"user32.dll")) {
    auto set = SystemFunction<SetContext>(GetProcAddress(user, "SetProcessDpiAwarenessContext"));
    if (set && set(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4)))) return;  // PER_MONITOR_AWARE_V2
  }
  using SetAwareness = HRESULT(WINAPI*)(int);
  if (HMODULE shcore = LoadLibraryW(L"shcore.dll")) {
    auto set = SystemFunction<SetAwareness>(GetProcAddress(shcore, "SetProcessDpiAwareness"));
    if (set && SUCCEEDED(set(2))) return;  // PROCESS_PER_MONITOR_DPI_AWARE
  }
  SetProcessDPIAware();
}
}  // namespace

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
  std::wstring out((size_t)(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), out.data(), n);
  return out;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
  std::string out((size_t)(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), out.data(), n, nullptr, nullptr);
  return out;
}

void StartPlatform() {
  BecomeDpiAware();
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  // SDL only plays the sound here: it must not take the signals.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}

// The system timer at 1 ms from the first Delay on: its default tick of
// 15.6 ms would make a frame's wait miss the refresh.
void Delay(int64_t ms) {
  static const bool fineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
  (void)fineTimer;
  if (ms > 0) Sleep((DWORD)std::min<int64_t>(ms, 0x7FFFFFFF));
}

int QuitRequested() { return quitSignal != 0 ? 1 : 0; }

void ShutdownPlatform() { SDL_Quit(); }

// FreeType opens fonts by an 8-bit path, so the carried face is written once
// to a folder of its own under the temporary folder and named by its short
// (ASCII) path. A file already there is used only when it is byte for byte the
// carried one.
bool SystemFontFile(std::string& file, int& index) {
  static std::string path;
  index = 0;
  if (!path.empty()) {
    file = path;
    return true;
  }
  const std::string bytes((const char*)zyntrax_system_font,
                          (size_t)(zyntrax_system_font_end - zyntrax_system_font));
  std::string folder = GetTempDirectory() + "zyntrax-font";
  std::string name = folder + "\\DejaVuSans-Bold.ttf";
  std::string have;
  if (!ReadWholeFile(name, have) || have != bytes) {
    CreateDirectory(folder);
    intptr_t f = CreateFileForWrite(name);
    bool written = f && WriteData(f, bytes.data(), (int64_t)bytes.size());
    if (!CloseFile(f) || !written) return false;
  }
  std::wstring wide = Widen(name);
  wchar_t shortName[MAX_PATH];
  DWORD n = GetShortPathNameW(wide.c_str(), shortName, MAX_PATH);
  path = n > 0 && n < MAX_PATH ? Narrow(std::wstring(shortName, n)) : name;
  file = path;
  return true;
}
