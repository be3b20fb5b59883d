// Logo avalanche: billboard pictures rain into the scene area and pile up with
// fake physics on a jelly floor. Owns the 70-body pool and the floor, which the
// scene switch resets each time the row is entered.
#include "effects/avalanche.h"

#include <algorithm>
#include <cmath>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "effects/effects.h"
#include "effects/nearest.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/sprite.h"

AvalancheBody bodies[BODY_COUNT];
float floorY[FLOOR_POINTS], floorVel[FLOOR_POINTS];
float floorRest;
int64_t bodiesReady, bodiesSpawned, lastBodySpawnMs;

int64_t BODY_SPAWN_MS;
float GRAVITY, AIR_DRAG, MAX_SPIN, SPIN_DRAG;
float FLOOR_KICK, FLOOR_BOUNCE, FLOOR_FRICTION;
float PUSH, PUSH_SPIN, FLOOR_SPRING, FLOOR_DAMP;
float WALL_BOUNCE, FLOOR_COUPLING;
int64_t AVALANCHE_SPRITES[3];

void InitAvalanche() {
  for (AvalancheBody& b : bodies) b = AvalancheBody{};
  for (int k = 0; k < FLOOR_POINTS; k++) floorY[k] = floorVel[k] = 0.0f;
  floorRest = 0.0f;
  bodiesReady = 0;
  bodiesSpawned = 0;
  lastBodySpawnMs = 0;
  BODY_SPAWN_MS = 175;
  GRAVITY = 0.9f;
  AIR_DRAG = 0.998f;
  MAX_SPIN = 6.0f;
  SPIN_DRAG = 0.965f;
  FLOOR_KICK = 0.42f;
  FLOOR_BOUNCE = 0.2f;
  FLOOR_FRICTION = 0.185f;
  PUSH = 0.58f;
  PUSH_SPIN = 0.04f;
  FLOOR_SPRING = 0.095f;
  FLOOR_DAMP = 0.85f;
  WALL_BOUNCE = 0.75f;
  FLOOR_COUPLING = 0.035f;
  AVALANCHE_SPRITES[0] = 20;
  AVALANCHE_SPRITES[1] = 21;
  AVALANCHE_SPRITES[2] = 23;
}

void ResetAvalanche() {
  for (AvalancheBody& b : bodies) {
    b = AvalancheBody{};
    b.radius = 32.0f;
    b.sprite = AVALANCHE_SPRITES[0];
  }
  floorRest = (float)(screenHeight - 235);
  for (int k = 0; k < FLOOR_POINTS; k++) {
    floorY[k] = floorRest;
    floorVel[k] = 0.0f;
  }
  lastBodySpawnMs = ElapsedMs();
  bodiesSpawned = 0;
  bodiesReady = 1;
}

void SpawnAvalancheBody() {
  AvalancheBody* b = std::find_if(bodies, bodies + BODY_COUNT, [](const AvalancheBody& r) { return r.active == 0; });
  if (b == bodies + BODY_COUNT) return;
  int64_t sprite = AVALANCHE_SPRITES[RandomInt(2)];
  if (!SpriteExists(sprite)) sprite = AVALANCHE_SPRITES[0];
  b->sprite = sprite;
  b->radius = (float)(SpriteWidth(sprite) + SpriteHeight(sprite)) * 0.2f;
  b->active = 1;
  b->asleep = 0;
  b->x = (float)(RandomInt(screenWidth - 160) + 80);
  b->y = (float)SCENE_TOP - b->radius - (float)RandomInt(180);
  b->vx = (float)(RandomInt(120) - 60) / 35.0f;
  b->vy = (float)RandomInt(30) / 40.0f;
  b->angle = (float)RandomInt(360);
  b->spin = (float)(RandomInt(100) - 50) / 12.0f;
  bodiesSpawned += 1;
}

float AvalancheGroundY() { return (float)(screenHeight - 245); }

namespace {
float PointSpacing() { return (float)screenWidth / 32.0f; }

void BounceOffWalls(AvalancheBody& b) {
  const float W = (float)screenWidth;
  if (b.x - b.radius < 0.0f) {
    b.x = b.radius;
    b.vx = -b.vx * WALL_BOUNCE;
    b.spin = -b.spin * WALL_BOUNCE;
  }
  if (b.x + b.radius > W) {
    b.x = W - b.radius;
    b.vx = -b.vx * WALL_BOUNCE;
    b.spin = -b.spin * WALL_BOUNCE;
  }
}

void LandOnFloor(AvalancheBody& b, float groundY) {
  if (b.y + b.radius <= groundY) return;
  const int s = std::clamp(Nearest(b.x / PointSpacing()), 0, FLOOR_POINTS - 1);
  floorVel[s] += b.vy * FLOOR_KICK;
  b.y = groundY - b.radius;
  b.vy = -b.vy * FLOOR_BOUNCE;
  b.vx *= FLOOR_FRICTION;
  b.spin *= FLOOR_FRICTION;
  if (std::fabs(b.vy) < 0.45f && std::fabs(b.vx) < 0.2f) {
    b.vy = 0.0f;
    b.vx *= 0.75f;
    b.spin *= 0.7f;
    if (std::fabs(b.vx) < 0.05f) {
      b.vx = 0.0f;
      b.spin = 0.0f;
      b.asleep = 1;
    }
  }
}
}  // namespace

