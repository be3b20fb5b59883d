// Kick rings: five throbbing translucent discs, two flash rings per second and a
// breathing ellipse of 100 colour-split pulse sprites, half of them kicked
// outwards by each flash. Owns lastSecond and quarterTurn (kick_rings.h).
#include "effects/kick_rings.h"

#include <algorithm>
#include <cmath>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "effects/effects.h"
#include "effects/nearest.h"
#include "effects/native_size.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/sprite.h"

int64_t lastSecond, quarterTurn;
int64_t RING_COUNT, RING_SPACING, ORBIT_SPRITES;
float ORBIT_RX_MIN, ORBIT_RX_MAX, ORBIT_RY_MIN, ORBIT_RY_MAX;
float BREATH_RATE, SECOND_LEN, FLASH_WINDOW, SECTOR_PI, FLASH_GROW;
float FLASH_PUSH_X, FLASH_PUSH_Y, SPLIT_BASE, SCALE_BASE, SCALE_KICK;

namespace {
constexpr SpriteId PULSE_RED = 30, PULSE_GREEN = 31, PULSE_BLUE = 32, FALLBACK = 20;

// The copies of one orbit sprite; 0 marks a missing copy.
struct Copies {
  SpriteId red = 0, green = 0, blue = 0;
};

void DrawDiscs(float cx, float cy, float g, float r0, float m) {
  if (!BeginScreenDrawing()) return;
  FillSceneArea(Rgb(0, 0, 0));
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  int x = Nearest(cx), y = Nearest(cy);
  for (int64_t i = 0; i < RING_COUNT; i++) {
    int v = Nearest(g * 60.0f + 7.0f * (float)i + 20.0f);
    int radius = Nearest(r0 + (float)(i * RING_SPACING));
    Colour colour = i % 3 == 0 ? Rgba(v, 0, 180, 42) : i % 3 == 1 ? Rgba(0, v, v, 36) : Rgba(v, v, 255, 28);
    DrawCircle(x, y, radius, colour);
  }
  if (m > 0.01f) {
    DrawCircle(x, y, Nearest(m * 90.0f + 60.0f), Rgba(255, 255, 255, Nearest(m * 55.0f)));
    DrawCircle(x, y, Nearest(m * 130.0f + 95.0f), Rgba(255, 0, 180, Nearest(m * 35.0f)));
  }
  SetDrawingMode(DRAW_MODE_DEFAULT);
  EndScreenDrawing();
}

void DrawOrbit(const Copies& c, float a, float f, float cx, float cy, float rx, float ry, float g,
               float m, float d0) {
  float w0 = (float)NativeSpriteWidth(c.green), h0 = (float)NativeSpriteHeight(c.green);
  for (int64_t j = 0; j < ORBIT_SPRITES; j++) {
    float A = OrbitAngle(a, f, j);
    float q = (std::sin(A) + 1.0f) * 0.5f;
    bool flashed = std::fabs(WrapAngle(A - d0, nullptr)) < SECTOR_PI * 0.5f;
    float F = flashed ? m * FLASH_GROW + 1.0f : 1.0f;
    float px = cx + std::cos(A) * rx * (g * 0.51f + 1.0f);
    float py = cy + std::sin(A) * ry * (g * 0.518f + 1.0f);
    if (flashed) {
      px += m * std::cos(A) * FLASH_PUSH_X;
      py += m * std::sin(A) * FLASH_PUSH_Y;
    }
    int k = Nearest(q * 115.0f + g * 30.0f + 110.0f);
    if (flashed) k = Nearest(m * 80.0f + (float)k);
    k = std::min(k, 255);
    float L = g * SPLIT_BASE;
    if (flashed) L += m * 26.0f;
    float M = (q * 0.45f + 0.65f) * (SCALE_BASE + g * SCALE_KICK) * F;
    int N = std::max(Nearest(w0 * M), 6), O = std::max(Nearest(h0 * M), 6);
    float P = 8.0f * std::sin((float)j + a * 2.0f);
    if (flashed) P += std::sin((float)j) * m * 18.0f;

    for (SpriteId id : {c.red, c.green, c.blue})
      if (id) SetSpriteRotation(id, P, ROTATION_ABSOLUTE);
    for (SpriteId id : {c.red, c.green, c.blue})
      if (id) SetSpriteSize(id, N, O);
    float left = px - (float)N / 2.0f, top = py - (float)O / 2.0f;
    int faint = Nearest((float)k * 0.65f);
    if (c.red) DrawSpriteBlended(c.red, left - L, top - L * 0.35f, faint);
    if (c.blue) DrawSpriteBlended(c.blue, left + L, top + L * 0.35f, faint);
    DrawSpriteBlended(c.green, left, top, k);
  }
}

void RestoreSprite(SpriteId id) {
  if (!SpriteExists(id)) return;
  if (cachedSpriteWidth[id] >= 1 && cachedSpriteHeight[id] >= 1)
    SetSpriteSize(id, (int)cachedSpriteWidth[id], (int)cachedSpriteHeight[id]);
  SetSpriteRotation(id, 0.0f, ROTATION_ABSOLUTE);
}
}  // namespace

