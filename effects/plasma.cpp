// Rotating block plasma: two interfering sine fields sampled on a turning,
// breathing grid of 12-pixel blocks, in blue (effect 1) or red (effect 15).
// Every frame is a pure function of the program clock; no state is kept.
#include "effects/plasma.h"

#include <algorithm>
#include <cmath>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "effects/effects.h"
#include "effects/nearest.h"
#include "effects/sine.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/sprite.h"

float PLASMA_TURN, PLASMA_BREATH, PLASMA_STRETCH_U, PLASMA_STRETCH_V;

void InitPlasma() {
  PLASMA_TURN = 0.25f;
  PLASMA_BREATH = 0.4f;
  PLASMA_STRETCH_U = 0.8f;
  PLASMA_STRETCH_V = 0.7f;
}

namespace {
struct PlasmaGrid {
  float T, c, s, z, cx, cy;
};

PlasmaGrid MakeGrid(float T, float a) {
  PlasmaGrid g;
  g.T = T;
  g.z = std::sin(PLASMA_BREATH * T) * 0.635f + 1.0f;
  g.cx = (float)SceneCentreX();
  g.cy = (float)SceneCentreY();
  g.c = std::cos(a);
  g.s = std::sin(a);
  return g;
}

int Sample(const PlasmaGrid& g, int x, int y) {
  const float u = ((float)x - g.cx) / 120.0f;
  const float v = ((float)y - g.cy) / 120.0f;
  float ru = u * g.c - v * g.s;
  float rv = u * g.s + v * g.c;
  ru = ru * PLASMA_STRETCH_U * g.z;
  rv = rv * PLASMA_STRETCH_V / g.z;
  const double T = g.T;
  const double f = Sine(2.4 * ru + 3.0 * T) * 64.0 + Cosine(3.1 * rv + 2.2 * T) * 63.0 + 128.0;
  return std::clamp((int)NearestWhole(f), 0, 255);  // rounded as a double, not through a float
}
}  // namespace

int PlasmaIntensity(int x, int y, float T, float a) { return Sample(MakeGrid(T, a), x, y); }

void PaintPlasma(float T, float turnSign, bool red) {
  const PlasmaGrid g = MakeGrid(T, turnSign * PLASMA_TURN * T);
  const int W = (int)screenWidth, bottom = (int)ScrollerTop();
  for (int y = (int)SCENE_TOP; y <= bottom; y += 8) {
    for (int x = 0; x <= W; x += 12) {
      const int n = Sample(g, x, y);
      DrawBox(x, y, 12, 12, red ? Rgb(n, n / 3, 0) : Rgb(n / 3, n / 2, n));
    }
  }
}

namespace {
void DrawPlasma(float turnSign, bool red) {
  const float T = (float)EffectClockMs() * 0.001f * CurrentSpeedFactor();
  if (!BeginScreenDrawing()) return;
  PaintPlasma(T, turnSign, red);
  EndScreenDrawing();
}
}  // namespace

void DrawBluePlasma() { DrawPlasma(1.0f, false); }
void DrawRedPlasma() { DrawPlasma(-1.0f, true); }
