// Starfield: rebirth of stars that pass the eye, what is drawn and what is only
// advanced, the size rule at both depth ends, and the picture's slide.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "effects/effects.h"
#include "effects/starfield.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "support/scene_checks.h"

namespace {
const Colour WHITE = Rgb(255, 255, 255);
const Colour BLACK = Rgb(0, 0, 0);

class Starfield : public ::testing::Test {
 protected:
  MemoryOutput out{1920, 1080, UNTOUCHED};
  void SetUp() override {
    screenWidth = 1920;
    screenHeight = 1080;
    InitStarfield();
    TestSeedRandom(7);
    // Every star parked far off to the side, where it projects off screen.
    for (int i = 0; i < STAR_COUNT; i++) {
      StarX[i] = 100000.0f;
      StarY[i] = 0.0f;
      StarZ[i] = 1200.0f;
    }
  }
  void Step() {
    ASSERT_TRUE(out.Begin());
    StepStarfield(4.0f, 0.0f, true);
    EndScreenDrawing();
  }
  int WhitePixels() const { return CountColour(out, WHITE); }
};
}  // namespace

TEST_F(Starfield, StarPassingTheEyeIsRebornAt1200AndDrawnOnePixel) {
  StarX[0] = 0.0f;
  StarY[0] = 0.0f;
  StarZ[0] = 45.0f;  // 45 - 40 = 5 < 10
  TestQueueRandom({1200 + 300, 700 + 100});
  Step();
  EXPECT_FLOAT_EQ(StarZ[0], 1200.0f);
  EXPECT_FLOAT_EQ(StarX[0], 300.0f);
  EXPECT_FLOAT_EQ(StarY[0], 100.0f);
  // 960 + 300 x 500 / 1200 = 1085, 540 + 100 x 500 / 1200 = 581.67.
  EXPECT_EQ(out.At(1085, 582), WHITE);
  EXPECT_EQ(WhitePixels(), 1);
}

TEST_F(Starfield, DepthTenIsKeptAndDrawnFivePixelsSquare) {
  StarX[0] = 0.0f;
  StarY[0] = 0.0f;
  StarZ[0] = 50.0f;  // lands on exactly 10, which is not below 10
  Step();
  EXPECT_FLOAT_EQ(StarZ[0], 10.0f);
  EXPECT_FLOAT_EQ(StarX[0], 0.0f);
  EXPECT_EQ(out.At(960, 540), WHITE);
  EXPECT_EQ(out.At(964, 544), WHITE);
  EXPECT_EQ(out.At(965, 540), BLACK);
  EXPECT_EQ(out.At(960, 545), BLACK);
  EXPECT_EQ(WhitePixels(), 25);
}

TEST_F(Starfield, StarsOutsideTheSceneAreaAdvanceButAreNotDrawn) {
  // At depth 500 after the step, the screen offset is x or y itself.
  const float xs[] = {960.0f, -961.0f, 0.0f, 0.0f, 0.0f, 0.0f};
  const float ys[] = {0.0f, 0.0f, 340.0f, -341.0f, 339.0f, -340.0f};
  for (int i = 0; i < 6; i++) {
    StarX[i] = xs[i];
    StarY[i] = ys[i];
    StarZ[i] = 540.0f;
  }
  Step();
  for (int i = 0; i < 6; i++) EXPECT_FLOAT_EQ(StarZ[i], 500.0f) << i;
  // x = W, x < 0, y = H - 200 and y < 200 are skipped; y = 879 and y = 200 are drawn
  // (3 x 3 at this depth).
  EXPECT_EQ(out.At(960, 879), WHITE);
  EXPECT_EQ(out.At(960, 200), WHITE);
  EXPECT_EQ(WhitePixels(), 9 + 9);
  // Only the scene area is cleared.
  EXPECT_EQ(out.At(10, 199), UNTOUCHED_COLOUR);
  EXPECT_EQ(out.At(10, 200), BLACK);
  EXPECT_EQ(out.At(10, 879), BLACK);
  EXPECT_EQ(out.At(10, 880), UNTOUCHED_COLOUR);
}

TEST_F(Starfield, FieldTurnsAboutTheSceneCentre) {
  StarX[0] = 200.0f;
  StarY[0] = 0.0f;
  StarZ[0] = 540.0f;
  ASSERT_TRUE(out.Begin());
  StepStarfield(4.0f, 1.5707964f, true);  // a quarter turn: +x goes to +y
  EndScreenDrawing();
  EXPECT_EQ(out.At(960, 740), WHITE);
  EXPECT_FLOAT_EQ(StarX[0], 200.0f);  // the stored position does not turn
}

TEST(SlidingPicture, GlidesFrom205WidthsToThreeQuartersInTenSeconds) {
  screenWidth = 1920;
  screenHeight = 1080;
  InitStarfield();
  sceneStart = 40000;
  TestSetClock(40000);
  EXPECT_FLOAT_EQ(SlidingPictureX(), 3936.0f);
  TestSetClock(45000);
  float mid = SlidingPictureX();
  EXPECT_LT(mid, 1440.0f + (3936.0f - 1440.0f) * 0.5f);  // eased out: past half way
  EXPECT_GT(mid, 1440.0f);
  TestSetClock(50000);
  EXPECT_FLOAT_EQ(SlidingPictureX(), 1440.0f);
  TestSetClock(90000);
  EXPECT_FLOAT_EQ(SlidingPictureX(), 1440.0f);
  TestUseRealClock();
}
