// The glitching text: one centred line in the bitmap font as a jittering
// magenta / cyan / white split, with random bursts and rare white flashes.
#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "render/font.h"

namespace {
const Colour GLITCH_MAGENTA = Rgb(255, 0, 180);
const Colour GLITCH_CYAN = Rgb(0, 255, 255);
const Colour GLITCH_WHITE = Rgb(255, 255, 255);

void Layer(const std::u16string& text, float x, float y, Colour colour) {
  DrawFontText(text, x, y, colour, 255, 1.0f);
}
}  // namespace

// The glitch keeps no state from one call to the next.
void InitGlitchText() {}

// The title word over the blue plasma.
void DrawTitleWord() { DrawGlitchWord(u"ZYNTRAX", 450); }

void DrawGlitchWord(const std::u16string& text, int64_t y) {
  int64_t x0 = (screenWidth - MeasureFontText(text, 1.0f)) / 2;
  int64_t dx = RandomInt(4) - 2;
  int64_t dy = RandomInt(2) - 1;
  Layer(text, (float)(x0 + dx - 3), (float)(y + dy), GLITCH_MAGENTA);
  Layer(text, (float)(x0 + dx + 3), (float)(y + dy), GLITCH_CYAN);
  Layer(text, (float)(x0 + dx), (float)(y + dy), GLITCH_WHITE);
  if (RandomInt(100) > 72) {
    for (int i = 0; i < 5; i++) {
      int64_t gy = y + RandomInt(42);
      int64_t off = RandomInt(36) - 18;
      Layer(text, (float)(x0 + off), (float)gy, GLITCH_CYAN);
      Layer(text, (float)x0 - (float)off / 2.0f, (float)(gy + 1), GLITCH_MAGENTA);
    }
  }
  if (RandomInt(100) > 94) {
    int64_t ry = RandomInt(4);
    int64_t rx = RandomInt(8);
    Layer(text, (float)(x0 + rx - 4), (float)(y + ry - 2), GLITCH_WHITE);
  }
}
