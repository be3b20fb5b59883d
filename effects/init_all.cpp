// Start values of every effect's globals, set once by start-up.
#include "effects/effects.h"

void InitAllEffects() {
  InitStarfield();
  InitPlasma();
  InitGlitchText();
  InitEqualizer();
  InitRotozoom();
  InitTwisters();
  InitAvalanche();
  InitBillboardWave();
  InitCarousel();
  InitSpiral();
  InitCopperBars();
  InitBlackHole();
  InitKickRings();
  InitFloatingBillboards();
  InitWaveBars();
  InitSpriteRain();
  InitFinale();
}
