// Wave bars with sliding picture: the tuning values of the slide, and where the
// picture stands at the current clock.
#pragma once
#include <cstdint>

#include "effects/sliding_picture.h"

extern Slide WAVE_BARS_SLIDE;  // twister_image.png, gliding in from the left

// Left edge of the sliding picture at the current clock.
float SlideInX();
