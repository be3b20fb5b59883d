// Wave bars with sliding picture: the tuning values of the slide, and where the
// picture stands at the current clock.
#pragma once
#include <cstdint>

extern int64_t SLIDE_SPRITE;     // twister_image.png
extern float SLIDE_RATE;         // progress per millisecond of the scene clock
extern float SLIDE_FROM, SLIDE_TO;  // start and rest of the left edge, in screen widths
extern float SLIDE_CENTRE;       // vertical centre, as a fraction of the scene area
extern int64_t SLIDE_INTENSITY;

// Left edge of the sliding picture at the current clock.
float SlideInX();
