// Segmented copper bars painted into a memory picture: the scanline grid, the
// segment row reaching x = W, and bar 0's layout at phase 0.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "effects/copper_bars.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "support/gl_display.h"
#include "support/scene_check.h"
#include "support/memory_output.h"

namespace {
constexpr uint8_t UNTOUCHED = 0x7F;
const Colour UNTOUCHED_COLOUR = Rgb(UNTOUCHED, UNTOUCHED, UNTOUCHED);

class CopperBars : public ::testing::Test {
 protected:
  // Wider than the screen, so segments past x = W show.
  MemoryOutput out{1980, 1080, UNTOUCHED};
  void SetUp() override {
    screenWidth = 1920;
    screenHeight = 1080;
    InitCopperBars();
    ASSERT_TRUE(out.Begin());
    PaintSegmentedBars(0.0f);
    EndScreenDrawing();
  }
};
}  // namespace

TEST_F(CopperBars, ScanlinesEverySixRowsFrom200To878AndNothingOutsideTheArea) {
  // At phase 0 the bars and glow lines stay between rows 336 and 855.
  const Colour scan = Rgb(6, 6, 16);
  int lines = 0;
  for (int y = 200; y < 330; y++) {
    EXPECT_EQ(out.At(100, y), (y - 200) % 6 == 0 ? scan : Rgb(0, 0, 0)) << "row " << y;
    lines += out.At(100, y) == scan;
  }
  for (int y = 858; y < 880; y++) {
    EXPECT_EQ(out.At(100, y), (y - 200) % 6 == 0 ? scan : Rgb(0, 0, 0)) << "row " << y;
    lines += out.At(100, y) == scan;
  }
  EXPECT_EQ(lines, 22 + 4);  // 200..326 and 860..878: the grid ends on 878, the 114th line
  for (int y = 0; y < 200; y++) EXPECT_EQ(out.At(100, y), UNTOUCHED_COLOUR) << "row " << y;
  for (int y = 880; y < 1080; y++) EXPECT_EQ(out.At(100, y), UNTOUCHED_COLOUR) << "row " << y;
  EXPECT_EQ(out.At(1921, 300), UNTOUCHED_COLOUR);  // scanlines are W wide
}

TEST_F(CopperBars, SegmentRowIncludesXEqualToWidth) {
  // 97 segments: the last starts at x = 1920 and covers 1920..1941.
  EXPECT_EQ(out.At(1930, 608), Rgb(0, 255, 255));
  EXPECT_EQ(out.At(1941, 608), Rgb(0, 255, 255));
  EXPECT_EQ(out.At(1942, 608), UNTOUCHED_COLOUR);
  EXPECT_EQ(out.At(1960, 608), UNTOUCHED_COLOUR);
}

TEST_F(CopperBars, BarZeroAtPhaseZeroHasItsTopAt600AndHeight18) {
  EXPECT_EQ(out.At(5, 599), Rgb(0, 45, 55));  // dark backing from yb - 5
  for (int y = 600; y <= 602; y++) EXPECT_EQ(out.At(5, y), Rgb(180, 255, 255)) << y;
  // Within 131 pixels of the centre line: the white shine under the highlight.
  for (int y = 603; y <= 604; y++) EXPECT_EQ(out.At(5, y), Rgb(255, 255, 255)) << y;
  for (int y = 605; y <= 617; y++) EXPECT_EQ(out.At(5, y), Rgb(0, 255, 255)) << y;
  for (int y = 618; y <= 622; y++) EXPECT_EQ(out.At(5, y), Rgb(0, 45, 55)) << y;
  EXPECT_EQ(out.At(5, 623), Rgb(0, 0, 0));
}

TEST_F(CopperBars, CentreLineAndGlowLinesCoverTheBars) {
  // Centre line at rows 539..540; glow line 2 (j mod 3 = 2) at 592 with its white top row.
  EXPECT_EQ(out.At(700, 539), Rgb(20, 0, 40));
  EXPECT_EQ(out.At(700, 540), Rgb(20, 0, 40));
  EXPECT_EQ(out.At(700, 590), Rgb(10, 0, 25));
  EXPECT_EQ(out.At(700, 592), Rgb(255, 255, 255));
  EXPECT_EQ(out.At(700, 593), Rgb(110, 0, 220));
  EXPECT_EQ(out.At(700, 596), Rgb(110, 0, 220));
  EXPECT_EQ(out.At(700, 598), Rgb(10, 0, 25));
}

TEST(CopperBarsOnScreen, FrameShowsBarZeroAtPhaseZero) {
  ASSERT_TRUE(OpenTestDisplay());
  UseTimelineRow(11);
  InitCopperBars();
  TestSetClock(0);
  DrawSegmentedBars();
  TestUseRealClock();
  EXPECT_EQ(FramePixel(5, 600), Rgb(180, 255, 255));
  EXPECT_EQ(FramePixel(5, 610), Rgb(0, 255, 255));
  EXPECT_EQ(FramePixel(100, 878), Rgb(6, 6, 16));
}
