// Benchmark: plays timeline rows (whole frames: scene, bands, flash) through the
// presenter the program would choose, with the swap interval off, and prints
// per row the milliseconds per frame (median and 95th percentile), how much of
// the median is painting and presenting, the processor time that painting
// took on all threads together (the work, whatever else the machine runs) and
// on the calling thread alone (what painting would take on an idle machine
// when the helper's share is no longer), and the resident memory. --window
// stretches the 1920 x 1080 picture over a window of that size; --screen paints
// and presents the show at that size in full screen, as start-up does on a
// desktop without a 1920 x 1080 mode (run it on an X screen of that size).
// --threads chooses the painting threads. --floor times what presenting
// cannot go below on this machine: a ready picture of the window's size put
// unscaled on SDL's window surface (XShm under X11). --unread paints F frames
// over every row in turn with nothing reading the frame, and prints the
// resident memory as it goes (stopping past 4 GB).
//   make_bench [--row N] [--frames F] [--window W H | --screen W H]
//              [--threads 1|2] [--presenter gl|surface] [--plot FILE.png] [--floor | --unread]
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/display.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "render/sprite.h"
#include "render/sprite_paint.h"
#include "tools/common/tool_show.h"
#include "tools/bench/plot.h"

namespace {
// Processor time of this process, every thread together, and of this thread.
double CpuMs() { return 1000.0 * (double)std::clock() / CLOCKS_PER_SEC; }
double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return 1000.0 * (double)t.tv_sec + (double)t.tv_nsec / 1e6;
}

double NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, (size_t)((double)v.size() * p))];
}

// Resident memory of this process in MB (0 when unknown).
double ResidentMb() {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0;
  char line[256];
  double mb = 0;
  while (std::fgets(line, sizeof line, f))
    if (!std::strncmp(line, "VmRSS:", 6)) mb = std::atof(line + 6) / 1024.0;
  std::fclose(f);
  return mb;
}

// The floor: SDL_UpdateWindowSurface of a filled W x H surface, nothing copied.
int MeasureFloor(int winW, int winH, int frames) {
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* window = SDL_CreateWindow("make_bench floor", 0, 0, winW, winH, SDL_WINDOW_SHOWN);
  SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : nullptr;
  if (!surface) {
    std::fprintf(stderr, "make_bench: no window surface: %s\n", SDL_GetError());
    return 1;
  }
  SDL_LockSurface(surface);
  for (int y = 0; y < surface->h; y++) {
    uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) + (size_t)y * surface->pitch);
    for (int x = 0; x < surface->w; x++) row[x] = (uint32_t)(x * 2654435761u ^ y * 40503u);
  }
  SDL_UnlockSurface(surface);
  std::vector<double> times;
  for (int f = 0; f < frames + 5; f++) {
    SDL_PumpEvents();
    double t0 = NowMs();
    SDL_UpdateWindowSurface(window);
    if (f >= 5) times.push_back(NowMs() - t0);  // the first puts set the server up
  }
  std::printf("floor %dx%d: unscaled put of a ready picture: median %.2f ms  p95 %.2f ms\n", surface->w, surface->h,
              Percentile(times, 0.5), Percentile(times, 0.95));
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}

// Keeps the scene running whatever its duration: holds its clock inside the row.
void HoldRowClock(int row, int frame) {
  sceneStart = ElapsedMs() - std::min<int64_t>(timeline[row].durationMs / 2, 1000 + frame * 16);
}

void UnreadRun(int frames) {
  const int rows = (int)lastSceneIndex + 1, perRow = std::max(1, frames / rows);
  double most = ResidentMb();
  std::printf("unread: rss %.1f MB at the start\n", most);
  for (int f = 0; f < frames; f++) {
    const int row = (f / perRow) % rows;
    if (f % perRow == 0) EnterScene(row);
    HoldRowClock(row, f % perRow);
    DrawFrame();
    most = std::max(most, ResidentMb());
    if ((f + 1) % 1000 == 0 || f + 1 == frames) std::printf("unread: %5d frames  rss %7.1f MB\n", f + 1, ResidentMb());
    if (most > 4096) {
      std::printf("unread: stopped after %d frames, rss past 4 GB\n", f + 1);
      break;
    }
    std::fflush(stdout);
  }
  std::printf("unread: most rss %.1f MB\n", most);
}

