// Segmented copper bars: tuning values and the painting of one frame into the
// current drawing output at bar phase e.
#pragma once
#include <cstdint>

extern int64_t BAR_COUNT, SEGMENT_STEP, SEGMENT_WIDTH, BAR_HEIGHT_BASE;
extern float RIPPLE;
extern int64_t GLOW_LINES, GLOW_HEIGHT;
extern float BAR_PHASE_RATE;  // phase per ms of the clock, times the speed factor

void PaintSegmentedBars(float e);
