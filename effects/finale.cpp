// Finale: the big cow head in the middle of a black screen, jets of steam from
// its nostrils in bursts of four and a half seconds on and four off, and
// "Thanks for watching" as glitching text below. Owns the steam pool (finale.h).
#include "effects/finale.h"

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

int64_t STEAM_POOL;
SteamPuff steamPuffs[180];
int64_t steamReady, steamOn, steamToggleMs, lastPuffMs;
int64_t STEAM_ON_MS, STEAM_OFF_MS, STEAM_PUFF_MS;
float STEAM_DRAG, STEAM_LIFT, FINALE_SCALE;
float NOSTRIL_LEFT_X, NOSTRIL_RIGHT_X, NOSTRIL_Y;

namespace {
constexpr SpriteId COW = 21;

}  // namespace

void InitFinale() {
  STEAM_POOL = 180;
  for (SteamPuff& puff : steamPuffs) puff = SteamPuff{};
  steamReady = 0;
  steamOn = 1;
  steamToggleMs = 0;
  lastPuffMs = 0;
  STEAM_ON_MS = 4500;
  STEAM_OFF_MS = 4000;
  STEAM_PUFF_MS = 24;
  STEAM_DRAG = 0.985f;
  STEAM_LIFT = -0.032f;
  FINALE_SCALE = 1.5f;
  NOSTRIL_LEFT_X = 90.0f;
  NOSTRIL_RIGHT_X = 175.0f;
  NOSTRIL_Y = 145.0f;
}

void ResetSteam() {
  for (SteamPuff& puff : steamPuffs) puff = SteamPuff{};
  steamReady = 1;
  steamToggleMs = ElapsedMs();
  steamOn = 1;
  lastPuffMs = ElapsedMs();
}

void SpawnSteamPuff(float x, float y, int direction) {
  for (int64_t i = 0; i < STEAM_POOL; i++) {
    SteamPuff& puff = steamPuffs[i];
    if (puff.active != 0) continue;
    puff.active = 1;
    puff.x = x + (float)(RandomInt(8) - 4);
    puff.y = y + (float)(RandomInt(6) - 3);
    puff.vx = (float)direction * ((float)RandomInt(60) / 200.0f + 0.45f);
    puff.vy = 6.2f - (float)RandomInt(90) / 200.0f;
    puff.maxLife = (float)(RandomInt(45) + 25);
    puff.life = puff.maxLife;
    puff.size = (float)(RandomInt(4) + 3);
    puff.growth = (float)RandomInt(10) / 100.0f + 0.08f;
    puff.baseAlpha = (float)(RandomInt(70) + 100);
    return;
  }
}

void EmitSteam(float x, float y, float scale) {
  int64_t now = ElapsedMs();
  float leftX = x + NOSTRIL_LEFT_X * scale, rightX = x + NOSTRIL_RIGHT_X * scale;
  float noseY = y + NOSTRIL_Y * scale;
  int64_t d = now - steamToggleMs;
  if (steamOn == 1 && d >= STEAM_ON_MS) {
    steamOn = 0;
    steamToggleMs = now;
  } else if (steamOn == 0 && d >= STEAM_OFF_MS) {
    steamOn = 1;
    steamToggleMs = now;
  }
  if (steamOn == 0) return;
  if (now - lastPuffMs > STEAM_PUFF_MS) {
    SpawnSteamPuff(leftX, noseY, -1);
    SpawnSteamPuff(leftX, noseY, -1);
    SpawnSteamPuff(rightX, noseY, +1);
    SpawnSteamPuff(rightX, noseY, +1);
    lastPuffMs = now;
  }
}

void UpdateSteam() {
  if (steamReady == 0) ResetSteam();
  // The puffs move and age even on a frame that cannot be drawn on.
  bool drawing = BeginScreenDrawing() != 0;
  if (drawing) SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  for (int64_t i = 0; i < STEAM_POOL; i++) {
    SteamPuff& puff = steamPuffs[i];
    if (puff.active != 1) continue;
    puff.vx = puff.vx * STEAM_DRAG;
    puff.vy = puff.vy * STEAM_DRAG + STEAM_LIFT;
    puff.x = puff.x + puff.vx;
    puff.y = puff.y + puff.vy;
    puff.size = puff.size + puff.growth;
    puff.life = puff.life - 1.0f;
    if (puff.life <= 0.0f) {
      puff.active = 0;
      continue;
    }
    if (!drawing) continue;
    int a = std::clamp(Nearest(puff.baseAlpha * puff.life / puff.maxLife), 0, 255);
    int r = std::max(Nearest(puff.size), 1);
    int px = Nearest(puff.x), py = Nearest(puff.y);
    DrawCircle(px, py, r + 2, Rgba(80, 80, 90, Nearest((float)a * 0.35f)));
    DrawCircle(px, py, r, Rgba(210, 220, 230, a));
  }
  if (drawing) {
    SetDrawingMode(DRAW_MODE_DEFAULT);
    EndScreenDrawing();
  }
}

void DrawFinale() {
  if (BeginScreenDrawing()) {
    DrawBox(0, 0, (int)screenWidth, (int)screenHeight, Rgb(0, 0, 0));
    EndScreenDrawing();
  }
  int w21 = NativeSpriteWidth(COW), h21 = NativeSpriteHeight(COW);
  int bw = Nearest((float)w21 * FINALE_SCALE), bh = Nearest((float)h21 * FINALE_SCALE);
  float x = (float)screenWidth / 2.0f - (float)bw / 2.0f;
  float y = (float)SceneHeight() / 2.0f - (float)bh / 2.0f + (float)SCENE_TOP;
  if (SpriteExists(COW)) {
    SetSpriteSize(COW, bw, bh);
    DrawSpriteBlended(COW, x, y, 255);
    SetSpriteSize(COW, w21, h21);
  }
  EmitSteam(x, y, FINALE_SCALE);
  UpdateSteam();
  DrawGlitchWord(u"Thanks for watching", Nearest(y + (float)bh + 35.0f));
}
