// Fake equalizer: sixteen bars on a cyan floor line that glide towards targets
// renewed every 120 ms from a slow sine pattern plus noise. Owns the levels and
// targets, which carry over from one visit of the scene to the next.
#include "effects/equalizer.h"

#include <cmath>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "effects/effects.h"
#include "effects/nearest.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/sprite.h"

float eqLevel[EQ_BANDS];
float eqTarget[EQ_BANDS];
int64_t eqLastUpdateMs;
int64_t EQ_BAR_WIDTH, EQ_GAP, EQ_UPDATE_MS;
float EQ_SMOOTH;

void InitEqualizer() {
  for (int i = 0; i < EQ_BANDS; i++) eqLevel[i] = eqTarget[i] = 0.0f;
  eqLastUpdateMs = 0;
  EQ_BAR_WIDTH = 42;
  EQ_GAP = 12;
  EQ_UPDATE_MS = 120;
  EQ_SMOOTH = 0.32f;
}

EqLayout EqualizerLayout() {
  const int64_t total = EQ_BANDS * EQ_BAR_WIDTH + (EQ_BANDS - 1) * EQ_GAP;
  const float area = (float)SceneHeight();
  EqLayout l;
  l.left = (int)(screenWidth / 2 - total / 2);
  l.maxH = Nearest(area * 0.65f);
  l.base = Nearest(area * 0.82f + (float)SCENE_TOP);
  return l;
}

Colour EqualizerColour(float level) {
  if (level < 0.35f) return Rgb(0, 255, 255);
  if (level < 0.7f) return Rgb(255, 0, 180);
  return Rgb(255, 240, 80);
}

bool UpdateEqualizerTargets(float t) {
  if (ElapsedMs() - eqLastUpdateMs <= EQ_UPDATE_MS) return false;
  for (int i = 0; i < EQ_BANDS; i++) {
    float target = std::fabs(std::sin(t + (float)i * 0.65f)) * 0.45f + (float)RandomInt(35) / 100.0f + 0.2f;
    eqTarget[i] = target > 1.0f ? 1.0f : target;
  }
  eqLastUpdateMs = ElapsedMs();
  return true;
}

void GlideEqualizerBars() {
  for (int i = 0; i < EQ_BANDS; i++) eqLevel[i] += (eqTarget[i] - eqLevel[i]) * EQ_SMOOTH;
}

void PaintEqualizerBars() {
  const EqLayout l = EqualizerLayout();
  const int barW = (int)EQ_BAR_WIDTH;
  DrawBox(0, l.base + 8, (int)screenWidth, 3, Rgb(50, 255, 255));
  for (int i = 0; i < EQ_BANDS; i++) {
    const int bh = Nearest(eqLevel[i] * (float)l.maxH);
    const int ch = Nearest((float)bh * 0.12f);
    const int x = l.left + i * (barW + (int)EQ_GAP);
    DrawBox(x - 4, l.base - bh - ch, barW + 8, bh + ch, Rgb(25, 25, 45));
    DrawBox(x, l.base - bh, barW, bh, EqualizerColour(eqLevel[i]));
    DrawBox(x + 5, l.base - bh + 6, 6, bh - 12, Rgb(255, 255, 255));
    DrawBox(x, l.base - bh - 6, barW, 5, Rgb(255, 255, 255));
  }
}

void DrawFakeEqualizer() {
  const float t = (float)EffectClockMs() * 0.004f;
  ClearSceneArea(0, 0, 0);
  UpdateEqualizerTargets(t);
  GlideEqualizerBars();  // once per frame, painted or not
  if (!BeginScreenDrawing()) return;
  PaintEqualizerBars();
  EndScreenDrawing();
}
