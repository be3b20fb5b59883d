// The bitmap font: measuring and drawing text glyph by glyph as tinted, blended
// sprites clipped out of the police20.png sheet.
#include "render/font.h"

#include <cmath>

const std::u16string FONT_CHARSET =
    u" !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~"
    u"\u00E9\u00E8-\u00E7\u00E0\u00F9\u00EA";

SpriteId fontSprite = -1;
int64_t fontReady = 0;
std::string fontPath;

namespace {
void TakeFontSprite(SpriteId id) {
  if (id) {
    fontSprite = id;
    fontReady = 1;
  } else {
    fontSprite = -1;
    fontReady = 0;
  }
}
}  // namespace

void LoadFontSprite() {
  if (fontReady == 1) return;
  TakeFontSprite(LoadSpriteFile(-1, fontPath, SPRITE_KEEP_ALPHA));
}

void LoadFontSpriteBytes(const uint8_t* bytes, size_t size) {
  if (fontReady == 1) return;
  TakeFontSprite(LoadSpriteBytes(-1, bytes, size, SPRITE_KEEP_ALPHA));
}

int FontCell(char16_t c) {
  size_t i = FONT_CHARSET.find(c);
  return i == std::u16string::npos ? -1 : (int)i;
}

int64_t MeasureFontText(const std::u16string& text, float scale) {
  return (int64_t)std::nearbyint((float)text.size() * (float)GLYPH_ADVANCE * scale);
}

int DrawFontText(const std::u16string& text, float x, float y, Colour colour, int intensity, float scale) {
  float penX = x, penY = y;
  int cw = (int)std::nearbyint((float)GLYPH_CELL_WIDTH * scale);
  int ch = (int)std::nearbyint((float)GLYPH_CELL_HEIGHT * scale);
  if (cw < 1) cw = 1;
  if (ch < 1) ch = 1;
  if (fontReady == 0) LoadFontSprite();
  if (fontReady == 0 || fontSprite < 0) return 0;
  int fullW = SpriteWidth(fontSprite);
  int fullH = SpriteHeight(fontSprite);
  for (char16_t c : text) {
    if (c == u'\n') {
      penX = x;
      penY = penY + (float)LINE_ADVANCE * scale;
      continue;
    }
    if (c == u'\r') continue;
    int i = FontCell(c);
    if (i >= 0) {
      ClipSprite(fontSprite, GLYPH_CELL_WIDTH * (i % GLYPHS_PER_ROW), GLYPH_CELL_HEIGHT * (i / GLYPHS_PER_ROW),
                 GLYPH_CELL_WIDTH, GLYPH_CELL_HEIGHT);
      if (scale != 1.0f) SetSpriteSize(fontSprite, cw, ch);
      DrawSpriteBlended(fontSprite, penX, penY, intensity, (int64_t)colour);
      if (scale != 1.0f) SetSpriteSize(fontSprite, fullW, fullH);
    }
    penX = penX + (float)GLYPH_ADVANCE * scale;
  }
  ClipSprite(fontSprite, 0, 0, fullW, fullH);
  return 0;
}
