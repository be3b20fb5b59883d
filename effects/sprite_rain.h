// Sprite rain: the drop tables, their ready flag and the tuning values.
#pragma once
#include <cstdint>

extern int64_t RAIN_DROPS;  // 148, the size of every drop table
extern float dropX[148], dropY[148], dropSpeed[148], dropPhase[148];
extern float dropScaleTop[148], dropScaleBottom[148];
extern int64_t dropSprite[148];
extern int64_t rainReady;

extern float RAIN_SPEED_MIN, RAIN_SPEED_MAX, RAIN_SCALE_TOP, RAIN_SCALE_BOTTOM;
extern float RAIN_SWAY_RATE, RAIN_SWAY;

// Depth of a drop centred at y: 0 at the top of the scene area, 1 at its bottom.
float RainDepth(float y);
// Drawn scale of drop i at depth u, and the intensity at that depth.
float RainScale(int64_t i, float u);
int RainIntensity(float u);
