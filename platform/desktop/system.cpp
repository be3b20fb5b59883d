// The desktop's start and shutdown, the sleep, and the quit signals: SIGINT,
// SIGTERM and SIGHUP only raise a flag that the program's loops read, so every
// way out goes through the same exit path; one the caller left ignored (nohup)
// stays ignored.
#include <SDL.h>
#include <dlfcn.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/platform.h"

namespace {
volatile sig_atomic_t quitSignal = 0;

void OnQuitSignal(int) { quitSignal = 1; }

// alsa-lib prints its own errors on standard error when no sound card is
// there; the show runs silent then and says nothing. SDL loads the library
// later by the same name, so the handler set here is the one it uses.
void SilentAlsaError(const char*, int, const char*, int, const char*, ...) {}

void QuietAlsa() {
  void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_GLOBAL);
  if (!alsa) return;
  using SetHandler = int (*)(void (*)(const char*, int, const char*, int, const char*, ...));
  if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) set(SilentAlsaError);
}
}  // namespace

void StartPlatform() {
  // SDL would take SIGINT and SIGTERM for itself and turn them into a quit
  // event that full screen never reads.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction now {};
    if (sigaction(signal, nullptr, &now) == 0 && now.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
  QuietAlsa();
  // Without a Wayland compositor named, only X11 is tried: the Wayland client
  // library would complain on the terminal about the compositor that is not there.
  if (!std::getenv("WAYLAND_DISPLAY")) SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11", SDL_HINT_DEFAULT);
}

int QuitRequested() { return quitSignal != 0 ? 1 : 0; }

void ShutdownPlatform() { SDL_Quit(); }

void Delay(int64_t ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
