// The program clock for every target (milliseconds since its first reading,
// monotonic), the driven clock that replaces it on request, holding and
// restarting it, and truncation. Delay is each target's.
#include "platform/platform.h"

#include <chrono>
#include <cmath>

namespace {
using Clock = std::chrono::steady_clock;
Clock::time_point clockOrigin;
bool clockStarted = false;
bool clockDriven = false;
int64_t drivenMs = 0;
bool clockHeld = false;
Clock::time_point heldAt;
}  // namespace

int64_t ElapsedMs() {
  if (clockDriven) return drivenMs;
  Clock::time_point now = clockHeld ? heldAt : Clock::now();
  if (!clockStarted) {
    clockOrigin = now;
    clockStarted = true;
  }
  return std::chrono::duration_cast<std::chrono::milliseconds>(now - clockOrigin).count();
}

int64_t TruncToInt(double x) {
  if (!std::isfinite(x)) return 0;
  if (x >= 9.2e18 || x <= -9.2e18) return 0;
  return (int64_t)x;
}

void DriveClock(int64_t ms) {
  clockDriven = true;
  drivenMs = ms;
}
void UseRealClock() { clockDriven = false; }

void RestartClock() {
  drivenMs = 0;
  clockOrigin = clockHeld ? heldAt : Clock::now();
  clockStarted = true;
}

void HoldClock() {
  if (clockHeld) return;
  ElapsedMs();  // a clock first read while held starts there
  heldAt = Clock::now();
  clockHeld = true;
}

void ReleaseClock(int64_t catchUpMs) {
  if (!clockHeld) return;
  clockHeld = false;
  const Clock::duration stood = Clock::now() - heldAt - std::chrono::milliseconds(catchUpMs);
  clockOrigin += stood > Clock::duration::zero() ? stood : Clock::duration::zero();
}
