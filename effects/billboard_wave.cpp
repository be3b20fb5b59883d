// Billboard sine wave: sixteen copies of one picture riding a travelling sine
// wave on dark navy, and its variant whose picture blinks ever faster.
// Owns the blink state (billboard_wave.h).
#include "effects/billboard_wave.h"

#include <cmath>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "render/sprite.h"

int64_t BlinkSprite, BlinkLastFlipMs, BlinkIntervalMs, BlinkSettled;
int64_t BLINK_SPEEDUP_MS, BLINK_MIN_INTERVAL_MS;
int64_t WAVE_SPRITE, BLINK_SPRITE_FIRST, BLINK_SPRITE_SECOND, WAVE_COPIES, WAVE_INTENSITY;

void InitBillboardWave() {
  BlinkSprite = 26;
  BlinkLastFlipMs = 0;
  BlinkIntervalMs = 100;
  BlinkSettled = 1;
  BLINK_SPEEDUP_MS = 45;
  BLINK_MIN_INTERVAL_MS = 4;
  WAVE_SPRITE = 20;
  BLINK_SPRITE_FIRST = 26;
  BLINK_SPRITE_SECOND = 27;
  WAVE_COPIES = 16;
  WAVE_INTENSITY = 230;
}

void ResetBlinkingBillboards() {
  BlinkSprite = BLINK_SPRITE_FIRST;
  BlinkLastFlipMs = ElapsedMs();
  BlinkIntervalMs = 1000;
  BlinkSettled = 0;
}

int64_t ChooseBlinkSprite() {
  if (BlinkSettled == 0 && ElapsedMs() - BlinkLastFlipMs >= BlinkIntervalMs) {
    BlinkSprite = BlinkSprite == BLINK_SPRITE_FIRST ? BLINK_SPRITE_SECOND : BLINK_SPRITE_FIRST;
    // The clock of this frame, not the planned flip time: lateness adds up.
    BlinkLastFlipMs = ElapsedMs();
    BlinkIntervalMs -= BLINK_SPEEDUP_MS;
    if (BlinkIntervalMs <= BLINK_MIN_INTERVAL_MS) {
      BlinkSprite = BLINK_SPRITE_FIRST;
      BlinkSettled = 1;
    }
  }
  if (BlinkSettled != 0) BlinkSprite = BLINK_SPRITE_FIRST;
  return SpriteExists(BlinkSprite) ? BlinkSprite : BLINK_SPRITE_FIRST;
}

namespace {
void DrawWave(int64_t sprite) {
  float t = (float)EffectClockMs() * 0.001f * CurrentSpeedFactor();
  int64_t area = SceneHeight();
  float w = (float)SpriteWidth(sprite), h = (float)SpriteHeight(sprite);
  ClearSceneArea(0, 0, 20);
  for (int64_t i = 0; i < WAVE_COPIES; i++) {
    float cx = (float)(screenWidth / 16) * (float)i + 40.0f;
    float cy = (float)(area / 2) + sinf(t + 0.7f * (float)i) * (float)area * 0.28f + (float)SCENE_TOP;
    DrawSpriteBlended(sprite, cx - w / 2.0f, cy - h / 2.0f, (int)WAVE_INTENSITY);
  }
}
}  // namespace

void DrawBillboardWave() { DrawWave(WAVE_SPRITE); }

void DrawBlinkingBillboardWave() { DrawWave(ChooseBlinkSprite()); }
