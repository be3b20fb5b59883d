// Catching the stop signals without overriding an ignore the capture was
// started with, and re-raising the one that came once the capture is cleaned up.
#include "tools/capture/stop_signals.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/platform.h"

namespace {
constexpr int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
volatile sig_atomic_t stopSignal = 0;

void OnStopSignal(int sig) {
  if (stopSignal == 0) stopSignal = sig;
}
}  // namespace

void StartWithStopSignals() {
  sigset_t held, before;
  sigemptyset(&held);
  for (int sig : STOP_SIGNALS) sigaddset(&held, sig);
  // Held back while the platform installs its own handlers over every one of
  // them: an ignored signal that arrives meanwhile is dropped below.
  sigprocmask(SIG_BLOCK, &held, &before);
  bool ignored[3] = {};
  for (int i = 0; i < 3; i++) {
    struct sigaction now {};
    sigaction(STOP_SIGNALS[i], nullptr, &now);
    ignored[i] = now.sa_handler == SIG_IGN;
  }
  StartPlatform();
  for (int i = 0; i < 3; i++) {
    struct sigaction action {};
    action.sa_handler = ignored[i] ? SIG_IGN : OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(STOP_SIGNALS[i], &action, nullptr);
  }
  sigprocmask(SIG_SETMASK, &before, nullptr);
}

int StopSignal() { return stopSignal; }

void EndByStopSignal() {
  const int sig = stopSignal != 0 ? (int)stopSignal : SIGINT;
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(sig, &action, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, sig);
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  raise(sig);
  // Only if the signal could not end the process.
  std::_Exit(128 + sig);
}
