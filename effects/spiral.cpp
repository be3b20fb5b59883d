// Billboard spiral: fifty copies of a picture coiled into the distance over a
// zooming, darkened background; the spin reverses every ten seconds.
#include "effects/spiral.h"

#include <algorithm>
#include <cmath>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "effects/effects.h"
#include "effects/nearest.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/sprite.h"

int64_t SPIRAL_SPRITE, SPIRAL_COUNT;
float SPIRAL_SPIN_RATE, SPIRAL_STEP;
int64_t SPIRAL_REVERSE, SPIRAL_DIRECTION, SPIRAL_REVERSE_PERIOD;
float SPIRAL_DRIFT_X, SPIRAL_DRIFT_Y, SPIRAL_RADIUS_X, SPIRAL_RADIUS_Y;
float SPIRAL_PULSE_RATE, SPIRAL_PULSE;
float SPIRAL_SCALE_NEAR, SPIRAL_SCALE_FAR;
int64_t SPIRAL_ALPHA_NEAR, SPIRAL_ALPHA_FAR;
int64_t SPIRAL_BACKGROUND, SPIRAL_BACKGROUND_SPRITE;
float SPIRAL_BG_ZOOM, SPIRAL_BG_ZOOM_SWING, SPIRAL_BG_ZOOM_RATE;

namespace {
constexpr int SPIRAL_MIN_SIZE = 4;
constexpr int SPIRAL_VEIL_ALPHA = 70;
}  // namespace

void InitSpiral() {
  SPIRAL_SPRITE = 20;
  SPIRAL_COUNT = 50;
  SPIRAL_SPIN_RATE = 0.0006f;
  SPIRAL_STEP = 0.5f;
  SPIRAL_REVERSE = 1;
  SPIRAL_DIRECTION = 1;
  SPIRAL_REVERSE_PERIOD = 10000;
  SPIRAL_DRIFT_X = 245.0f;
  SPIRAL_DRIFT_Y = 320.0f;
  SPIRAL_RADIUS_X = 0.38f;
  SPIRAL_RADIUS_Y = 0.38f;
  SPIRAL_PULSE_RATE = 1.5f;
  SPIRAL_PULSE = 0.22f;
  SPIRAL_SCALE_NEAR = 1.35f;
  SPIRAL_SCALE_FAR = 0.15f;
  SPIRAL_ALPHA_NEAR = 255;
  SPIRAL_ALPHA_FAR = 10;
  SPIRAL_BACKGROUND = 1;
  SPIRAL_BACKGROUND_SPRITE = 29;
  SPIRAL_BG_ZOOM = 1.04f;
  SPIRAL_BG_ZOOM_SWING = 0.5f;
  SPIRAL_BG_ZOOM_RATE = 0.45f;
}

int64_t SpiralDirection(int64_t m) {
  if (SPIRAL_REVERSE != 0 && SPIRAL_REVERSE_PERIOD > 0 && (m / SPIRAL_REVERSE_PERIOD) % 2 == 1)
    return 1 - SPIRAL_DIRECTION;
  return SPIRAL_DIRECTION;
}

SpiralBackgroundSize SizeSpiralBackground(int bw0, int bh0, float z) {
  SpiralBackgroundSize size;
  size.width = std::max((int)screenWidth, Nearest((float)bw0 * z));
  size.height = std::max((int)SceneHeight(), Nearest((float)bh0 * z));
  return size;
}

namespace {
void DrawSpiralBackground(float s) {
  SpriteId bg = SPIRAL_BACKGROUND_SPRITE;
  if (SPIRAL_BACKGROUND == 0 || !SpriteExists(bg)) return;
  int bw0 = SpriteWidth(bg), bh0 = SpriteHeight(bg);
  float z = SPIRAL_BG_ZOOM + SPIRAL_BG_ZOOM_SWING * sinf(SPIRAL_BG_ZOOM_RATE * s);
  SpiralBackgroundSize size = SizeSpiralBackground(bw0, bh0, z);
  SetSpriteSize(bg, size.width, size.height);
  DrawSpriteOpaque(bg, (float)(screenWidth - size.width) / 2.0f,
                   (float)(SceneHeight() - size.height) / 2.0f + (float)SCENE_TOP);
  SetSpriteSize(bg, bw0, bh0);
  if (!BeginScreenDrawing()) return;
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  FillSceneArea(Rgba(0, 0, 0, SPIRAL_VEIL_ALPHA));
  SetDrawingMode(DRAW_MODE_DEFAULT);
  EndScreenDrawing();
}
}  // namespace

void DrawBillboardSpiral() {
  int64_t m = EffectClockMs();
  float s = (float)m * 0.001f;
  float t = (float)m * SPIRAL_SPIN_RATE * CurrentSpeedFactor();
  int64_t dir = SpiralDirection(m);
  ClearSceneArea(0, 0, 0);
  DrawSpiralBackground(s);

  SpriteId sprite = SPIRAL_SPRITE;
  if (!SpriteExists(sprite)) return;
  int w20 = SpriteWidth(sprite), h20 = SpriteHeight(sprite);
  float area = (float)SceneHeight();
  float cx = (float)SceneCentreX() + SPIRAL_DRIFT_X * sinf(0.9f * s);
  float cy = (float)(SceneHeight() / 2) + SPIRAL_DRIFT_Y * cosf(0.7f * s) + (float)SCENE_TOP;
  float p = 1.0f + SPIRAL_PULSE * sinf(SPIRAL_PULSE_RATE * s);
  float rx = SPIRAL_RADIUS_X * (float)screenWidth * p, ry = SPIRAL_RADIUS_Y * area * p;
  // Inner, far copies first so that the nearer ones cover them.
  for (int64_t i = SPIRAL_COUNT - 1; i >= 0; i--) {
    float f = std::clamp(1.0f - (float)i / (float)SPIRAL_COUNT, 0.0f, 1.0f);
    float a = dir != 0 ? SPIRAL_STEP * (float)i - t : SPIRAL_STEP * (float)i + t;
    float x = cx + cosf(a) * rx * f;
    float y = cy + sinf(a) * ry * f;
    float k = SPIRAL_SCALE_FAR + f * (SPIRAL_SCALE_NEAR - SPIRAL_SCALE_FAR);
    int w = std::max(SPIRAL_MIN_SIZE, Nearest((float)w20 * k));
    int h = std::max(SPIRAL_MIN_SIZE, Nearest((float)h20 * k));
    float light = (float)SPIRAL_ALPHA_FAR + f * (float)(SPIRAL_ALPHA_NEAR - SPIRAL_ALPHA_FAR);
    int intensity = std::clamp(Nearest(light), 0, 255);
    SetSpriteSize(sprite, w, h);
    DrawSpriteBlended(sprite, x - (float)w / 2.0f, y - (float)h / 2.0f, intensity);
  }
  SetSpriteSize(sprite, w20, h20);
}
