// Ribbon twisters painted into a memory picture: the row range, an edge-on and
// a face-on slice, and the side picture's slide.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "effects/effects.h"
#include "effects/twisters.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "support/scene_checks.h"

namespace {
const Colour OUTLINE = Rgb(47, 64, 71);

class Twisters : public ::testing::Test {
 protected:
  MemoryOutput out{1920, 1080, UNTOUCHED};
  void SetUp() override {
    screenWidth = 1920;
    screenHeight = 1080;
    InitTwisters();
    ASSERT_TRUE(out.Begin());
  }
  void TearDown() override { EndScreenDrawing(); }
};
}  // namespace

TEST_F(Twisters, RibbonsCover341SlicesFrom200To880) {
  for (float c : {0.0f, 37.5f, 1234.0f}) {
    std::fill(out.bytes.begin(), out.bytes.end(), UNTOUCHED);
    PaintRibbons(c);
    EXPECT_FALSE(RowTouched(out, 199)) << c;
    for (int y = 200; y <= 881; y++) ASSERT_TRUE(RowTouched(out, y)) << "c " << c << " row " << y;
    EXPECT_FALSE(RowTouched(out, 882)) << c;
  }
}

TEST_F(Twisters, EdgeOnSliceIsFiftyWideInTheOutlineColourWithoutSheen) {
  PaintTwisterSlice(500.0f, 0.0f, 210.0f, 300);
  // Outline 471..528 (58 pixels), body 475..524 in the outline colour.
  for (int y = 300; y <= 301; y++) {
    for (int x = 471; x <= 528; x++) ASSERT_EQ(out.At(x, y), OUTLINE) << x << "," << y;
    EXPECT_EQ(out.At(470, y), UNTOUCHED_COLOUR);
    EXPECT_EQ(out.At(529, y), UNTOUCHED_COLOUR);
  }
  EXPECT_EQ(out.At(500, 299), UNTOUCHED_COLOUR);
  EXPECT_EQ(out.At(500, 302), UNTOUCHED_COLOUR);
}

TEST_F(Twisters, FaceOnSliceHasBodyAndSheenAtFullShade) {
  PaintTwisterSlice(500.0f, 1.0f, 210.0f, 300);  // 260 wide
  EXPECT_EQ(out.At(365, 300), UNTOUCHED_COLOUR);
  EXPECT_EQ(out.At(366, 300), OUTLINE);             // outline 366..633
  EXPECT_EQ(out.At(369, 300), OUTLINE);
  EXPECT_EQ(out.At(370, 300), Rgb(93, 120, 109));   // body 370..629
  EXPECT_EQ(out.At(400, 300), Rgb(93, 120, 109));   // body
  EXPECT_EQ(out.At(453, 300), Rgb(203, 209, 174));  // sheen 453..546
  EXPECT_EQ(out.At(546, 300), Rgb(203, 209, 174));
  EXPECT_EQ(out.At(547, 300), Rgb(93, 120, 109));
  EXPECT_EQ(out.At(629, 300), Rgb(93, 120, 109));
  EXPECT_EQ(out.At(630, 300), OUTLINE);
  EXPECT_EQ(out.At(633, 300), OUTLINE);
  EXPECT_EQ(out.At(634, 300), UNTOUCHED_COLOUR);
}

TEST_F(Twisters, SheenOnlyAboveFortyFivePercentOfTheFullWidth) {
  // sw = 50 + t x 100: 94 wide has no sheen, 96 wide has one.
  PaintTwisterSlice(500.0f, 0.44f, 100.0f, 300);
  PaintTwisterSlice(500.0f, 0.46f, 100.0f, 310);
  EXPECT_EQ(out.At(500, 300), Rgb(67, 89, 88));    // body shade
  EXPECT_EQ(out.At(500, 310), Rgb(144, 161, 139));  // sheen 483..517
  EXPECT_EQ(out.At(482, 310), Rgb(68, 90, 88));
  EXPECT_EQ(out.At(518, 310), Rgb(68, 90, 88));
}

TEST(SidePicture, SlidesFromMinus1440ToZeroInTenSeconds) {
  screenWidth = 1920;
  screenHeight = 1080;
  InitTwisters();
  sceneStart = 32000;
  TestSetClock(32000);
  EXPECT_FLOAT_EQ(SidePictureX(), -1440.0f);
  TestSetClock(37000);
  EXPECT_GT(SidePictureX(), -720.0f);
  EXPECT_LT(SidePictureX(), 0.0f);
  TestSetClock(42000);
  EXPECT_FLOAT_EQ(SidePictureX(), 0.0f);
  TestSetClock(60000);
  EXPECT_FLOAT_EQ(SidePictureX(), 0.0f);
  TestUseRealClock();
}
