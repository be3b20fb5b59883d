// Ribbon twisters: three ribbons of 2-pixel slices that swing and turn in depth
// over a beige background, the group drifting from side to side, with the side
// picture gliding in from the left beneath them. Keeps no state between frames.
#include "effects/twisters.h"

#include <cmath>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "effects/effects.h"
#include "effects/nearest.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/sprite.h"

float TWIST_TIME_RATE;
int64_t TWISTER_COUNT;
float TWISTER_SPACING, TWISTER_PHASE_STEP, TWISTER_SWING;
float TWISTER_MIN_WIDTH, TWISTER_WIDTH, TWIST_BASE;
Slide SIDE_SLIDE;

void InitTwisters() {
  TWIST_TIME_RATE = 0.004f;
  TWISTER_COUNT = 3;
  TWISTER_SPACING = 120.0f;
  TWISTER_PHASE_STEP = 1.25f;
  TWISTER_SWING = 200.0f;
  TWISTER_MIN_WIDTH = 50.0f;
  TWISTER_WIDTH = 210.0f;
  TWIST_BASE = 0.005f;
  SIDE_SLIDE = {22, 0.0001f, -0.75f, 0.0f, 0.5f, 255};
}

void PaintTwisterSlice(float sx, float t, float wb, int y) {
  const float sw = TWISTER_MIN_WIDTH + t * wb;
  DrawBox(Nearest(sx - sw / 2.0f - 4.0f), y, Nearest(sw + 8.0f), 2, Rgb(47, 64, 71));
  DrawBox(Nearest(sx - sw / 2.0f), y, Nearest(sw), 2,
          Rgb(Nearest(46.0f * t + 47.0f), Nearest(56.0f * t + 64.0f), Nearest(38.0f * t + 71.0f)));
  if (sw > TWISTER_WIDTH * 0.45f)
    DrawBox(Nearest(sx - sw * 0.18f), y, Nearest(sw * 0.36f), 2,
            Rgb(Nearest(110.0f * t + 93.0f), Nearest(89.0f * t + 120.0f), Nearest(65.0f * t + 109.0f)));
}

void PaintRibbons(float c) {
  const float W = (float)screenWidth;
  const float gx = W * (std::sin(c * 0.15f) * 0.25f + 0.55f);
  const float tw = TWIST_BASE + std::sin(c * 0.05f) * (-0.038f);
  const float wb = TWISTER_WIDTH + std::sin(c * 0.7f) * 45.0f;
  const int bottom = (int)ScrollerTop();
  for (int64_t i = 0; i < TWISTER_COUNT; i++) {
    const float rx = gx + ((float)i - (float)(TWISTER_COUNT - 1) * 0.5f) * TWISTER_SPACING;
    const float k = (float)i * TWISTER_PHASE_STEP;
    for (int y = (int)SCENE_TOP; y <= bottom; y += 2) {
      const float a = (float)y * tw - c + k;
      PaintTwisterSlice(rx + std::sin(a) * TWISTER_SWING, std::fabs(std::cos(a)), wb, y);
    }
  }
}

float SidePictureX() { return SlideLeftEdge(SIDE_SLIDE); }

void DrawRibbonTwisters() {
  const float c = (float)EffectClockMs() * TWIST_TIME_RATE * CurrentSpeedFactor();
  ClearSceneArea(200, 180, 160);
  DrawSlide(SIDE_SLIDE);
  if (!BeginScreenDrawing()) return;
  PaintRibbons(c);
  EndScreenDrawing();
}
