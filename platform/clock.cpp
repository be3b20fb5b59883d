// The program clock (milliseconds since its first reading, monotonic), the
// driven clock that replaces it on request, the sleep, and the test hooks.
#include "platform/platform.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#ifdef _WIN32
#include "platform/windows/win32.h"

#include <mmsystem.h>
#endif

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

#ifdef _WIN32
// Windows: the system timer at 1 ms from the first Delay on (its default tick
// of 15.6 ms would make a frame's wait miss the refresh). The steady clock
// above is QueryPerformanceCounter there.
void Delay(int64_t ms) {
  static const bool fineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
  (void)fineTimer;
  if (ms > 0) Sleep((DWORD)std::min<int64_t>(ms, 0x7FFFFFFF));
}
#else
// A browser's main thread cannot sleep (it would only spin): there the loops
// are paced by the animation frames instead.
void Delay(int64_t ms) {
#ifndef __EMSCRIPTEN__
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
#endif
}
#endif

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
