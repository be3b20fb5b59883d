// Wave bars: a swaying, breathing snake of short cyan / magenta / violet line
// segments down the scene area, and the picture that glides in from the left
// and parks near the left edge. Neither keeps state between frames.
#include "effects/wave_bars.h"

#include <cmath>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "effects/effects.h"
#include "effects/nearest.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/sprite.h"

Slide WAVE_BARS_SLIDE;

void InitWaveBars() {
  WAVE_BARS_SLIDE = {33, 0.0002f, -0.85f, 0.04f, 0.5f, 255};
}

void DrawWaveBars() {
  float b = (float)EffectClockMs() * 0.001f;
  float c = b * CurrentSpeedFactor();
  float amp = std::sin(b * 2.0f * 3.1415927f / 1.5f) * 70.0f + 90.0f;
  float mid = (float)SceneCentreX();
  if (!BeginScreenDrawing()) return;
  FillSceneArea(Rgb(10, 20, 30));
  for (int64_t y = SCENE_TOP; y <= ScrollerTop(); y += 3) {
    float fy = (float)y;
    float shift = std::sin(fy * 0.012f + c) * amp;
    float len = std::sin(fy * 0.02f - c) * 35.0f + 190.0f;
    float centre = mid + shift;
    int n = Nearest(len);
    // All three segments first, then the highlights over them.
    DrawLine(Nearest(centre - len), (int)y, n, 2, Rgb(0, 255, 255));
    DrawLine(Nearest(centre), (int)y, n, 2, Rgb(255, 0, 180));
    DrawLine(Nearest(centre + len), (int)y, n, 2, Rgb(140, 0, 255));
    DrawLine(Nearest(centre - len + 10.0f), (int)y, 10, 2, Rgb(180, 255, 255));
    DrawLine(Nearest(centre + 10.0f), (int)y, 10, 2, Rgb(255, 180, 255));
    DrawLine(Nearest(centre + len + 10.0f), (int)y, 10, 2, Rgb(220, 180, 255));
  }
  EndScreenDrawing();
}

float SlideInX() { return SlideLeftEdge(WAVE_BARS_SLIDE); }

void DrawSlideInFromLeft() { DrawSlide(WAVE_BARS_SLIDE); }
