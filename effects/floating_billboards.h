// Floating billboards on sine waves: the tuning values start-up gives the scene.
#pragma once
#include <cstdint>
#include "render/colour.h"

extern int64_t FLOAT_SPRITE;         // the picture of every copy
extern int64_t FLOAT_COPIES;         // billboards in the row
extern int64_t FLOAT_WAVE_LINES;     // cyan sine waves behind them
extern int64_t FLOAT_SEGMENT_WIDTH;  // horizontal step of the wave polylines
extern Colour FLOAT_WAVE_COLOUR;
