// The black hole's particle pool and tuning values, and the particle steps
// the scene runs each frame.
#pragma once
#include <cstdint>

constexpr int PARTICLE_COUNT = 130;

struct SuctionParticle {
  int64_t active;
  float x, y;
  float vx, vy;  // pixels per frame
  float life, maxLife;
  float size;
  int64_t colour;
};

extern SuctionParticle suctionParticles[PARTICLE_COUNT];
extern int64_t particlesReady;
extern int64_t lastSpawnMs;

extern int64_t SPAWN_INTERVAL_MS;
extern float PULL, SWIRL, MAX_SPEED;
extern int64_t CORE_RADIUS, GLOW_RADIUS, STREAKS;
extern float GOLDEN_ANGLE;
extern int64_t BLACK_HOLE_BACKGROUND_SPRITE;

void UpdateSuctionParticles(float cx, float cy, float coreRadius);
void SpawnSuctionParticle(float cx, float cy);
// Moves every live particle one step towards (cx, cy); removes those inside
// coreRadius + 18 or out of life; when draw is set, paints the others (trail
// and dot) into the current output, which must be in alpha-blend mode.
void MoveSuctionParticles(float cx, float cy, float coreRadius, bool draw);
int64_t LiveSuctionParticles();
