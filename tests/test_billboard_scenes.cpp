// The billboard scenes' rules: the blink's timing, the carousel's two passes,
// the spiral's direction periods and background size.
#include <gtest/gtest.h>

#include <cmath>

#include "driver/driver.h"
#include "effects/billboard_wave.h"
#include "effects/carousel.h"
#include "effects/effects.h"
#include "effects/spiral.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/sprite.h"
#include "support/gl_display.h"
#include "support/scene_check.h"
#include "support/solid_sprite.h"

namespace {
class Blink : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSprites();
    InitBillboardWave();
    TestSetClock(50000);
    ResetBlinkingBillboards();
  }
  void TearDown() override { TestUseRealClock(); }
};
}  // namespace

TEST_F(Blink, EntryWaitsASecondOnTheFirstPicture) {
  EXPECT_EQ(BlinkSprite, 26);
  EXPECT_EQ(BlinkLastFlipMs, 50000);
  EXPECT_EQ(BlinkIntervalMs, 1000);
  EXPECT_EQ(BlinkSettled, 0);
}

TEST_F(Blink, FlipsOnTheFrameExactlyAnIntervalLater) {
  TestSetClock(50999);
  ChooseBlinkSprite();
  EXPECT_EQ(BlinkSprite, 26);
  TestSetClock(51000);
  ChooseBlinkSprite();
  EXPECT_EQ(BlinkSprite, 27);
  EXPECT_EQ(BlinkLastFlipMs, 51000);
  EXPECT_EQ(BlinkIntervalMs, 955);
  TestSetClock(51955);
  ChooseBlinkSprite();
  EXPECT_EQ(BlinkSprite, 26);
  EXPECT_EQ(BlinkIntervalMs, 910);
}

TEST_F(Blink, LateFramesPushTheNextFlipBack) {
  TestSetClock(51040);  // 40 ms late
  ChooseBlinkSprite();
  EXPECT_EQ(BlinkLastFlipMs, 51040);
  TestSetClock(51994);
  ChooseBlinkSprite();
  EXPECT_EQ(BlinkSprite, 27);
  TestSetClock(51995);
  ChooseBlinkSprite();
  EXPECT_EQ(BlinkSprite, 26);
}

TEST_F(Blink, IntervalsShrinkBy45UntilTheTwentyThirdFlipSettlesOn26) {
  int64_t t = 50000, flips = 0;
  while (BlinkSettled == 0 && flips < 100) {
    int64_t expected = 1000 - 45 * flips;
    EXPECT_EQ(BlinkIntervalMs, expected);
    t += BlinkIntervalMs;
    TestSetClock(t);
    ChooseBlinkSprite();
    flips++;
    if (BlinkSettled == 0) {
      EXPECT_EQ(BlinkSprite, flips % 2 == 1 ? 27 : 26) << "flip " << flips;
    }
  }
  EXPECT_EQ(flips, 23);
  EXPECT_EQ(t - 50000, 11615);  // longer than the 11-second scene
  EXPECT_EQ(BlinkSprite, 26);
  // Settled: nothing changes any more.
  TestSetClock(t + 5000);
  ChooseBlinkSprite();
  EXPECT_EQ(BlinkSprite, 26);
  EXPECT_EQ(BlinkLastFlipMs, t);
}

TEST_F(Blink, MissingSecondPictureShowsTheFirstWhileTheStateAlternates) {
  ASSERT_FALSE(SpriteExists(27));
  for (int64_t t = 50000; t < 58000; t += 16) {
    TestSetClock(t);
    EXPECT_EQ(ChooseBlinkSprite(), 26) << t;
  }
  EXPECT_LT(BlinkIntervalMs, 1000);
}

TEST(Carousel, PictureExactlyOnTheHorizontalAxisBelongsToTheFrontPass) {
  InitCarousel();
  // Ring angle 0: picture 0 sits at the right end of the ellipse, d = 0.5.
  RingPicture front = PlaceRingPicture(0, 0.0f, 960.0f, 675.0f, 480.0f, 190.4f, 1.0f, 0.0f, 256, 256);
  EXPECT_TRUE(front.front);
  EXPECT_EQ(front.width, 275);  // 256 x 1.075
  EXPECT_EQ(front.intensity, 180);
  EXPECT_FLOAT_EQ(front.x, 960.0f + 480.0f - 137.5f);
  // A hair above the axis it is still in the back pass: smaller and dimmer.
  RingPicture back = PlaceRingPicture(0, -0.001f, 960.0f, 675.0f, 480.0f, 190.4f, 1.0f, 0.0f, 256, 256);
  EXPECT_FALSE(back.front);
  EXPECT_EQ(back.width, 224);  // 256 x 0.875
  EXPECT_EQ(back.intensity, 140);
}

