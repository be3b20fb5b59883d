// Floating billboards: six faint cyan sine waves over dark blue and a rolling
// row of 28 copies of one picture, each bobbing, swaying and tilting, larger and
// brighter low on the screen. Stateless apart from its tuning values.
#include "effects/floating_billboards.h"

#include <algorithm>
#include <cmath>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "effects/effects.h"
#include "effects/nearest.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/sprite.h"

int64_t FLOAT_SPRITE, FLOAT_COPIES, FLOAT_WAVE_LINES, FLOAT_SEGMENT_WIDTH;
Colour FLOAT_WAVE_COLOUR;

namespace {
void DrawWaves(float t, float A, float cy) {
  if (!BeginScreenDrawing()) return;
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  const int64_t step = FLOAT_SEGMENT_WIDTH;
  for (int64_t i = 0; i < FLOAT_WAVE_LINES; i++) {
    float fi = (float)i;
    float phase = t * (0.7f + 0.12f * fi) + 0.8f * fi;
    float amplitude = A * 0.1f + 6.0f * fi;
    for (int64_t x = 0; x <= screenWidth - step; x += step) {
      float y1 = cy + std::sin(0.012f * (float)x + phase) * amplitude;
      float y2 = cy + std::sin(0.012f * (float)(x + step) + phase) * amplitude;
      DrawLine((int)x, Nearest(y1), (int)step, Nearest(y2 - y1), FLOAT_WAVE_COLOUR);
    }
  }
  SetDrawingMode(DRAW_MODE_DEFAULT);
  EndScreenDrawing();
}
}  // namespace

void InitFloatingBillboards() {
  FLOAT_SPRITE = 25;
  FLOAT_COPIES = 28;
  FLOAT_WAVE_LINES = 6;
  FLOAT_SEGMENT_WIDTH = 16;
  FLOAT_WAVE_COLOUR = Rgba(0, 255, 255, 28);
}

void DrawFloatingBillboards() {
  float t = (float)EffectClockMs() * 0.001f * CurrentSpeedFactor();
  float A = (float)SceneHeight();
  float cy = A / 2.0f + (float)SCENE_TOP;
  float rx = A * 0.16f, ry = A * 0.01f;
  float sway = std::sin(t * 0.45f) * 80.0f;
  const SpriteId id = FLOAT_SPRITE;
  if (!SpriteExists(id)) return;
  int w0 = SpriteWidth(id), h0 = SpriteHeight(id);

  ClearSceneArea(0, 0, 18);
  DrawWaves(t, A, cy);

  float W = (float)screenWidth;
  float lastIndex = (float)(FLOAT_COPIES - 1);
  for (int64_t j = 0; j < FLOAT_COPIES; j++) {
    float fj = (float)j;
    float a = 2.0f * t + 0.55f * fj;
    float xc = fj * W / lastIndex;
    float wobble = std::sin(1.3f * t + 0.9f * fj) * 26.0f;
    float yc = cy + std::sin(a) * rx + std::cos(1.1f * t + 1.35f * fj) * ry;
    float depth = (std::sin(a) + 1.0f) * 0.5f;
    float scale = depth * 0.65f + 0.55f;
    int w = std::max(Nearest((float)w0 * scale), 6);
    int h = std::max(Nearest((float)h0 * scale), 6);
    int intensity = std::min(Nearest(depth * 125.0f + 120.0f), 255);
    SetSpriteRotation(id, std::sin(1.4f * t + 0.6f * fj) * 8.0f, ROTATION_ABSOLUTE);
    SetSpriteSize(id, w, h);
    DrawSpriteBlended(id, xc + sway + wobble - (float)w / 2.0f, yc - (float)h / 2.0f, intensity);
  }
  SetSpriteSize(id, w0, h0);
  SetSpriteRotation(id, 0.0f, ROTATION_ABSOLUTE);
}
