// Benchmark: plays timeline rows (whole frames: scene, bands, flash) for a number
// of frames with the swap interval off and prints milliseconds per frame (median and 95th percentile) per row,
// and the share of the frame spent moving it through the drawing bridge.
//   make_bench [--row N] [--frames F] [--window W H]
#include <SDL.h>

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

void BenchRow(int row, int frames) {
  EnterScene(row);
  std::vector<double> times;
  double bridgeBefore = BridgeMilliseconds();
  double start = NowMs();
  for (int f = 0; f < frames; f++) {
    double t0 = NowMs();
    // Keep the scene running whatever its duration: hold its clock inside the row.
    sceneStart = ElapsedMs() - std::min<int64_t>(timeline[row].durationMs / 2, 1000 + f * 16);
    DrawFrame();
    PresentFrame();
    times.push_back(NowMs() - t0);
  }
  double total = NowMs() - start;
  double bridge = BridgeMilliseconds() - bridgeBefore;
  std::sort(times.begin(), times.end());
  double median = times[times.size() / 2];
  double p95 = times[std::min(times.size() - 1, (size_t)(times.size() * 0.95))];
  std::printf("row %2d effect %2lld: median %7.2f ms  p95 %7.2f ms  bridge %4.1f%%\n", row,
              (long long)timeline[row].effectNumber, median, p95, total > 0 ? 100.0 * bridge / total : 0.0);
  std::fflush(stdout);
}
}  // namespace

int main(int argc, char** argv) {
  int row = -1, frames = 60, winW = 1920, winH = 1080;
  for (int i = 1; i < argc; i++) {
    if (!std::strcmp(argv[i], "--row") && i + 1 < argc) row = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--frames") && i + 1 < argc) frames = std::max(1, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--window") && i + 2 < argc) {
      winW = std::atoi(argv[++i]);
      winH = std::atoi(argv[++i]);
    }
  }
  if (!StartToolShow("make_bench", "Velda Party 5 benchmark", winW, winH)) return 1;
  showStartMs = ElapsedMs();
  if (row >= 0 && row <= lastSceneIndex) {
    BenchRow(row, frames);
  } else {
    for (int r = 0; r <= lastSceneIndex; r++) BenchRow(r, frames);
  }
  CloseScreen();
  SDL_Quit();
  return 0;
}