TEST(Carousel, SizesHaveAFloorAndIntensityACeiling) {
  InitCarousel();
  RingPicture tiny = PlaceRingPicture(3, 0.0f, 960.0f, 540.0f, 480.0f, 190.4f, 0.001f, 0.0f, 256, 256);
  EXPECT_EQ(tiny.width, 4);
  EXPECT_EQ(tiny.height, 4);
  // The bottom of the ellipse (d = 1) is the brightest: 240.
  const float halfPi = 1.5707964f;
  RingPicture nearest = PlaceRingPicture(0, halfPi, 960.0f, 540.0f, 480.0f, 190.4f, 1.0f, 0.0f, 256, 256);
  EXPECT_EQ(nearest.intensity, 240);
  EXPECT_EQ(nearest.width, 333);  // 256 x 1.3
}

TEST(Spiral, DirectionFlipsAtEachTenSecondBoundary) {
  InitSpiral();
  EXPECT_EQ(SpiralDirection(0), 1);
  EXPECT_EQ(SpiralDirection(9999), 1);
  EXPECT_EQ(SpiralDirection(10000), 0);
  EXPECT_EQ(SpiralDirection(19999), 0);
  EXPECT_EQ(SpiralDirection(20000), 1);
  EXPECT_EQ(SpiralDirection(35000), 0);
  SPIRAL_REVERSE = 0;
  EXPECT_EQ(SpiralDirection(15000), 1);
  InitSpiral();
}

TEST(Spiral, BackgroundIsRaisedToTheSceneAreaAxisByAxis) {
  screenWidth = 1920;
  screenHeight = 1080;
  SpiralBackgroundSize smallest = SizeSpiralBackground(1388, 618, 0.54f);
  EXPECT_EQ(smallest.width, 1920);
  EXPECT_EQ(smallest.height, 680);
  SpiralBackgroundSize largest = SizeSpiralBackground(1388, 618, 1.54f);
  EXPECT_EQ(largest.width, 2138);
  EXPECT_EQ(largest.height, 952);
  // Only the short axis is raised: proportions change.
  SpiralBackgroundSize mixed = SizeSpiralBackground(1388, 618, 1.2f);
  EXPECT_EQ(mixed.width, 1920);
  EXPECT_EQ(mixed.height, 742);
}

// ---- on a real display, with flat-colour pictures ----
namespace {
const Colour RED = Rgb(255, 0, 0), BLUE = Rgb(0, 0, 255), GREEN = Rgb(0, 200, 0);

class BillboardFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenTestDisplay());
    FreeAllSprites();
    UseTimelineRow(0);
    InitBillboardWave();
    InitCarousel();
    InitSpiral();
  }
  void TearDown() override { TestUseRealClock(); }
  void Row(int row) { UseTimelineRow(row); }
};

// Centre height of wave copy i at clock ms (speed factor 5).
int WaveCopyY(int i, int64_t ms) {
  float t = (float)ms * 0.001f * 5.0f;
  return (int)(540.0f + sinf(t + 0.7f * (float)i) * 190.4f);
}
}  // namespace

TEST_F(BillboardFrames, WaveCopiesOverNavyRightmostOnTop) {
  ASSERT_TRUE(LoadSolidSprite(20, 256, 256, RED));
  Row(7);
  TestSetClock(0);  // T = 0: copy i is centred at (120 i + 40, 540 + 190.4 sin(0.7 i))
  DrawBillboardWave();
  EXPECT_EQ(FramePixel(1900, 210), Rgb(0, 0, 20));
  Colour top = FramePixel(1840, WaveCopyY(15, 0));
  EXPECT_GE(RedOf(top), 228);  // intensity 230 lets a little navy through
  EXPECT_LE(BlueOf(top), 3);
  EXPECT_EQ(SpriteWidth(20), 256);
}

