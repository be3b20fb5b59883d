// The bitmap font, the bottom scroller and the glitching text: measuring, pen
// movement, the font sprite's clip and size, the scroll position over time, and
// the glitch's layers for given random draws (compared with the same layers
// painted one by one).
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/draw.h"
#include "render/font.h"
#include "render/sprite.h"
#include "support/gl_display.h"
#include "support/scene_check.h"

namespace {
class Font : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenTestDisplay());
    screenWidth = 1920;
    screenHeight = 1080;
    fontPath = std::string(ZYNTRAX_ASSET_DIR) + "/police20.png";
    LoadFontSprite();
    ASSERT_EQ(fontReady, 1);
    Clear();
  }
  void Clear() {
    ASSERT_TRUE(BeginScreenDrawing());
    DrawBox(0, 0, 1920, 1080, Rgb(0, 0, 0));
    EndScreenDrawing();
  }
  // Counts pixels in a rectangle of the frame that are not black, and checks
  // they all carry the given tint (blended over black).
  int Inked(int x, int y, int w, int h, Colour tint = Rgb(255, 255, 255)) {
    int n = 0;
    if (!BeginScreenDrawing()) {
      ADD_FAILURE() << "no frame to read";
      return -1;
    }
    for (int j = y; j < y + h; j++)
      for (int i = x; i < x + w; i++) {
        Colour c = ReadPixel(i, j);
        if (c == 0) continue;
        n++;
        if (RedOf(tint) == 0) EXPECT_EQ(RedOf(c), 0);
        if (GreenOf(tint) == 0) EXPECT_EQ(GreenOf(c), 0);
        if (BlueOf(tint) == 0) EXPECT_EQ(BlueOf(c), 0);
      }
    EndScreenDrawing();
    return n;
  }
};
}  // namespace

TEST(FontMeasure, CountsEveryCharacter) {
  EXPECT_EQ(MeasureFontText(u"", 1.0f), 0);
  EXPECT_EQ(MeasureFontText(u"A\nB", 1.0f), 66);
  EXPECT_EQ(MeasureFontText(u"\r\t\u00F4", 1.0f), 66);
  EXPECT_EQ(MeasureFontText(u"ABC", 0.5f), 33);
  EXPECT_EQ(MeasureFontText(u"A", 0.25f), 6);   // 5.5 rounds to even
  EXPECT_EQ(MeasureFontText(u"A", 0.75f), 16);  // 16.5 rounds to even
  EXPECT_EQ(FontCell(u' '), 0);
  EXPECT_EQ(FontCell(u'~'), 94);
  EXPECT_EQ(FontCell(u'\u00E9'), 95);
  EXPECT_EQ(FontCell(u'-'), 13);  // the first hyphen; the second cell is never used
  EXPECT_EQ(FontCell(u'\u00EA'), 101);
  EXPECT_EQ(FontCell(u'\u2026'), -1);
  EXPECT_EQ(FONT_CHARSET.size(), 102u);
}

TEST_F(Font, GlyphsLandAtThePenInTheirTint) {
  DrawFontText(u"A", 100.0f, 300.0f, Rgb(255, 0, 0), 255, 1.0f);
  EXPECT_GT(Inked(100, 300, 32, 32, Rgb(255, 0, 0)), 20);
  EXPECT_EQ(Inked(0, 250, 1920, 50), 0);
  EXPECT_EQ(Inked(132, 300, 200, 32), 0);
  Clear();
  // A line feed moves the pen back to x and one line down.
  DrawFontText(u"A\nB", 100.0f, 300.0f, Rgb(0, 255, 0), 255, 1.0f);
  EXPECT_GT(Inked(100, 332, 32, 32, Rgb(0, 255, 0)), 20);
  EXPECT_EQ(Inked(122, 300, 100, 32), 0);
  Clear();
  // A character without a glyph leaves a gap of one advance.
  DrawFontText(u"\u00F4A", 100.0f, 300.0f, Rgb(255, 255, 255), 255, 1.0f);
  EXPECT_EQ(Inked(100, 300, 22, 32), 0);
  EXPECT_GT(Inked(122, 300, 32, 32), 20);
}

TEST_F(Font, TheSheetIsLeftWholeAndUnscaled) {
  DrawFontText(u"AB", 100.0f, 300.0f, Rgb(255, 255, 255), 255, 1.0f);
  EXPECT_EQ(SpriteWidth(fontSprite), 544);
  EXPECT_EQ(SpriteHeight(fontSprite), 192);
  DrawFontText(u"AB", 100.0f, 300.0f, Rgb(255, 255, 255), 255, 2.5f);
  EXPECT_EQ(SpriteWidth(fontSprite), 544);
  EXPECT_EQ(SpriteHeight(fontSprite), 192);
  Clear();
  // At scale 0.01 each glyph shrinks to a single pixel.
  DrawFontText(u"@", 500.0f, 500.0f, Rgb(255, 255, 255), 255, 0.01f);
  EXPECT_LE(Inked(490, 490, 20, 20), 1);
}

