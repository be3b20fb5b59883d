// The effects as the driver sees them: every scene's operations and the table
// that names, for each effect number, its start values, its scene-entry reset
// and its frame operations. Start-up, EnterScene and the main loop read the
// table; adding an effect is its file, its declarations and one row here.
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
// Glitching text (the title word over effect 1, and in the finale); it keeps
// no state, so no row names InitGlitchText
void InitGlitchText();
void DrawGlitchWord(const std::u16string& text, int64_t row);
void DrawTitleWord();
// Fake equalizer (effect 13)
void InitEqualizer();
void DrawFakeEqualizer();
// Block rotozoom (effect 7)
void InitRotozoom();
void DrawRotozoom();
// Ribbon twisters over a sliding picture (effect 11)
void InitTwisters();
void DrawRibbonTwisters();
// Logo avalanche (effect 14)
void InitAvalanche();
void ResetAvalanche();
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
// Black hole suction (effect 10)
void InitBlackHole();
void ResetSuctionParticles();
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

// One effect number's row. Rows that share a module name the same start
// function; start-up runs each start function once.
struct EffectRow {
  int64_t number;
  void (*start)();     // start values of the effect's globals
  void (*enter)();     // reset when a timeline row with this effect is entered, or none
  void (*draw)();      // the frame operation
  void (*drawOver)();  // a second operation drawn over the first, or none
  bool bands;          // false: the header and scroller bands stay plain black
};

inline constexpr EffectRow EFFECTS[] = {
    {0, InitStarfield, nullptr, DrawStarfield, DrawSlidingPicture, true},
    {1, InitPlasma, nullptr, DrawBluePlasma, DrawTitleWord, true},
    {2, InitCarousel, nullptr, DrawBillboardCarousel, nullptr, true},
    {3, InitSpiral, nullptr, DrawBillboardSpiral, nullptr, true},
    {4, InitBillboardWave, nullptr, DrawBillboardWave, nullptr, true},
    {5, InitKickRings, nullptr, DrawKickRings, nullptr, true},
    {6, InitSpriteRain, nullptr, DrawSpriteRain, nullptr, true},
    {7, InitRotozoom, nullptr, DrawRotozoom, nullptr, true},
    {8, InitWaveBars, nullptr, DrawWaveBars, DrawSlideInFromLeft, true},
    {9, InitCopperBars, nullptr, DrawSegmentedBars, nullptr, true},
    {10, InitBlackHole, ResetSuctionParticles, DrawBlackHole, nullptr, true},
    {11, InitTwisters, nullptr, DrawRibbonTwisters, nullptr, true},
    {13, InitEqualizer, nullptr, DrawFakeEqualizer, nullptr, true},
    {14, InitAvalanche, ResetAvalanche, DrawLogoAvalanche, nullptr, true},
    {15, InitPlasma, nullptr, DrawRedPlasma, nullptr, true},
    {17, InitFloatingBillboards, nullptr, DrawFloatingBillboards, nullptr, true},
    {18, InitFinale, nullptr, DrawFinale, nullptr, false},
    {19, InitBillboardWave, ResetBlinkingBillboards, DrawBlinkingBillboardWave, nullptr, true},
};

// The row of an effect number; none for a number without one (it draws nothing).
const EffectRow* FindEffect(int64_t number);
// Runs every row's start function once, in table order.
void InitAllEffects();
