// A picture that glides in along x over the scene clock, eased out, and parks,
// centred on a line of the scene area: the starfield's picture, the wave bars'
// and the twisters' side picture. Each scene owns its own Slide values.
#pragma once
#include <cstdint>

struct Slide {
  int64_t sprite;
  float rate;      // progress per millisecond of the scene clock
  float from, to;  // left edge at the start and at rest, in screen widths
  float centre;    // vertical centre, as a fraction of the scene area
  int64_t intensity;
};

// Left edge at the current clock; a clock behind the scene start keeps the
// picture at its start.
float SlideLeftEdge(const Slide& slide);
// Draws the picture blended at its place; nothing when the sprite is missing.
void DrawSlide(const Slide& slide);
