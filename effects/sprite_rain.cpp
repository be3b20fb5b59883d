// Sprite rain: 148 pictures falling through the scene area over near-black
// blue, swaying, tilting, shrinking and dimming as they sink; the first wave is
// billboards, every respawn a pulse sprite. Owns the drop tables (sprite_rain.h).
#include "effects/sprite_rain.h"

#include <algorithm>
#include <cmath>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "effects/effects.h"
#include "effects/nearest.h"
#include "platform/platform.h"
#include "render/sprite.h"

int64_t RAIN_DROPS;
float dropX[148], dropY[148], dropSpeed[148], dropPhase[148];
float dropScaleTop[148], dropScaleBottom[148];
int64_t dropSprite[148];
int64_t rainReady;
float RAIN_SPEED_MIN, RAIN_SPEED_MAX, RAIN_SCALE_TOP, RAIN_SCALE_BOTTOM;
float RAIN_SWAY_RATE, RAIN_SWAY;

namespace {
float Hundredths(int64_t max) { return (float)RandomInt(max) / 100.0f; }

// Speed, sway phase and the two scales, drawn in this order.
void DrawDropLooks(int64_t i) {
  dropSpeed[i] = RAIN_SPEED_MIN + Hundredths(100) * (RAIN_SPEED_MAX - RAIN_SPEED_MIN);
  dropPhase[i] = Hundredths(628);
  dropScaleTop[i] = RAIN_SCALE_TOP - Hundredths(25);
  dropScaleBottom[i] = RAIN_SCALE_BOTTOM + Hundredths(18);
}

SpriteId PickSprite(const SpriteId (&choice)[4]) {
  SpriteId id = choice[RandomInt(3)];
  return SpriteExists(id) ? id : choice[0];
}

void StartRain() {
  static const SpriteId firstWave[4] = {20, 21, 23, 25};
  for (int64_t i = 0; i < RAIN_DROPS; i++) {
    dropX[i] = (float)RandomInt(screenWidth);
    dropY[i] = (float)(RandomInt(SceneHeight()) + SCENE_TOP);
    DrawDropLooks(i);
    dropSprite[i] = PickSprite(firstWave);
  }
  rainReady = 1;
}

void Respawn(int64_t i, int h) {
  static const SpriteId pulses[4] = {30, 31, 32, 30};
  dropY[i] = (float)(SCENE_TOP - h - RandomInt(120));
  dropX[i] = (float)RandomInt(screenWidth);
  DrawDropLooks(i);
  dropSprite[i] = PickSprite(pulses);
}
}  // namespace

void InitSpriteRain() {
  RAIN_DROPS = 148;
  for (int64_t i = 0; i < 148; i++) {
    dropX[i] = dropY[i] = dropSpeed[i] = dropPhase[i] = 0.0f;
    dropScaleTop[i] = dropScaleBottom[i] = 0.0f;
    dropSprite[i] = 0;
  }
  rainReady = 0;
  RAIN_SPEED_MIN = 2.0f;
  RAIN_SPEED_MAX = 7.0f;
  RAIN_SCALE_TOP = 0.45f;
  RAIN_SCALE_BOTTOM = 0.01f;
  RAIN_SWAY_RATE = 1.8f;
  RAIN_SWAY = 42.0f;
}

float RainDepth(float y) { return std::clamp((y - (float)SCENE_TOP) / (float)SceneHeight(), 0.0f, 1.0f); }

float RainScale(int64_t i, float u) {
  return std::max(dropScaleTop[i] + u * (dropScaleBottom[i] - dropScaleTop[i]), 0.05f);
}

int RainIntensity(float u) { return Nearest(255.0f - u * 155.0f); }

void DrawSpriteRain() {
  float f = CurrentSpeedFactor();
  float c = (float)EffectClockMs() * 0.001f * f;
  if (rainReady == 0) StartRain();
  ClearSceneArea(5, 5, 18);
  const float bandBottom = (float)ScrollerTop();
  for (int64_t i = 0; i < RAIN_DROPS; i++) {
    SpriteId id = dropSprite[i];
    if (!SpriteExists(id)) continue;
    int w = SpriteWidth(id), h = SpriteHeight(id);
    dropY[i] += dropSpeed[i] * f;
    if (dropY[i] > bandBottom + (float)h) {
      Respawn(i, h);
      id = dropSprite[i];
      w = SpriteWidth(id);
      h = SpriteHeight(id);
    }
    float u = RainDepth(dropY[i]);
    float s = RainScale(i, u);
    int sw = std::max(Nearest((float)w * s), 4), sh = std::max(Nearest((float)h * s), 4);
    float px = dropX[i] + std::sin(c * RAIN_SWAY_RATE + dropPhase[i]) * RAIN_SWAY * (1.0f - u * 0.4f);
    SetSpriteRotation(id, std::sin(c * 1.2f + (float)i) * 12.0f, ROTATION_ABSOLUTE);
    SetSpriteSize(id, sw, sh);
    DrawSpriteBlended(id, px - (float)sw / 2.0f, dropY[i] - (float)sh / 2.0f, RainIntensity(u));
    SetSpriteSize(id, w, h);
    SetSpriteRotation(id, 0.0f, ROTATION_ABSOLUTE);
  }
}
