// Black hole suction: a wandering glowing hole over a veiled tunnel picture,
// spiral streaks flowing into it and a pool of particles it swallows.
// Owns the particle pool (black_hole.h).
#include "effects/black_hole.h"

#include <algorithm>
#include <cmath>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "effects/effects.h"
#include "effects/nearest.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/sprite.h"

SuctionParticle suctionParticles[PARTICLE_COUNT];
int64_t particlesReady, lastSpawnMs;
int64_t SPAWN_INTERVAL_MS;
float PULL, SWIRL, MAX_SPEED;
int64_t CORE_RADIUS, GLOW_RADIUS, STREAKS;
float GOLDEN_ANGLE;
int64_t BLACK_HOLE_BACKGROUND_SPRITE;

namespace {
const Colour PARTICLE_COLOURS[5] = {Rgb(0, 255, 255), Rgb(255, 0, 180), Rgb(140, 0, 255),
                                    Rgb(255, 255, 255), Rgb(255, 210, 0)};

void ClearParticles() {
  for (SuctionParticle& p : suctionParticles) p = {0, 0, 0, 0, 0, 0, 0, 1.0f, (int64_t)Rgb(255, 255, 255)};
}
}  // namespace

void InitBlackHole() {
  ClearParticles();
  particlesReady = 0;
  lastSpawnMs = 0;
  SPAWN_INTERVAL_MS = 212;
  PULL = 0.28f;
  SWIRL = 0.35f;
  MAX_SPEED = 14.0f;
  CORE_RADIUS = 115;
  GLOW_RADIUS = 230;
  STREAKS = 24;
  GOLDEN_ANGLE = 2.3999629f;
  BLACK_HOLE_BACKGROUND_SPRITE = 29;
}

void ResetSuctionParticles() {
  ClearParticles();
  lastSpawnMs = ElapsedMs();
  particlesReady = 1;
}

int64_t LiveSuctionParticles() {
  int64_t n = 0;
  for (const SuctionParticle& p : suctionParticles) n += p.active != 0;
  return n;
}

void SpawnSuctionParticle(float cx, float cy) {
  SuctionParticle* p = nullptr;
  for (SuctionParticle& slot : suctionParticles) {
    if (slot.active == 0) {
      p = &slot;
      break;
    }
  }
  if (!p) return;
  // The draws in this order: angle, distance, the two speeds, life, size, colour.
  float g = (float)RandomInt(628) / 100.0f;
  float dist = (float)(RandomInt(480) + 260);
  p->active = 1;
  p->x = cx + cosf(g) * dist;
  p->y = cy + sinf(g) * dist * 0.72f;
  p->vx = -sinf(g) * (float)RandomInt(40) / 100.0f;
  p->vy = cosf(g) * (float)RandomInt(40) / 100.0f;
  p->maxLife = (float)(RandomInt(120) + 160);
  p->life = p->maxLife;
  p->size = (float)(RandomInt(4) + 2);
  p->colour = PARTICLE_COLOURS[RandomInt(4)];
}

void MoveSuctionParticles(float cx, float cy, float coreRadius, bool draw) {
  for (SuctionParticle& p : suctionParticles) {
    if (p.active == 0) continue;
    float dx = cx - p.x, dy = cy - p.y;
    float r = std::max(1.0f, sqrtf(dx * dx + dy * dy));
    float ux = dx / r, uy = dy / r;
    float s = std::max(PULL, PULL * ((1.0f - r / 800.0f) * 4.0f + 1.0f));
    p.vx += r * ux * s * 0.015f;
    p.vy += r * uy * s * 0.015f;
    p.vx += -uy * SWIRL;
    p.vy += ux * SWIRL;
    float speed = sqrtf(p.vx * p.vx + p.vy * p.vy);
    if (speed > MAX_SPEED) {
      p.vx = p.vx / speed * MAX_SPEED;
      p.vy = p.vy / speed * MAX_SPEED;
    }
    p.x += p.vx;
    p.y += p.vy;
    p.life -= 1.0f;
    // Swallowed (r is the distance before this step) or burnt out: gone undrawn.
    if (r < coreRadius + 18.0f || p.life <= 0.0f) {
      p.active = 0;
      continue;
    }
    if (!draw) continue;
    int o = Nearest(p.life / p.maxLife * 255.0f);
    if (r < coreRadius + 90.0f) o = Nearest((r - coreRadius) / 90.0f * (float)o);
    o = std::clamp(o, 0, 255);
    int d = std::clamp(Nearest(p.size + (1.0f - r / 700.0f) * 3.0f), 1, 8);
    Colour c = (Colour)p.colour;
    int red = RedOf(c), green = GreenOf(c), blue = BlueOf(c);
    DrawLine(Nearest(p.x), Nearest(p.y), Nearest(-p.vx * 2.0f), Nearest(-p.vy * 2.0f),
             Rgba(red, green, blue, Nearest((float)o * 0.45f)));
    DrawCircle(Nearest(p.x), Nearest(p.y), d, Rgba(red, green, blue, o));
  }
}