void MoveAvalancheBodies() {
  const float groundY = AvalancheGroundY();
  for (AvalancheBody& b : bodies) {
    if (b.active == 0 || b.asleep != 0) continue;
    b.vy += GRAVITY;
    b.vx *= AIR_DRAG;
    b.vy *= AIR_DRAG;
    b.x += b.vx;
    b.y += b.vy;
    b.spin = std::clamp(b.spin, -MAX_SPIN, MAX_SPIN);
    b.spin *= SPIN_DRAG;
    b.angle += b.spin;
    BounceOffWalls(b);
    LandOnFloor(b, groundY);
  }
}

void PushAvalanchePairs() {
  for (int j = 0; j < BODY_COUNT - 1; j++) {
    AvalancheBody& a = bodies[j];
    if (a.active == 0) continue;
    for (int k = j + 1; k < BODY_COUNT; k++) {
      AvalancheBody& b = bodies[k];
      if (b.active == 0) continue;
      const float dx = b.x - a.x, dy = b.y - a.y;
      const float d = std::sqrt(dx * dx + dy * dy);
      const float reach = a.radius + b.radius;
      if (!(d > 0.01f && d < reach)) continue;
      const float nx = dx / d, ny = dy / d, overlap = reach - d;
      const float half = overlap * 0.5f;
      a.x -= nx * half;
      a.y -= ny * half;
      b.x += nx * half;
      b.y += ny * half;
      a.asleep = 0;
      b.asleep = 0;
      const float p = overlap * PUSH;
      a.vx -= nx * p;
      a.vy -= ny * p;
      b.vx += nx * p;
      b.vy += ny * p;
      a.spin -= p * PUSH_SPIN;
      b.spin += p * PUSH_SPIN;
    }
  }
}

void StepAvalancheFloor() {
  for (int k = 0; k < FLOOR_POINTS; k++) {
    floorVel[k] += (floorRest - floorY[k]) * FLOOR_SPRING;
    floorVel[k] *= FLOOR_DAMP;
    floorY[k] += floorVel[k];
  }
  for (int k = 1; k < FLOOR_POINTS - 1; k++)
    floorVel[k] += ((floorY[k - 1] + floorY[k + 1]) / 2.0f - floorY[k]) * FLOOR_COUPLING;
}

void PaintAvalancheFloor() {
  const float W = (float)screenWidth;
  const float groundY = AvalancheGroundY();
  DrawBox(0, Nearest(groundY), (int)screenWidth,
          Nearest((float)screenHeight - groundY - (float)BAND_HEIGHT), Rgb(10, 10, 18));
  const int sw = Nearest(W / 32.0f + 2.0f);
  for (int m = 0; m < FLOOR_POINTS - 1; m++) {
    const int sx = Nearest((float)m * W / 32.0f);
    const int dh = Nearest(floorY[m + 1] - floorY[m]);
    DrawLine(sx, Nearest(floorY[m]), sw, dh, Rgb(0, 255, 255));
    DrawLine(sx, Nearest(floorY[m] + 3.0f), sw, dh, Rgb(255, 0, 180));
  }
}

namespace {
void ResetAvalancheRotations() {
  for (int64_t id : AVALANCHE_SPRITES) SetSpriteRotation(id, 0.0f, ROTATION_ABSOLUTE);
}
}  // namespace

void DrawLogoAvalanche() {
  ResetAvalancheRotations();
  ClearSceneArea(0, 0, 0);
  if (bodiesReady == 0) ResetAvalanche();
  if (bodiesSpawned < BODY_COUNT && ElapsedMs() - lastBodySpawnMs > BODY_SPAWN_MS) {
    SpawnAvalancheBody();
    lastBodySpawnMs = ElapsedMs();
  }
  MoveAvalancheBodies();
  PushAvalanchePairs();
  StepAvalancheFloor();
  if (BeginScreenDrawing()) {
    PaintAvalancheFloor();
    EndScreenDrawing();
  }
  for (const AvalancheBody& b : bodies) {
    if (b.active == 0 || !SpriteExists(b.sprite)) continue;
    SetSpriteRotation(b.sprite, b.angle, ROTATION_ABSOLUTE);
    DrawSpriteBlended(b.sprite, b.x - (float)SpriteWidth(b.sprite) / 2.0f, b.y - (float)SpriteHeight(b.sprite) / 2.0f,
                      235);
  }
  // The billboards are shared with other scenes: leave them unrotated.
  ResetAvalancheRotations();
}