RowTiming BenchRow(int row, int frames) {
  EnterScene(row);
  std::vector<double> times, paint, present, work, mainWork;
  double rss = 0;
  for (int f = 0; f < frames; f++) {
    HoldRowClock(row, f);
    // The processor clocks are read before the frame's clock starts: under
    // Wine a thread's processor time is a server call of about 30 us.
    double c0 = CpuMs(), m0 = ThreadCpuMs(), t0 = NowMs();
    DrawFrame();
    FinishedFrame();  // the frame's kept draws are painted here, not in the present
    double t1 = NowMs();
    work.push_back(CpuMs() - c0);
    mainWork.push_back(ThreadCpuMs() - m0);
    PresentShowFrame();
    double t2 = NowMs();
    times.push_back(t2 - t0);
    paint.push_back(t1 - t0);
    present.push_back(t2 - t1);
    rss = std::max(rss, ResidentMb());
  }
  RowTiming r;
  r.row = row;
  r.median = Percentile(times, 0.5);
  r.p95 = Percentile(times, 0.95);
  std::printf(
      "row %2d effect %2lld: median %7.2f ms  p95 %7.2f ms  paint %6.2f ms  work %6.2f ms  on this thread %6.2f ms  "
      "present %5.2f ms  rss %5.1f MB\n",
      row, (long long)timeline[row].effectNumber, r.median, r.p95, Percentile(paint, 0.5), Percentile(work, 0.5),
      Percentile(mainWork, 0.5), Percentile(present, 0.5), rss);
  std::fflush(stdout);
  return r;
}
}  // namespace

int main(int argc, char** argv) {
  int row = -1, frames = 60, winW = 1920, winH = 1080, threads = 0;
  std::string plotPath;
  bool floor = false, fullScreen = false, unread = false;
  for (int i = 1; i < argc; i++) {
    if (!std::strcmp(argv[i], "--row") && i + 1 < argc) {
      row = std::atoi(argv[++i]);
    } else if (!std::strcmp(argv[i], "--frames") && i + 1 < argc) {
      frames = std::max(1, std::atoi(argv[++i]));
    } else if ((!std::strcmp(argv[i], "--window") || !std::strcmp(argv[i], "--screen")) && i + 2 < argc) {
      fullScreen = !std::strcmp(argv[i], "--screen");
      winW = std::atoi(argv[++i]);
      winH = std::atoi(argv[++i]);
    } else if (!std::strcmp(argv[i], "--threads") && i + 1 < argc) {
      threads = std::atoi(argv[++i]);
      if (threads != 1 && threads != 2) {
        std::fprintf(stderr, "make_bench: --threads takes 1 or 2\n");
        return 2;
      }
    } else if (!std::strcmp(argv[i], "--presenter") && i + 1 < argc) {
      std::string p = argv[++i];
      if (p != "gl" && p != "surface") {
        std::fprintf(stderr, "make_bench: --presenter takes gl or surface\n");
        return 2;
      }
      ChoosePresenter(p == "gl" ? PRESENTER_GL : PRESENTER_SURFACE);
    } else if (!std::strcmp(argv[i], "--plot") && i + 1 < argc) {
      plotPath = argv[++i];
    } else if (!std::strcmp(argv[i], "--floor")) {
      floor = true;
    } else if (!std::strcmp(argv[i], "--unread")) {
      unread = true;
    } else {
      std::fprintf(stderr,
                   "usage: make_bench [--row N] [--frames F] [--window W H | --screen W H] [--threads 1|2] "
                   "[--presenter gl|surface] [--plot FILE.png] [--floor | --unread]\n");
      return 2;
    }
  }
  if (floor) return MeasureFloor(winW, winH, frames);
  if (!StartToolShow("make_bench", "Velda Party 5 benchmark", winW, winH, fullScreen)) return 1;
  if (threads) SetPaintThreads(threads);
  const char* presenterName = CurrentDisplay().presenter == PRESENTER_GL ? "gl" : "surface";
  std::printf("presenter: %s, show painted at %lld x %lld on %d thread%s\n", presenterName, (long long)screenWidth,
              (long long)screenHeight, PaintThreads(), PaintThreads() == 1 ? "" : "s");
  std::fflush(stdout);  // a reader times each row from this line on
  showStartMs = ElapsedMs();
  std::vector<RowTiming> rows;
  if (unread) {
    UnreadRun(frames);
  } else if (row >= 0 && row <= lastSceneIndex) {
    rows.push_back(BenchRow(row, frames));
  } else {
    for (int r = 0; r <= lastSceneIndex; r++) rows.push_back(BenchRow(r, frames));
  }
  CloseShowScreen();
  SDL_Quit();
  const std::string title = "make_bench " + std::to_string(winW) + " x " + std::to_string(winH) + " (" +
                            presenterName + (fullScreen ? ", full screen" : "") + ")";
  if (!plotPath.empty() && !WritePlot(plotPath, rows, title)) {
    std::fprintf(stderr, "make_bench: cannot write %s\n", plotPath.c_str());
    return 1;
  }
  return 0;
}