// The orbit has always taken whole turns off one at a time; the effect clock keeps
// that to a few hundred turns in every pass. A difference beyond MAX_LOOP_ANGLE
// (a show started after the launcher was left open for half an hour) is folded
// first, so that no clock makes the loop longer than about 1300 turns.
float WrapAngle(float d, int64_t* steps) {
  constexpr float MAX_LOOP_ANGLE = 8192.0f;
  if (!(std::fabs(d) <= MAX_LOOP_ANGLE)) d = std::fmod(d, 6.2831855f);
  int64_t n = 0;
  for (; d > 3.1415927f; n++) d -= 6.2831855f;
  for (; d < -3.1415927f; n++) d += 6.2831855f;
  if (steps) *steps += n;
  return d;
}

float KickClock() { return (float)EffectClockMs() * 0.0005f; }

float OrbitAngle(float a, float f, int64_t j) {
  return a * 1.6f * f + (float)j * 2.0f * 3.1415927f / (float)ORBIT_SPRITES;
}

void InitKickRings() {
  lastSecond = -1;
  quarterTurn = 0;
  RING_COUNT = 5;
  RING_SPACING = 118;
  ORBIT_SPRITES = 100;
  ORBIT_RX_MIN = 100.0f;
  ORBIT_RX_MAX = 400.0f;
  ORBIT_RY_MIN = 100.0f;
  ORBIT_RY_MAX = 400.0f;
  BREATH_RATE = 1.45f;
  SECOND_LEN = 0.5f;
  FLASH_WINDOW = 0.5f;
  SECTOR_PI = 3.1415927f;
  FLASH_GROW = 0.8f;
  FLASH_PUSH_X = 200.0f;
  FLASH_PUSH_Y = 200.0f;
  SPLIT_BASE = 12.0f;
  SCALE_BASE = 0.5f;
  SCALE_KICK = 0.15f;
}

int64_t AdvanceKickSecond(float a) {
  int64_t s = TruncToInt(a / SECOND_LEN);
  if (s != lastSecond) {
    lastSecond = s;
    quarterTurn = quarterTurn + 1;
    if (quarterTurn >= 4) quarterTurn = 0;
  }
  return s;
}

float KickFlash(float a, int64_t s) {
  float l = a - (float)s * SECOND_LEN;
  if (!(l < FLASH_WINDOW)) return 0.0f;
  return std::pow(1.0f - l / FLASH_WINDOW, 6.0f);
}

void DrawKickRings() {
  float f = CurrentSpeedFactor();
  float a = KickClock();
  float S = a * 6.0f * f;
  float cx = (float)screenWidth / 2.0f;
  float cy = (float)SceneHeight() / 2.0f + (float)SCENE_TOP;
  float e = (std::sin(a * BREATH_RATE) + 1.0f) * 0.5f;
  float rx = ORBIT_RX_MIN + e * (ORBIT_RX_MAX - ORBIT_RX_MIN);
  float ry = ORBIT_RY_MIN + e * (ORBIT_RY_MAX - ORBIT_RY_MIN);
  float g = (std::sin(S) + 1.0f) * 0.2f;
  float r0 = std::sin(S) * 45.0f + 80.0f;
  int64_t s = AdvanceKickSecond(a);
  float m = KickFlash(a, s);
  float d0 = (float)quarterTurn * 1.5707964f;

  DrawDiscs(cx, cy, g, r0, m);

  Copies copies;
  if (SpriteExists(PULSE_GREEN)) {
    copies.green = PULSE_GREEN;
    if (SpriteExists(PULSE_RED)) copies.red = PULSE_RED;
    if (SpriteExists(PULSE_BLUE)) copies.blue = PULSE_BLUE;
  } else if (SpriteExists(FALLBACK)) {
    copies.red = copies.green = copies.blue = FALLBACK;
  } else {
    return;
  }
  DrawOrbit(copies, a, f, cx, cy, rx, ry, g, m, d0);
  for (SpriteId id : {PULSE_RED, PULSE_GREEN, PULSE_BLUE}) RestoreSprite(id);
  // The billboard stands in for the pulse sprites only here; other scenes
  // expect it at its own size and upright.
  if (copies.green == FALLBACK) RestoreSprite(FALLBACK);
}
