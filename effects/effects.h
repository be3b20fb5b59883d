// Every scene's operations, as the main loop's dispatch calls them, and the
// start-value functions that start-up runs once for each effect's globals.
#pragma once
#include <cstdint>
#include <string>

// Rotating starfield with sliding picture (effect 0)
void InitStarfield();
void SeedStarfield();
void DrawStarfield();
void DrawSlidingPicture();
// Rotating block plasma (effects 1 and 15)
void InitPlasma();
void DrawBluePlasma();
void DrawRedPlasma();
// Glitching text (over effect 1, and in the finale)
void InitGlitchText();
void DrawGlitchWord(const std::u16string& text, int64_t row);
// Fake equalizer (effect 13)
void InitEqualizer();
void DrawFakeEqualizer();
// Block rotozoom (effect 7)
void InitRotozoom();
void DrawRotozoom();
// Ribbon twisters over a sliding picture (effect 11)
void InitTwisters();
void DrawRibbonTwisters();
// Logo avalanche (effect 14); ResetAvalanche is declared in driver/driver.h
void InitAvalanche();
void DrawLogoAvalanche();
// Billboard sine wave and its blinking variant (effects 4 and 19)
void InitBillboardWave();
void DrawBillboardWave();
void DrawBlinkingBillboardWave();
void ResetBlinkingBillboards();
// Billboard carousel (effect 2)
void InitCarousel();
void DrawBillboardCarousel();
// Billboard spiral with auto-reverse (effect 3)
void InitSpiral();
void DrawBillboardSpiral();
// Segmented copper bars (effect 9)
void InitCopperBars();
void DrawSegmentedBars();
// Black hole suction (effect 10); ResetSuctionParticles is in driver/driver.h
void InitBlackHole();
void DrawBlackHole();
// Kick rings and pulse sprite orbit (effect 5)
void InitKickRings();
void DrawKickRings();
// Floating billboards on sine waves (effect 17)
void InitFloatingBillboards();
void DrawFloatingBillboards();
// Wave bars with sliding picture (effect 8)
void InitWaveBars();
void DrawWaveBars();
void DrawSlideInFromLeft();
// Sprite rain (effect 6)
void InitSpriteRain();
void DrawSpriteRain();
// Finale: steaming cow and closing words (effect 18)
void InitFinale();
void DrawFinale();

// Runs every Init* above, in the order above.
void InitAllEffects();
