// Rotating block plasma: the tuning values and the painter shared by the blue
// and red variants.
#pragma once

extern float PLASMA_TURN;     // turn of the sampling grid, radians per unit of T
extern float PLASMA_BREATH;   // breathing rate, radians per unit of T
extern float PLASMA_STRETCH_U, PLASMA_STRETCH_V;

// Intensity of the plasma at block (x, y) for clock T and grid angle a.
int PlasmaIntensity(int x, int y, float T, float a);
// Paints the whole block grid into the current drawing output at clock T, the
// grid turned by turnSign x PLASMA_TURN x T; red picks the red colour mapping.
void PaintPlasma(float T, float turnSign, bool red);
