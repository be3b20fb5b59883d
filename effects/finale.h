// Finale: the steam puff pool, the steam's on/off timing and its constants, and
// the steam operations the scene is built from.
#pragma once
#include <cstdint>

struct SteamPuff {
  int64_t active = 0;
  float x = 0, y = 0;
  float vx = 0, vy = 0;  // pixels per frame, y downwards
  float life = 0;        // frames left
  float maxLife = 0;     // frames at birth
  float size = 1.0f;     // radius in pixels
  float growth = 0;      // radius gained per frame
  float baseAlpha = 0;   // alpha at birth
};

extern int64_t STEAM_POOL;
extern SteamPuff steamPuffs[180];
extern int64_t steamReady, steamOn, steamToggleMs, lastPuffMs;

extern int64_t STEAM_ON_MS, STEAM_OFF_MS, STEAM_PUFF_MS;
extern float STEAM_DRAG, STEAM_LIFT, FINALE_SCALE;
extern float NOSTRIL_LEFT_X, NOSTRIL_RIGHT_X, NOSTRIL_Y;  // picture pixels

void EmitSteam(float x, float y, float scale);
void SpawnSteamPuff(float x, float y, int direction);
void UpdateSteam();
void ResetSteam();
