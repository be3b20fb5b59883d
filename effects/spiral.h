// The billboard spiral's tuning values and the two rules worth checking on
// their own: the spin direction of a clock value and the background's size.
#pragma once
#include <cstdint>

extern int64_t SPIRAL_SPRITE, SPIRAL_COUNT;
extern float SPIRAL_SPIN_RATE, SPIRAL_STEP;
extern int64_t SPIRAL_REVERSE, SPIRAL_DIRECTION, SPIRAL_REVERSE_PERIOD;
extern float SPIRAL_DRIFT_X, SPIRAL_DRIFT_Y, SPIRAL_RADIUS_X, SPIRAL_RADIUS_Y;
extern float SPIRAL_PULSE_RATE, SPIRAL_PULSE;
extern float SPIRAL_SCALE_NEAR, SPIRAL_SCALE_FAR;
extern int64_t SPIRAL_ALPHA_NEAR, SPIRAL_ALPHA_FAR;
extern int64_t SPIRAL_BACKGROUND, SPIRAL_BACKGROUND_SPRITE;
extern float SPIRAL_BG_ZOOM, SPIRAL_BG_ZOOM_SWING, SPIRAL_BG_ZOOM_RATE;

// 1: the angle decreases with time; 0: it increases. m is the clock in ms.
int64_t SpiralDirection(int64_t m);

// Background size for native size bw0 x bh0 at zoom z: each axis scaled and
// raised on its own to cover the scene area.
struct SpiralBackgroundSize {
  int width, height;
};
SpiralBackgroundSize SizeSpiralBackground(int bw0, int bh0, float z);
