// Logo avalanche: the body pool, the jelly floor and the tuning values, and the
// steps of a frame that the tests drive one by one.
#pragma once
#include <cstdint>

constexpr int BODY_COUNT = 70;
constexpr int FLOOR_POINTS = 33;

struct AvalancheBody {
  int64_t active;
  float x, y;
  float vx, vy;
  float radius;
  int64_t sprite;
  float spin;
  float angle;
  int64_t asleep;
};

extern AvalancheBody bodies[BODY_COUNT];
extern float floorY[FLOOR_POINTS], floorVel[FLOOR_POINTS];
extern float floorRest;
extern int64_t bodiesReady, bodiesSpawned, lastBodySpawnMs;

extern int64_t BODY_SPAWN_MS;
extern float GRAVITY, AIR_DRAG, MAX_SPIN, SPIN_DRAG;
extern float FLOOR_KICK, FLOOR_BOUNCE, FLOOR_FRICTION;
extern float PUSH, PUSH_SPIN, FLOOR_SPRING, FLOOR_DAMP;
extern float WALL_BOUNCE, FLOOR_COUPLING;
extern int64_t AVALANCHE_SPRITES[3];  // billboard.png, billboard2.png, billboard3.png

void SpawnAvalancheBody();
// Ground line the bodies stand on.
float AvalancheGroundY();
// Gravity, drag, spin, walls and floor for every awake body.
void MoveAvalancheBodies();
// Overlap pushes between every pair of active bodies, sleeping ones included.
void PushAvalanchePairs();
// Springs, damping and neighbour coupling of the floor points.
void StepAvalancheFloor();
// The dark strip and the floor's double line, into the current output.
void PaintAvalancheFloor();
