// The test hooks on top of the production clock, generator and message
// collection, and the queues the hook points read. Compiled into test builds only.
#include "platform/test_hooks.h"

#include <deque>

#include "platform/platform.h"

namespace {
thread_local std::deque<int64_t> queuedRandom;
bool escapeHeld = false;
}  // namespace

void TestSetClock(int64_t ms) { DriveClock(ms); }
// ElapsedMs is the driven time once driven, the real one before.
void TestAdvanceClock(int64_t ms) { DriveClock(ElapsedMs() + ms); }
void TestUseRealClock() { UseRealClock(); }

void TestSeedRandom(uint64_t seed) { SeedRandom(seed); }

void TestQueueRandom(std::initializer_list<int64_t> values) {
  for (int64_t v : values) queuedRandom.push_back(v);
}

bool TakeQueuedRandom(int64_t max, int64_t& value) {
  if (queuedRandom.empty()) return false;
  int64_t v = queuedRandom.front();
  queuedRandom.pop_front();
  value = v < 0 ? 0 : (v > max ? (max < 0 ? 0 : max) : v);
  return true;
}

void TestCaptureMessages(bool on) { CollectMessages(on); }
const std::string& TestCapturedMessages() { return CollectedMessages(); }
void TestClearMessages() { ClearCollectedMessages(); }

void TestPressEscape(bool down) { escapeHeld = down; }
bool TestEscapeHeld() { return escapeHeld; }
