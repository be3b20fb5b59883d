// Segmented copper bars: raster bars built from rippling 22-pixel segments,
// counter-phase companions and thin glowing lines, all boxes in one drawing
// pass over faint scanlines.
#include "effects/copper_bars.h"

#include <cmath>
#include <cstdlib>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "effects/effects.h"
#include "effects/nearest.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/sprite.h"

int64_t BAR_COUNT, SEGMENT_STEP, SEGMENT_WIDTH, BAR_HEIGHT_BASE;
float RIPPLE;
int64_t GLOW_LINES, GLOW_HEIGHT;
float BAR_PHASE_RATE;

namespace {
struct BarColours {
  Colour main, dark, highlight;
};
const BarColours BAR_COLOURS[4] = {
    {Rgb(0, 255, 255), Rgb(0, 45, 55), Rgb(180, 255, 255)},
    {Rgb(255, 0, 180), Rgb(60, 0, 45), Rgb(255, 180, 255)},
    {Rgb(140, 0, 255), Rgb(35, 0, 70), Rgb(220, 180, 255)},
    {Rgb(255, 210, 0), Rgb(60, 42, 0), Rgb(255, 245, 160)},
};
const Colour GLOW_COLOURS[3] = {Rgb(0, 180, 255), Rgb(255, 0, 160), Rgb(110, 0, 220)};
const Colour SCANLINE = Rgb(6, 6, 16);
const Colour CENTRE_LINE = Rgb(20, 0, 40);
const Colour GLOW_BACKING = Rgb(10, 0, 25);
const Colour WHITE = Rgb(255, 255, 255);

// One row of segments from x = 0 up to and including x = W.
// The ripple of segment x is sin(base + x * rate + offset) * RIPPLE * scale.
void DrawSegments(int top, float base, float rate, float offset, float scale, int height, int rim,
                  const BarColours& c, bool shine) {
  int w = (int)screenWidth;
  for (int x = 0; x <= w; x += (int)SEGMENT_STEP) {
    float r = sinf(base + (float)x * rate + offset) * RIPPLE * scale;
    DrawBox(x, Nearest((float)top + r), (int)SEGMENT_WIDTH, height, c.main);
    DrawBox(x, Nearest((float)top + r), (int)SEGMENT_WIDTH, rim, c.highlight);
    if (shine) DrawBox(x, Nearest((float)top + r + 3.0f), (int)SEGMENT_WIDTH, 2, WHITE);
  }
}
}  // namespace

void InitCopperBars() {
  BAR_COUNT = 6;
  SEGMENT_STEP = 20;
  SEGMENT_WIDTH = SEGMENT_STEP + 2;
  BAR_HEIGHT_BASE = 18;
  RIPPLE = 14.0f;
  GLOW_LINES = 10;
  GLOW_HEIGHT = 5;
  BAR_PHASE_RATE = 0.00051f;
}

void PaintSegmentedBars(float e) {
  int w = (int)screenWidth, area = (int)SceneHeight();
  int cy = (int)SceneCentreY();
  float amp = (float)area * 0.4f;
  FillSceneArea(Rgb(0, 0, 0));
  for (int y = (int)SCENE_TOP; y <= ScrollerTop(); y += 6) DrawLine(0, y, w, 1, SCANLINE);
  DrawBox(0, Nearest((float)cy - 1.0f), w, 2, CENTRE_LINE);

  for (int64_t i = 0; i < BAR_COUNT; i++) {
    const BarColours& c = BAR_COLOURS[i % 4];
    float fi = (float)i;
    float sw = sinf(e + fi * 0.45f) * amp;
    float dr = cosf(e * 0.8f + fi * 0.52f) * amp * 0.22f;
    int yb = Nearest((float)cy + sw + dr);
    int yc = Nearest((float)cy - sw * 0.72f + dr * 0.35f);
    int n = Nearest(sinf(e * 1.5f + fi * 0.9f) * 8.0f + (float)BAR_HEIGHT_BASE);
    DrawBox(0, yb - 5, w, n + 10, c.dark);
    // Bars near the centre line get a white shine under their highlight.
    bool shine = Nearest(80.0f - (float)std::abs(yb - cy) * 0.45f) >= 21;
    DrawSegments(yb, e * 1.4f, 0.018f, fi * 0.55f, 1.0f, n, 3, c, shine);
    if (i % 2 == 0) {
      DrawBox(0, yc - 3, w, n / 2 + 6, c.dark);
      DrawSegments(yc, e * 1.1f, 0.014f, fi * 0.75f, 0.55f, n / 2, 2, c, false);
    }
  }

  for (int64_t j = 0; j < GLOW_LINES; j++) {
    int yg = Nearest((float)cy + cosf(e * 1.15f + (float)j * 0.65f) * amp * 0.72f);
    DrawBox(0, yg - 2, w, (int)GLOW_HEIGHT + 4, GLOW_BACKING);
    DrawBox(0, yg, w, (int)GLOW_HEIGHT, GLOW_COLOURS[j % 3]);
    DrawBox(0, yg, w, 1, WHITE);
  }
}

void DrawSegmentedBars() {
  float e = (float)EffectClockMs() * BAR_PHASE_RATE * CurrentSpeedFactor();
  if (!BeginScreenDrawing()) return;
  PaintSegmentedBars(e);
  EndScreenDrawing();
}
