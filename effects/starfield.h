// Rotating starfield with sliding picture: the star tables, the tuning values
// of the picture's slide, and the pieces of a frame that the tests drive.
#pragma once
#include <cstdint>

#include "effects/sliding_picture.h"

constexpr int STAR_COUNT = 400;
extern float StarX[STAR_COUNT], StarY[STAR_COUNT], StarZ[STAR_COUNT];

extern Slide STAR_SLIDE;  // starfield_image.png, gliding in from the right

// Advances every star one step at speed factor s and field angle a (radians);
// draws the cleared scene area and the stars when `draw` is set (the current
// drawing output must then be the frame).
void StepStarfield(float s, float a, bool draw);
// Left edge of the sliding picture at the current clock.
float SlidingPictureX();