TEST_F(Font, TheScrollerCrossesOnceOnItsOwnClock) {
  SetStartValues();
  fontPath = std::string(ZYNTRAX_ASSET_DIR) + "/police20.png";
  showStartMs = 10000;
  TestSetClock(10000);
  DrawBottomScroller();
  EXPECT_EQ(measuredWidth, 1218 * 22);
  EXPECT_EQ(scrollX, 1920.0f);
  TestSetClock(5000);  // before the show start counts as its start
  DrawBottomScroller();
  EXPECT_EQ(scrollX, 1920.0f);
  TestSetClock(10000 + 170000);
  DrawBottomScroller();
  EXPECT_EQ(scrollX, -(float)measuredWidth);
  TestSetClock(10000 + 400000);
  DrawBottomScroller();
  EXPECT_EQ(scrollX, -(float)measuredWidth);
  EXPECT_EQ(Inked(0, 880, 1920, 200), 0);
  TestSetClock(10000 + 85000);
  DrawBottomScroller();
  EXPECT_FLOAT_EQ(scrollX, 1920.0f - (1920.0f + 26796.0f) * 0.5f);
  EXPECT_GT(Inked(0, 960, 1920, 32, Rgb(200, 255, 255)), 100);
  scrollText = u"SHORT";
  DrawBottomScroller();
  EXPECT_EQ(measuredWidth, 110);
  TestUseRealClock();
}

struct GlitchLayer {
  float x, y;
  Colour colour;
};

// The frame after the glitch drew `text` at row 450 with the queued random
// values must equal the frame after painting `layers` by hand, in order.
void ExpectGlitchLayers(const std::u16string& text, std::initializer_list<int64_t> randoms,
                        const std::vector<GlitchLayer>& layers) {
  ClearFrame(Rgb(0, 0, 0));
  TestQueueRandom(randoms);
  DrawGlitchWord(text, 450);
  FrameBlock glitch = ReadFrameBlock(0, 300, 1920, 300);
  ClearFrame(Rgb(0, 0, 0));
  for (const GlitchLayer& l : layers) DrawFontText(text, l.x, l.y, l.colour, 255, 1.0f);
  FrameBlock byHand = ReadFrameBlock(0, 300, 1920, 300);
  EXPECT_GT(byHand.CountNot(Rgb(0, 0, 0)), 100);
  long differ = 0;
  for (size_t i = 0; i < glitch.pixels.size(); i++) differ += glitch.pixels[i] != byHand.pixels[i];
  EXPECT_EQ(differ, 0);
}

TEST_F(Font, GlitchDrawsThreeBaseLayersAndBurstsOnlyAbove72) {
  const float x0 = (1920 - 7 * 22) / 2;  // 883
  const Colour MAGENTA = Rgb(255, 0, 180), CYAN = Rgb(0, 255, 255), WHITE = Rgb(255, 255, 255);
  // dx +2, dy +1, no burst, no flash; white is the last base layer.
  std::vector<GlitchLayer> base = {{x0 - 1, 451, MAGENTA}, {x0 + 5, 451, CYAN}, {x0 + 2, 451, WHITE}};
  ExpectGlitchLayers(u"ZYNTRAX", {4, 2, 72, 0}, base);
  // A burst of five pairs: each cyan copy, then magenta half the offset the
  // other way one row lower (off = 1 and -1 give half-pixel positions).
  std::vector<GlitchLayer> burst = {{x0 - 3, 450, MAGENTA}, {x0 + 3, 450, CYAN}, {x0, 450, WHITE}};
  const int64_t rows[5] = {42, 0, 10, 10, 5}, offs[5] = {36, 0, 19, 17, 18};
  for (int i = 0; i < 5; i++) {
    float off = (float)(offs[i] - 18);
    burst.push_back({x0 + off, (float)(450 + rows[i]), CYAN});
    burst.push_back({x0 - off / 2.0f, (float)(451 + rows[i]), MAGENTA});
  }
  ExpectGlitchLayers(u"ZYNTRAX", {2, 1, 73, 42, 36, 0, 0, 10, 19, 10, 17, 5, 18, 0}, burst);
  // A white flash at (x0 + 4, y + 2).
  std::vector<GlitchLayer> flash = {{x0 - 3, 450, MAGENTA}, {x0 + 3, 450, CYAN}, {x0, 450, WHITE}};
  flash.push_back({x0 + 4, 452, WHITE});
  ExpectGlitchLayers(u"ZYNTRAX", {2, 1, 0, 95, 4, 8}, flash);
}

TEST_F(Font, AWideGlitchTextStartsLeftOfTheScreen) {
  std::u16string wide(100, u'W');
  const float x0 = (float)((1920 - 100 * 22) / 2);  // -140
  ExpectGlitchLayers(wide, {2, 1, 0, 0},
                     {{x0 - 3, 450, Rgb(255, 0, 180)}, {x0 + 3, 450, Rgb(0, 255, 255)}, {x0, 450, Rgb(255, 255, 255)}});
}
