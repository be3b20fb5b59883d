// Where the show stands on its clock: the scene switch rule that every frame
// applies, the length of one pass through the timeline, and entering the show
// at any moment of its repeating timeline (the capture tool starts there).
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

void EnterShowAt(int64_t showMs) {
  const int64_t pass = TimelinePassMs();
  int64_t passStart = 0;
  if (pass > 0 && showMs > 0) {
    passStart = showMs / pass * pass;
    // On the very last millisecond of a pass its last row still holds.
    if (passStart == showMs) passStart -= pass;
  }
  DriveClock(passStart);
  EnterScene(0);
  // Each row is entered on the clock at its start in the timeline, so its
  // scene clock and flash read as if the show had played up to here.
  while (pass > 0 && SceneTimeIsUp(showMs)) {
    DriveClock(sceneStart + timeline[(size_t)currentScene].durationMs);
    EnterScene(currentScene + 1);
  }
  showStartMs = 0;
  scrollX = (float)screenWidth;
  DriveClock(showMs);
}
