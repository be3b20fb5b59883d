// RandomInt: a per-thread generator (splitmix64), seeded on first use from the
// thread's identity and the clock, so runs are not repeatable unless SeedRandom
// fixes the start.
#include "platform/platform.h"
#ifdef ZYNTRAX_TEST_HOOKS
#include "platform/test_hooks.h"
#endif

#include <chrono>
#include <functional>
#include <thread>

namespace {
thread_local uint64_t randomState = 0;
thread_local bool randomSeeded = false;

uint64_t NextRandom() {
  if (!randomSeeded) {
    uint64_t ticks = (uint64_t)std::chrono::steady_clock::now().time_since_epoch().count();
    randomState = ticks ^ ((uint64_t)std::hash<std::thread::id>{}(std::this_thread::get_id()) << 1);
    randomSeeded = true;
  }
  uint64_t z = (randomState += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
}  // namespace

int64_t RandomInt(int64_t max) {
#ifdef ZYNTRAX_TEST_HOOKS
  if (int64_t queued; TakeQueuedRandom(max, queued)) return queued;
#endif
  if (max <= 0) return 0;
  // Lemire's multiply-shift with rejection: exactly uniform over 0..max.
  uint64_t range = (uint64_t)max + 1;
  while (true) {
    unsigned __int128 m = (unsigned __int128)NextRandom() * range;
    uint64_t low = (uint64_t)m;
    if (low >= range || low >= (-range) % range) return (int64_t)(m >> 64);
  }
}

void SeedRandom(uint64_t seed) {
  randomState = seed;
  randomSeeded = true;
}
