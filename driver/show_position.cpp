// Where the show stands on its clock: the scene switch rule that every frame
// applies, the length of one pass through the timeline, frame grids, and
// entering the show at any frame of a grid exactly as a run from frame 0 on
// that grid would stand there (the capture tool starts there).
#include "driver/driver.h"
#include "platform/platform.h"

bool SceneTimeIsUp(int64_t nowMs) {
  if (timeline.empty()) return false;
  // Equal is not yet over: a scene ends on the first moment past its duration.
  return nowMs - sceneStart > timeline[(size_t)currentScene].durationMs;
}

int64_t TimelinePassMs() {
  int64_t total = 0;
  for (const TimelineRecord& row : timeline) total += row.durationMs;
  return total;
}

int64_t GridFrameMs(const FrameGrid& grid, int64_t n) { return n * 1000 * grid.den / grid.num; }

int64_t GridFrameAtOrAfter(const FrameGrid& grid, int64_t ms) {
  if (ms <= 0) return 0;
  // floor(n * 1000 * den / num) >= ms exactly when n * 1000 * den >= ms * num.
  const int64_t step = 1000 * grid.den;
  return (ms * grid.num + step - 1) / step;
}

namespace {
// The frame after `after` on which the rule first ends the current row. The
// guess from the row's duration is confirmed (and corrected) by the rule itself.
int64_t NextSwitchFrame(const FrameGrid& grid, int64_t after) {
  const int64_t duration = timeline[(size_t)currentScene].durationMs;
  int64_t n = GridFrameAtOrAfter(grid, sceneStart + duration + 1);
  if (n <= after) n = after + 1;
  while (n - 1 > after && SceneTimeIsUp(GridFrameMs(grid, n - 1))) n--;
  while (!SceneTimeIsUp(GridFrameMs(grid, n))) n++;
  return n;
}
}  // namespace

int64_t EnterShowAt(const FrameGrid& grid, int64_t frame) {
  passCount = 0;
  DriveClock(0);
  EnterScene(0);
  int64_t passFrame = 0, rowFrame = 0;
  // Each row is entered on the clock of the frame whose scene switch enters
  // it, as UpdateSceneTime does frame by frame, so the scene clock, the flash,
  // the pass count and the effect clock read as if every frame had been shown.
  while (!timeline.empty() && grid.num > 0 && grid.den > 0) {
    int64_t next = NextSwitchFrame(grid, rowFrame);
    if (next > frame) break;
    DriveClock(GridFrameMs(grid, next));
    EnterScene(currentScene + 1);
    rowFrame = next;
    if (currentScene == 0) passFrame = next;
  }
  showStartMs = 0;
  scrollX = (float)screenWidth;
  DriveClock(GridFrameMs(grid, frame));
  return passFrame;
}
