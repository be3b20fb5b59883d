// Soak run: plays the whole show through the real frame function on a driven
// clock, as fast as it can, for a number of passes through the timeline, and
// prints per pass the median frame cost (wall clock, and the main thread's own
// processor time, which other programs on the machine disturb far less) and the
// resident memory and the heap in use (and held from the system) after it; then
// pass N against pass 2 (memory) and pass 1 (frame cost). With LP_NUM_THREADS=0
// Mesa's software renderer draws on the main thread, so its work counts in the
// processor time too.
//   make_soak [--passes N] [--step MS] [--start-hours H] [--window W H]
#include <SDL.h>
#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/display.h"
#include "platform/platform.h"
#include "render/sprite.h"
#include "tools/common/tool_show.h"

namespace {
double NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return (double)t.tv_sec * 1000.0 + (double)t.tv_nsec / 1.0e6;
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
  double median = 0, cpuMedian = 0, residentMb = 0, heapMb = 0, heapHeldMb = 0;
};

double Median(std::vector<double>& v) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

PassReport Summarise(std::vector<double>& wall, std::vector<double>& cpu) {
  PassReport r;
  r.frames = wall.size();
  r.median = Median(wall);
  r.cpuMedian = Median(cpu);
  r.residentMb = ResidentMb();
  struct mallinfo2 heap = mallinfo2();
  // Large blocks are mapped on their own: in use and held both count them.
  r.heapMb = (double)(heap.uordblks + heap.hblkhd) / (1024.0 * 1024.0);
  r.heapHeldMb = (double)(heap.arena + heap.hblkhd) / (1024.0 * 1024.0);
  wall.clear();
  cpu.clear();
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
  DriveClock(startMs);
  if (!StartToolShow("make_soak", "Velda Party 5 soak", winW, winH)) return 1;
  EnterScene(0);
  showStartMs = ElapsedMs();
  scrollX = (float)screenWidth;
  std::printf("soak: %d passes, clock from %lld ms in %lld ms steps, resident %.1f MB at the start\n", passes,
              (long long)startMs, (long long)step, ResidentMb());

  // One frame as the main loop plays it, less the input polling and its 1 ms sleep.
  std::vector<PassReport> reports;
  std::vector<double> wall, cpu;
  int64_t pass = passCount;
  while ((int)reports.size() < passes) {
    double t0 = NowMs(), c0 = ThreadCpuMs();
    UpdateSceneTime();
    if (passCount != pass) {
      reports.push_back(Summarise(wall, cpu));
      const PassReport& r = reports.back();
      std::printf("pass %2zu: %6zu frames  median %7.2f ms  processor %7.2f ms  resident %7.1f MB  heap %6.1f MB"
                  " (held %6.1f MB)\n", reports.size(), r.frames, r.median, r.cpuMedian, r.residentMb, r.heapMb,
                  r.heapHeldMb);
      std::fflush(stdout);
      pass = passCount;
      t0 = NowMs();
      c0 = ThreadCpuMs();
    }
    DrawFrame();
    PresentShowFrame();
    wall.push_back(NowMs() - t0);
    cpu.push_back(ThreadCpuMs() - c0);
    SDL_PumpEvents();
    DriveClock(ElapsedMs() + step);
  }
  const PassReport& first = reports.front();
  const PassReport& second = reports[std::min<size_t>(1, reports.size() - 1)];
  const PassReport& last = reports.back();
  double worst = 0, worstCpu = 0;
  for (const PassReport& r : reports) {
    if (first.median > 0) worst = std::max(worst, r.median / first.median);
    if (first.cpuMedian > 0) worstCpu = std::max(worstCpu, r.cpuMedian / first.cpuMedian);
  }
  std::printf("after pass %zu against pass 2: resident %+.2f MB, heap in use %+.2f MB, held %+.2f MB\n",
              reports.size(), last.residentMb - second.residentMb, last.heapMb - second.heapMb,
              last.heapHeldMb - second.heapHeldMb);
  std::printf("slowest pass median against pass 1: %.1f%% wall clock, %.1f%% processor\n", 100.0 * worst,
              100.0 * worstCpu);
  CloseShowScreen();
  SDL_Quit();
  return 0;
}
