// Hooks that only test builds carry (ZYNTRAX_TEST_HOOKS): they drive the
// clock, the random numbers, the messages, the keyboard and the sound output
// from a test. The shipped program and tools use the production names in
// platform.h instead.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>

// ---- test_hooks.cpp -------------------------------------------------------------
// Drives ElapsedMs: from now on it returns ms until TestUseRealClock.
void TestSetClock(int64_t ms);
void TestAdvanceClock(int64_t ms);
void TestUseRealClock();
// Seeds the calling thread's RandomInt generator.
void TestSeedRandom(uint64_t seed);
// The calling thread's next RandomInt calls return these values (each clamped to
// 0..max) before the generator takes over again.
void TestQueueRandom(std::initializer_list<int64_t> values);
// Message boxes are recorded here instead of shown while capture is on.
void TestCaptureMessages(bool on);
const std::string& TestCapturedMessages();  // "title|text\n" per box
void TestClearMessages();
// Makes the next PollKeyboard report Escape as held.
void TestPressEscape(bool down);

// ---- the hook points, read by random.cpp and keys.cpp -------------------------------
// Takes the next queued value for RandomInt(max), clamped; false when none is queued.
bool TakeQueuedRandom(int64_t max, int64_t& value);
bool TestEscapeHeld();

// ---- the desktop's sound output (platform/desktop/sound_output.cpp) -----------------
// How many voice slots are playing, and whether the output device is open.
int TestVoicesInUse();
int TestDeviceRunning();
// Runs one idle-watchdog check at nowMs; from then on the watchdog thread's own
// wake-ups do nothing until the engine restarts.
void TestWatchdogCheck(int64_t nowMs);