TEST_F(BillboardFrames, BlinkShowsTheSecondPictureOnlyWhenItExists) {
  ASSERT_TRUE(LoadSolidSprite(26, 250, 250, GREEN));
  Row(17);
  TestSetClock(100000);
  ResetBlinkingBillboards();
  TestSetClock(101000);
  DrawBlinkingBillboardWave();  // flips to 27, which is missing
  EXPECT_EQ(BlinkSprite, 27);
  EXPECT_GT(GreenOf(FramePixel(1840, WaveCopyY(15, 101000))), 150);
  ASSERT_TRUE(LoadSolidSprite(27, 250, 250, BLUE));
  ResetBlinkingBillboards();
  TestSetClock(102000);
  DrawBlinkingBillboardWave();
  Colour c = FramePixel(1840, WaveCopyY(15, 102000));
  EXPECT_GT(BlueOf(c), 200);
  EXPECT_EQ(GreenOf(c), 0);
}

TEST_F(BillboardFrames, CarouselFarHalfBehindAndNearHalfInFrontOfTheCentre) {
  ASSERT_TRUE(LoadSolidSprite(25, 256, 256, RED));
  ASSERT_TRUE(LoadSolidSprite(34, 462, 694, BLUE));
  SetSpriteRotation(25, 45.0f, ROTATION_ABSOLUTE);
  Row(8);
  TestSetClock(0);  // centre (960, 675), breathing 1
  DrawBillboardCarousel();
  EXPECT_EQ(FramePixel(960, 560), BLUE);  // centre picture
  EXPECT_EQ(FramePixel(856, 450), BLUE);  // a back-pass picture lies under it
  Colour near = FramePixel(1067, 850);    // a front-pass picture covers it
  EXPECT_GT(RedOf(near), 200);
  EXPECT_LT(BlueOf(near), 40);
  EXPECT_EQ(FramePixel(5, 205), Rgb(0, 0, 0));
  EXPECT_EQ(SpriteWidth(25), 256);
  EXPECT_EQ(SpriteHeight(25), 256);
  EXPECT_EQ(SpriteWidth(34), 462);
  EXPECT_EQ(SpriteHeight(34), 694);
  // Upright again: drawn alone, the picture fills its corners.
  ClearSceneArea(0, 0, 0);
  DrawSpriteOpaque(25, 100.0f, 300.0f);
  EXPECT_EQ(FramePixel(101, 301), RED);
  EXPECT_EQ(FramePixel(354, 554), RED);
}

TEST_F(BillboardFrames, CarouselWithoutItsRingPictureDrawsOnlyBlack) {
  ASSERT_TRUE(LoadSolidSprite(34, 462, 694, BLUE));
  Row(8);
  TestSetClock(0);
  DrawBillboardCarousel();
  EXPECT_EQ(FramePixel(960, 560), Rgb(0, 0, 0));
}

TEST_F(BillboardFrames, SpiralOverTheVeiledBackground) {
  ASSERT_TRUE(LoadSolidSprite(20, 256, 256, RED));
  ASSERT_TRUE(LoadSolidSprite(29, 1388, 618, GREEN, false));
  Row(10);
  TestSetClock(0);  // zoom 1.04: the background is raised to exactly 1920 x 680
  DrawBillboardSpiral();
  EXPECT_EQ(FramePixel(0, 200), Rgb(0, 145, 0));     // 200 x 185 / 255 under the veil
  EXPECT_EQ(FramePixel(1919, 879), Rgb(0, 145, 0));
  EXPECT_EQ(FramePixel(1689, 860), RED);             // outermost copy, drawn last, opaque
  EXPECT_EQ(SpriteWidth(20), 256);
  EXPECT_EQ(SpriteWidth(29), 1388);
  EXPECT_EQ(SpriteHeight(29), 618);
}

TEST_F(BillboardFrames, SpiralSpinReversesAtTheTenSecondBoundary) {
  ASSERT_TRUE(LoadSolidSprite(20, 256, 256, RED));
  Row(10);
  // At 10 000 ms the outermost copy's angle is +30 rad (centre near y = 490);
  // one millisecond earlier it was -30 rad, below the scene area.
  TestSetClock(10000);
  DrawBillboardSpiral();
  EXPECT_EQ(FramePixel(1189, 490), RED);
  TestSetClock(9999);
  DrawBillboardSpiral();
  EXPECT_NE(FramePixel(1189, 490), RED);
}

TEST_F(BillboardFrames, SpiralWithoutBackgroundKeepsTheBlackClear) {
  ASSERT_TRUE(LoadSolidSprite(20, 256, 256, RED));
  Row(10);
  TestSetClock(0);
  DrawBillboardSpiral();
  EXPECT_EQ(FramePixel(0, 200), Rgb(0, 0, 0));
}
