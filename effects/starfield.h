// Rotating starfield with sliding picture: the star tables, the tuning values
// of the picture's slide, and the pieces of a frame that the tests drive.
#pragma once
#include <cstdint>

constexpr int STAR_COUNT = 400;
extern float StarX[STAR_COUNT], StarY[STAR_COUNT], StarZ[STAR_COUNT];

extern int64_t STAR_PICTURE;        // starfield_image.png
extern float STAR_SLIDE_RATE;       // progress per millisecond of the scene clock
extern float STAR_SLIDE_FROM;       // left edge at the start, in screen widths
extern float STAR_SLIDE_TO;         // left edge at rest, in screen widths
extern float STAR_SLIDE_CENTRE;     // vertical centre, as a fraction of the scene area

// Advances every star one step at speed factor s and field angle a (radians);
// draws the cleared scene area and the stars when `draw` is set (the current
// drawing output must then be the frame).
void StepStarfield(float s, float a, bool draw);
// Left edge of the sliding picture at the current clock.
float SlidingPictureX();
