// Soak run: plays the whole show through the real frame function on a driven
// clock, as fast as it can, for a number of passes through the timeline, and
// prints per pass the median and 95th-percentile frame cost and the resident
// memory after it; then pass N against pass 2 (memory) and pass 1 (frame cost).
//   make_soak [--passes N] [--step MS] [--start-hours H] [--window W H]
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "render/sprite.h"
#include "tools/common/tool_show.h"

namespace {
double NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double ResidentMb() {
  long pages = 0, resident = 0;
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return 0.0;
  if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
  std::fclose(f);
  return (double)resident * (double)sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0);
}

struct PassReport {
  size_t frames = 0;
  double median = 0, p95 = 0, residentMb = 0;
};

PassReport Summarise(std::vector<double>& times) {
  PassReport r;
  r.frames = times.size();
  if (times.empty()) return r;
  std::sort(times.begin(), times.end());
  r.median = times[times.size() / 2];
  r.p95 = times[std::min(times.size() - 1, (size_t)(times.size() * 0.95))];
  r.residentMb = ResidentMb();
  return r;
}
}  // namespace

int main(int argc, char** argv) {
  int passes = 10, winW = 1920, winH = 1080;
  int64_t step = 50, startMs = 1000;
  for (int i = 1; i < argc; i++) {
    if (!std::strcmp(argv[i], "--passes") && i + 1 < argc) passes = std::max(1, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--step") && i + 1 < argc) step = std::max(1, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--start-hours") && i + 1 < argc) startMs = std::atoll(argv[++i]) * 3600000;
    else if (!std::strcmp(argv[i], "--window") && i + 2 < argc) {
      winW = std::atoi(argv[++i]);
      winH = std::atoi(argv[++i]);
    }
  }
  // The clock is driven from the start, so that start-up's readings are on it too.
  TestSetClock(startMs);
  if (!StartToolShow("make_soak", "Velda Party 5 soak", winW, winH)) return 1;
  EnterScene(0);
  showStartMs = ElapsedMs();
  scrollX = (float)screenWidth;
  std::printf("soak: %d passes, clock from %lld ms in %lld ms steps, resident %.1f MB at the start\n", passes,
              (long long)startMs, (long long)step, ResidentMb());

  // One frame as the main loop plays it, less the input polling and its 1 ms sleep.
  std::vector<PassReport> reports;
  std::vector<double> times;
  int64_t pass = passCount;
  while ((int)reports.size() < passes) {
    double t0 = NowMs();
    UpdateSceneTime();
    if (passCount != pass) {
      reports.push_back(Summarise(times));
      const PassReport& r = reports.back();
      std::printf("pass %2zu: %6zu frames  median %6.2f ms  p95 %6.2f ms  resident %7.1f MB\n", reports.size(),
                  r.frames, r.median, r.p95, r.residentMb);
      std::fflush(stdout);
      times.clear();
      pass = passCount;
      t0 = NowMs();
    }
    DrawFrame();
    PresentFrame();
    times.push_back(NowMs() - t0);
    SDL_PumpEvents();
    TestAdvanceClock(step);
  }
  const PassReport& first = reports.front();
  const PassReport& second = reports[std::min<size_t>(1, reports.size() - 1)];
  const PassReport& last = reports.back();
  double worst = 0;
  for (const PassReport& r : reports) worst = std::max(worst, first.median > 0 ? r.median / first.median : 0.0);
  std::printf("resident after pass %zu: %+.2f MB against pass 2; slowest pass median %.1f%% of pass 1's\n",
              reports.size(), last.residentMb - second.residentMb, 100.0 * worst);
  CloseScreen();
  SDL_Quit();
  return 0;
}
