// Block rotozoom: the rotozoom picture tiled, turned, zoomed and scrolled across
// the scene area as a mosaic of 8 x 8 blocks on a 10-pixel grid. Reads the
// driver's texel cache; keeps no state of its own.
#include "effects/rotozoom.h"

#include <cmath>
#include <cstdlib>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/sprite.h"

void InitRotozoom() {}

bool RotozoomCacheUsable() {
  return cacheReady == 1 && cacheWidth >= 1 && cacheHeight >= 1 &&
         (int64_t)cacheTexels.size() >= cacheWidth * cacheHeight;
}

int64_t RotozoomTexelIndex(float u, float v, float b) {
  int64_t tu = TruncToInt(u * (float)cacheWidth * 0.5f + b * 120.0f);
  int64_t tv = TruncToInt(v * (float)cacheHeight * 0.5f + b * 90.0f);
  // Mirrored, not wrapped, across 0; the magnitude is reduced before the sign
  // is dropped so that even the most negative value stays in range.
  tu = std::llabs(tu % cacheWidth);
  tv = std::llabs(tv % cacheHeight);
  return tu + tv * cacheWidth;
}

void PaintRotozoom(float b) {
  const float d = b * 1.7f;
  const float cs = std::cos(d), sn = std::sin(d);
  float z = std::sin(b * 0.8f) * 0.8f + 0.6f;
  if (z < 0.08f) z = 0.08f;
  const float cx = (float)SceneCentreX();
  const float cy = (float)SceneCentreY();
  const int W = (int)screenWidth, bottom = (int)ScrollerTop();
  FillSceneArea(Rgb(0, 0, 0));
  for (int y = (int)SCENE_TOP; y <= bottom; y += 10) {
    const float dy = ((float)y - cy) / 220.0f;
    for (int x = 0; x <= W; x += 10) {
      const float dx = ((float)x - cx) / 220.0f;
      const float u = (dx * cs - dy * sn) * z;
      const float v = (dx * sn + dy * cs) * z;
      DrawBox(x, y, 8, 8, (Colour)cacheTexels[(size_t)RotozoomTexelIndex(u, v, b)]);
    }
  }
}

void PaintRotozoomFallback() {
  FillSceneArea(Rgb(40, 0, 0));
  SetDrawingMode(DRAW_MODE_TRANSPARENT_TEXT);
  DrawTextAt(80, 280, u"ROTOZOOM CACHE NOT READY", Rgb(255, 255, 255));
}

void DrawRotozoom() {
  const float b = (float)EffectClockMs() * 0.001f;
  if (!BeginScreenDrawing()) return;
  if (RotozoomCacheUsable())
    PaintRotozoom(b);
  else
    PaintRotozoomFallback();
  EndScreenDrawing();
}
