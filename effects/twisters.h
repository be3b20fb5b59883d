// Ribbon twisters: the tuning values, and the pieces of a frame that the tests
// drive.
#pragma once
#include <cstdint>

#include "effects/sliding_picture.h"

extern float TWIST_TIME_RATE;
extern int64_t TWISTER_COUNT;
extern float TWISTER_SPACING, TWISTER_PHASE_STEP, TWISTER_SWING;
extern float TWISTER_MIN_WIDTH, TWISTER_WIDTH, TWIST_BASE;
extern Slide SIDE_SLIDE;  // sideimage.png, gliding in from the left

// One 2-pixel slice at row y: centre sx, facing t = |cos| (0 edge-on, 1
// face-on), breathing width wb. Paints outline, body and sheen.
void PaintTwisterSlice(float sx, float t, float wb, int y);
// All ribbons at clock c into the current output.
void PaintRibbons(float c);
// Left edge of the side picture at the current clock.
float SidePictureX();
