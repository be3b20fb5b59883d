// Kick rings and pulse sprite orbit: the state the scene keeps between frames,
// and its tuning values.
#pragma once
#include <cstdint>

extern int64_t lastSecond;   // whole-second count of the previous frame
extern int64_t quarterTurn;  // 0..3; the flash points at quarterTurn x 90 degrees

extern int64_t RING_COUNT, RING_SPACING, ORBIT_SPRITES;
extern float ORBIT_RX_MIN, ORBIT_RX_MAX, ORBIT_RY_MIN, ORBIT_RY_MAX;
extern float BREATH_RATE, SECOND_LEN, FLASH_WINDOW, SECTOR_PI, FLASH_GROW;
extern float FLASH_PUSH_X, FLASH_PUSH_Y, SPLIT_BASE, SCALE_BASE, SCALE_KICK;

// Advances quarterTurn once whenever the whole-second count of clock a changes;
// returns that count.
int64_t AdvanceKickSecond(float a);
// Flash strength at clock a for the second s: 1 at the start, decaying to 0.
float KickFlash(float a, int64_t s);

// The scene's clock a: the effect clock in units of 2000 ms.
float KickClock();
// Angle of orbit sprite j at clock a and speed factor f, in radians.
float OrbitAngle(float a, float f, int64_t j);
// An angle difference brought into [-pi, pi] by whole turns; adds the number of
// turns taken off one by one to *steps when steps is not null.
float WrapAngle(float d, int64_t* steps);
