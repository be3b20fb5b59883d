// Fake equalizer: the band levels and targets that persist between frames, the
// layout constants, and the pieces of a frame that the tests drive.
#pragma once
#include <cstdint>

#include "render/colour.h"

constexpr int EQ_BANDS = 16;
extern float eqLevel[EQ_BANDS];
extern float eqTarget[EQ_BANDS];
extern int64_t eqLastUpdateMs;

extern int64_t EQ_BAR_WIDTH, EQ_GAP, EQ_UPDATE_MS;
extern float EQ_SMOOTH;

struct EqLayout {
  int left;  // x of band 0
  int maxH;  // bar height at level 1
  int base;  // baseline the bars stand on
};
EqLayout EqualizerLayout();
// Bar colour for a displayed level.
Colour EqualizerColour(float level);
// New targets from the sine pattern at t and fresh noise, when more than
// EQ_UPDATE_MS have passed since the last update; true when it updated.
bool UpdateEqualizerTargets(float t);
// Moves every bar's level one step towards its target.
void GlideEqualizerBars();
// Paints the floor line and the bars at their levels into the current output.
void PaintEqualizerBars();
