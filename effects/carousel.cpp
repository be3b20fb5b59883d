// Billboard carousel: a big centre picture inside a tilted, breathing ring of
// fourteen pictures; the far half passes behind it, the near half in front.
#include "effects/carousel.h"

#include <algorithm>
#include <cmath>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "effects/effects.h"
#include "effects/nearest.h"
#include "platform/platform.h"
#include "render/sprite.h"

int64_t CAROUSEL_RING_SPRITE, CAROUSEL_CENTRE_SPRITE, CAROUSEL_RING_COUNT, CAROUSEL_MIN_SIZE;
float CAROUSEL_SPIN_RATE;

namespace {
constexpr float TWO_PI = 6.28318530718f;

// native x a x b to the nearest pixel, never below the size floor.
int ScaledSize(int native, float a, float b) {
  return std::max((int)CAROUSEL_MIN_SIZE, Nearest((float)native * a * b));
}
}  // namespace

void InitCarousel() {
  CAROUSEL_RING_SPRITE = 25;
  CAROUSEL_CENTRE_SPRITE = 34;
  CAROUSEL_RING_COUNT = 14;
  CAROUSEL_SPIN_RATE = 0.0005f;
  CAROUSEL_MIN_SIZE = 4;
}

RingPicture PlaceRingPicture(int64_t i, float a0, float cx, float cy, float rx, float ry, float p,
                             float m, int w25, int h25) {
  float a = a0 + (float)i * TWO_PI / (float)CAROUSEL_RING_COUNT;
  float sa = sinf(a), ca = cosf(a);
  float d = (sa + 1.0f) * 0.5f;
  RingPicture pic;
  pic.front = d >= 0.5f;
  float bob = sinf(m * 0.0035f + 0.85f * (float)i) * 28.0f * p;
  float scale = pic.front ? 0.45f * d + 0.85f : 0.35f * d + 0.7f;
  float light = pic.front ? d * 120.0f + 120.0f : d * 120.0f + 80.0f;
  pic.intensity = std::min(255, Nearest(light));
  pic.width = ScaledSize(w25, p, scale);
  pic.height = ScaledSize(h25, p, scale);
  pic.x = cx + ca * rx - (float)pic.width / 2.0f;
  pic.y = cy + sa * ry + bob - (float)pic.height / 2.0f;
  return pic;
}

namespace {
void DrawRingPass(bool front, float a0, float cx, float cy, float rx, float ry, float p, float m,
                  int w25, int h25) {
  for (int64_t i = 0; i < CAROUSEL_RING_COUNT; i++) {
    RingPicture pic = PlaceRingPicture(i, a0, cx, cy, rx, ry, p, m, w25, h25);
    if (pic.front != front) continue;
    SetSpriteSize(CAROUSEL_RING_SPRITE, pic.width, pic.height);
    DrawSpriteBlended(CAROUSEL_RING_SPRITE, pic.x, pic.y, pic.intensity);
  }
}
}  // namespace

void DrawBillboardCarousel() {
  float m = (float)EffectClockMs();
  float s = m * 0.001f;
  float a0 = m * CAROUSEL_SPIN_RATE * CurrentSpeedFactor();
  float W = (float)screenWidth, area = (float)SceneHeight();
  float cx = (float)SceneCentreX() + 270.0f * sinf(1.1f * s);
  float cy = (float)SceneCentreY() + 135.0f * cosf(0.8f * s);
  float p = 1.0f + 0.12f * sinf(TWO_PI * 1.0f * s);
  float rx = 0.25f * W * p, ry = 0.28f * area * p;
  ClearSceneArea(0, 0, 0);
  SpriteId ring = CAROUSEL_RING_SPRITE, centre = CAROUSEL_CENTRE_SPRITE;
  if (!SpriteExists(ring)) return;
  int w25 = SpriteWidth(ring), h25 = SpriteHeight(ring);
  SetSpriteRotation(ring, 0.0f, ROTATION_ABSOLUTE);

  DrawRingPass(false, a0, cx, cy, rx, ry, p, m, w25, h25);
  if (SpriteExists(centre)) {
    int w34 = SpriteWidth(centre), h34 = SpriteHeight(centre);
    float k = p * (1.0f + 0.05f * sinf(2.0f * s));
    int cw = ScaledSize(w34, k, 1.0f), ch = ScaledSize(h34, k, 1.0f);
    SetSpriteSize(centre, cw, ch);
    DrawSpriteBlended(centre, cx - (float)cw / 2.0f, cy - (float)ch / 2.0f, 255);
    SetSpriteSize(centre, w34, h34);
  }
  DrawRingPass(true, a0, cx, cy, rx, ry, p, m, w25, h25);
  SetSpriteSize(ring, w25, h25);
}