void UpdateSuctionParticles(float cx, float cy, float coreRadius) {
  int64_t now = ElapsedMs();
  if (particlesReady == 0) ResetSuctionParticles();
  if (now - lastSpawnMs > SPAWN_INTERVAL_MS) {
    SpawnSuctionParticle(cx, cy);
    SpawnSuctionParticle(cx, cy);
    lastSpawnMs = now;
  }
  if (!BeginScreenDrawing()) {
    MoveSuctionParticles(cx, cy, coreRadius, false);
    return;
  }
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  MoveSuctionParticles(cx, cy, coreRadius, true);
  SetDrawingMode(DRAW_MODE_DEFAULT);
  EndScreenDrawing();
}

namespace {
void DrawHoleBackground() {
  SpriteId bg = BLACK_HOLE_BACKGROUND_SPRITE;
  if (!SpriteExists(bg)) return;
  int w = SpriteWidth(bg), h = SpriteHeight(bg);
  int area = (int)SceneHeight();
  int bw = std::max((int)screenWidth, Nearest((float)w * 1.04f));
  int bh = std::max(area, Nearest((float)h * 1.04f));
  SetSpriteSize(bg, bw, bh);
  DrawSpriteOpaque(bg, (float)(((int)screenWidth - bw) / 2), (float)((area - bh) / 2 + SCENE_TOP));
  SetSpriteSize(bg, w, h);
}

void DrawStreaks(float hx, float hy, float rx, float ry, float b, float f) {
  float fb = f * b;
  for (int64_t i = 0; i < STREAKS; i++) {
    float p = (float)i / (float)STREAKS + b * 0.065f * f;
    float q = p - (float)TruncToInt(p);
    if (q < 0.0f) q += 1.0f;
    float k = (1.0f - q) * (1.0f - q) * sqrtf(1.0f - q);
    float z = (float)i * GOLDEN_ANGLE + fb * 0.15f + q * 2.0f;
    float hx2 = hx + cosf(z) * rx * k, hy2 = hy + sinf(z) * ry * k;
    float tx = hx + rx * cosf(z - 0.22f) * (k + 0.09f);
    float ty = hy + ry * sinf(z - 0.22f) * (k + 0.09f);
    int a = Nearest((1.0f - k) * 80.0f + 28.0f);
    int w = Nearest(hx2 - tx), h = Nearest(hy2 - ty);
    DrawLine(Nearest(tx), Nearest(ty), w, h, Rgba(255, 0, 180, a));
    if (i % 2 == 0) DrawLine(Nearest(tx + 2.0f), Nearest(ty + 2.0f), w, h, Rgba(0, 255, 255, a / 2));
  }
}
}  // namespace

void DrawBlackHole() {
  float b = (float)EffectClockMs() * 0.001f;
  float f = CurrentSpeedFactor();
  float area = (float)SceneHeight();
  float hx = (float)SceneCentreX() + sinf(b * 1.1f) * 180.0f;
  float hy = (float)SceneCentreY() + cosf(b * 0.8f) * 270.0f;
  float rx = (float)screenWidth * 0.88f, ry = area * 0.74f;
  ClearSceneArea(0, 0, 0);
  DrawHoleBackground();
  if (BeginScreenDrawing()) {
    SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
    FillSceneArea(Rgba(0, 0, 0, 140));
    int x = Nearest(hx), y = Nearest(hy);
    DrawCircle(x, y, (int)GLOW_RADIUS + 25, Rgba(255, 0, 180, 45));
    DrawCircle(x, y, (int)GLOW_RADIUS - 30, Rgba(0, 255, 255, 28));
    DrawCircle(x, y, (int)CORE_RADIUS + 90, Rgba(0, 0, 0, 70));
    DrawCircle(x, y, (int)CORE_RADIUS + 55, Rgba(0, 0, 0, 110));
    DrawStreaks(hx, hy, rx, ry, b, f);
    SetDrawingMode(DRAW_MODE_DEFAULT);
    EndScreenDrawing();
  }
  UpdateSuctionParticles(hx, hy, (float)CORE_RADIUS);
}
