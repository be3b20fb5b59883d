// The billboard carousel's tuning and the placement of one ring picture.
#pragma once
#include <cstdint>

extern int64_t CAROUSEL_RING_SPRITE;    // billboard4.png
extern int64_t CAROUSEL_CENTRE_SPRITE;  // center_billboard.png
extern int64_t CAROUSEL_RING_COUNT;
extern float CAROUSEL_SPIN_RATE;        // radians per ms, times the speed factor
extern int64_t CAROUSEL_MIN_SIZE;

struct RingPicture {
  bool front;  // drawn after the centre picture
  float x, y;  // top-left
  int width, height, intensity;
};

// Ring picture i of this frame: ring angle a0, group centre (cx, cy), radii
// (rx, ry), breathing p, clock m in ms, native size of the ring sprite.
RingPicture PlaceRingPicture(int64_t i, float a0, float cx, float cy, float rx, float ry, float p,
                             float m, int w25, int h25);
