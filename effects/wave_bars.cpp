// Placeholder until this scene is written: it draws nothing yet.
#include "effects/effects.h"
#include "driver/driver.h"

void InitWaveBars() {}
void DrawWaveBars() {}
void DrawSlideInFromLeft() {}
