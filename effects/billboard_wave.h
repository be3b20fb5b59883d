// State of the billboard sine wave's blinking variant, and the picture choice
// it makes at the start of each frame.
#pragma once
#include <cstdint>

extern int64_t BlinkSprite;
extern int64_t BlinkLastFlipMs;
extern int64_t BlinkIntervalMs;
extern int64_t BlinkSettled;
extern int64_t BLINK_SPEEDUP_MS;
extern int64_t BLINK_MIN_INTERVAL_MS;

// Tuning of the wave itself.
extern int64_t WAVE_SPRITE;         // picture of the plain wave
extern int64_t BLINK_SPRITE_FIRST;  // the picture the blinking starts and settles on
extern int64_t BLINK_SPRITE_SECOND;
extern int64_t WAVE_COPIES;
extern int64_t WAVE_INTENSITY;

// Advances the blink by this frame's clock and returns the sprite to draw.
int64_t ChooseBlinkSprite();
