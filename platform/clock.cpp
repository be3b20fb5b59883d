// The program clock (milliseconds since its first reading, monotonic), the
// driven clock that replaces it on request, the sleep, and the test hooks.
#include "platform/platform.h"

#include <chrono>
#include <cmath>
#include <thread>

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

// A browser's main thread cannot sleep (it would only spin): there the loops
// are paced by the animation frames instead.
void Delay(int64_t ms) {
#ifndef __EMSCRIPTEN__
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
#endif
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

void TestSetClock(int64_t ms) { DriveClock(ms); }
void TestAdvanceClock(int64_t ms) {
  if (!clockDriven) TestSetClock(ElapsedMs());
  drivenMs += ms;
}
void TestUseRealClock() { UseRealClock(); }
