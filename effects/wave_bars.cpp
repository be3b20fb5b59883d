// Wave bars: a swaying, breathing snake of short cyan / magenta / violet line
// segments down the scene area, and the picture that glides in from the left
// and parks near the left edge. Neither keeps state between frames.
#include "effects/wave_bars.h"

#include <algorithm>
#include <cmath>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/sprite.h"

int64_t SLIDE_SPRITE, SLIDE_INTENSITY;
float SLIDE_RATE, SLIDE_FROM, SLIDE_TO, SLIDE_CENTRE;

namespace {
int Nearest(float x) { return (int)std::nearbyint(x); }
}  // namespace

void InitWaveBars() {
  SLIDE_SPRITE = 33;
  SLIDE_RATE = 0.0002f;
  SLIDE_FROM = -0.85f;
  SLIDE_TO = 0.04f;
  SLIDE_CENTRE = 0.5f;
  SLIDE_INTENSITY = 255;
}

void DrawWaveBars() {
  float b = (float)EffectClockMs() * 0.001f;
  float c = b * CurrentSpeedFactor();
  float amp = std::sin(b * 2.0f * 3.1415927f / 1.5f) * 70.0f + 90.0f;
  float mid = (float)(screenWidth / 2);
  if (!BeginScreenDrawing()) return;
  DrawBox(0, 200, (int)screenWidth, (int)screenHeight - 400, Rgb(10, 20, 30));
  for (int64_t y = 200; y <= screenHeight - 200; y += 3) {
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

float SlideInX() {
  float p = (float)(ElapsedMs() - sceneStart) * SLIDE_RATE;
  p = std::clamp(p, 0.0f, 1.0f);
  float u = 1.0f - p;
  float e = 1.0f - u * u * u;
  float W = (float)screenWidth;
  return W * SLIDE_FROM + (W * SLIDE_TO - W * SLIDE_FROM) * e;
}

void DrawSlideInFromLeft() {
  const SpriteId id = SLIDE_SPRITE;
  if (!SpriteExists(id)) return;
  float y = 200.0f + (float)(screenHeight - 400) * SLIDE_CENTRE - (float)SpriteHeight(id) / 2.0f;
  DrawSpriteBlended(id, SlideInX(), y, (int)SLIDE_INTENSITY);
}
