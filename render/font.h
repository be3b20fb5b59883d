// The demo's bitmap font: police20.png, 17 x 6 cells of 32 x 32 glyphs, drawn as
// tinted, blended sprites clipped out of the sheet.
#pragma once
#include <cstdint>
#include <string>
#include "render/colour.h"
#include "render/sprite.h"

constexpr int GLYPH_CELL_WIDTH = 32;
constexpr int GLYPH_CELL_HEIGHT = 32;
constexpr int GLYPHS_PER_ROW = 17;
constexpr int GLYPH_ADVANCE = 22;
constexpr int LINE_ADVANCE = 32;
extern const std::u16string FONT_CHARSET;

extern SpriteId fontSprite;  // -1 until loaded
extern int64_t fontReady;    // 1 once loaded
extern std::string fontPath; // where LoadFontSprite finds police20.png

void LoadFontSprite();
// The same from the sheet's PNG bytes in memory.
void LoadFontSpriteBytes(const uint8_t* bytes, size_t size);
int64_t MeasureFontText(const std::u16string& text, float scale);
int DrawFontText(const std::u16string& text, float x, float y, Colour colour, int intensity, float scale);
// Cell index of a character, or -1 when the sheet has no glyph for it.
int FontCell(char16_t c);
