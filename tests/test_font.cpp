// The bitmap font, the bottom scroller and the glitching text: measuring, pen
// movement, the font sprite's clip and size, the scroll position over time, and
// the glitch's layers for given random draws.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "effects/effects.h"
#include "effects/glitch_text.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/font.h"
#include "render/sprite.h"
#include "support/gl_display.h"

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

TEST(GlitchText, DrawsThreeBaseLayersAndBurstsOnlyAbove72) {
  screenWidth = 1920;
  const float x0 = (1920 - 7 * 22) / 2;  // 883
  TestQueueRandom({4, 2, 72, 0});         // dx +2, dy +1, no burst, no flash
  DrawGlitchWord(u"ZYNTRAX", 450);
  ASSERT_EQ(glitchLayerCount, 3);
  EXPECT_EQ(glitchLayers[0].colour, Rgb(255, 0, 180));
  EXPECT_EQ(glitchLayers[0].x, x0 + 2 - 3);
  EXPECT_EQ(glitchLayers[0].y, 451.0f);
  EXPECT_EQ(glitchLayers[1].colour, Rgb(0, 255, 255));
  EXPECT_EQ(glitchLayers[1].x, x0 + 2 + 3);
  EXPECT_EQ(glitchLayers[2].colour, Rgb(255, 255, 255));  // white is the last base layer
  EXPECT_EQ(glitchLayers[2].x, x0 + 2);

  TestQueueRandom({2, 1, 73, 42, 36, 0, 0, 10, 19, 10, 17, 5, 18, 0});
  DrawGlitchWord(u"ZYNTRAX", 450);
  ASSERT_EQ(glitchLayerCount, 13);
  EXPECT_EQ(glitchLayers[3].x, x0 + 18);  // cyan copy
  EXPECT_EQ(glitchLayers[3].y, 492.0f);
  EXPECT_EQ(glitchLayers[4].x, x0 - 9.0f);  // magenta copy, half the offset the other way
  EXPECT_EQ(glitchLayers[4].y, 493.0f);
  EXPECT_EQ(glitchLayers[8].x, x0 - 0.5f);   // off = 1: a half-pixel position
  EXPECT_EQ(glitchLayers[10].x, x0 + 0.5f);  // off = -1

  TestQueueRandom({2, 1, 0, 95, 4, 8});  // a white flash at (x0 + 4, y + 2)
  DrawGlitchWord(u"ZYNTRAX", 450);
  ASSERT_EQ(glitchLayerCount, 4);
  EXPECT_EQ(glitchLayers[3].colour, Rgb(255, 255, 255));
  EXPECT_EQ(glitchLayers[3].x, x0 + 4);
  EXPECT_EQ(glitchLayers[3].y, 452.0f);
}

TEST(GlitchText, AWideTextStartsLeftOfTheScreen) {
  screenWidth = 1920;
  TestQueueRandom({2, 1, 0, 0});
  DrawGlitchWord(std::u16string(100, u'W'), 450);
  EXPECT_LT(glitchLayers[2].x, 0.0f);
}
