// The show's script: twenty rows of duration, effect, header picture and speed,
// and ClearSceneArea, which most scenes start their frame with.
#include "driver/driver.h"
#include "driver/scene_area.h"
#include "render/draw.h"
#include "render/sprite.h"

void AddTimelineRecord(int64_t durationMs, int64_t effectNumber, int64_t headerImage,
                       const std::u16string& headerText, float speedFactor) {
  lastSceneIndex = lastSceneIndex + 1;
  timeline.resize((size_t)(lastSceneIndex + 1));
  TimelineRecord& row = timeline[(size_t)lastSceneIndex];
  row.durationMs = durationMs;
  row.effectNumber = effectNumber;
  row.headerImage = headerImage;
  row.headerText = headerText;
  row.speedFactor = speedFactor;
}

void BuildTimeline() {
  struct Row { int64_t duration, effect, header; float speed; };
  static const Row rows[] = {
      {17000, 0, 0, 4.0f},  {6000, 1, 0, 5.0f},  {1700, 13, 2, 4.0f}, {7300, 7, 2, 5.0f},
      {11700, 11, 2, 4.0f}, {2300, 13, 2, 4.0f}, {16500, 14, 3, 4.0f}, {6500, 4, 0, 5.0f},
      {8000, 2, 2, 5.0f},   {4000, 15, 0, 5.0f}, {11000, 3, 3, 5.0f}, {4000, 9, 0, 5.0f},
      {10500, 10, 2, 5.0f}, {4000, 9, 0, 5.0f},  {7500, 5, 2, 5.0f},  {4000, 17, 3, 4.0f},
      {14500, 8, 2, 5.0f},  {11000, 19, 0, 5.0f}, {6000, 6, 2, 5.0f}, {220000, 18, 0, 4.0f},
  };
  for (const Row& r : rows) AddTimelineRecord(r.duration, r.effect, r.header, u"", r.speed);
}

void ClearSceneArea(int r, int g, int b) {
  if (!BeginScreenDrawing()) return;
  FillSceneArea(Rgb(r, g, b));
  EndScreenDrawing();
}
