// Wave bars with sliding picture: the row grid down to the last row, the bands
// left alone, and the picture's slide from far left to its resting place.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "effects/effects.h"
#include "effects/wave_bars.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/sprite.h"
#include "support/gl_display.h"
#include "support/scene_check.h"

namespace {
constexpr int WAVE_BARS_ROW = 16;
constexpr Colour MARKER = Rgb(77, 11, 99);
constexpr Colour BACKGROUND = Rgb(10, 20, 30);

class WaveBars : public ::testing::Test {
 protected:
  void SetUp() override {
    InitWaveBars();
    UseTimelineRow(WAVE_BARS_ROW);
    sceneStart = 122000;
  }
  void TearDown() override { TestUseRealClock(); }
};

class WaveBarsOnScreen : public WaveBars {
 protected:
  void SetUp() override {
    WaveBars::SetUp();
    ASSERT_TRUE(OpenTestDisplay());
    FreeAllSprites();
  }
};
}  // namespace

TEST_F(WaveBars, SlideRunsFromFarLeftToRestInFiveSeconds) {
  TestSetClock(122000);
  EXPECT_FLOAT_EQ(SlideInX(), -1632.0f);
  TestSetClock(124500);  // half way in time, seven eighths of the way by ease-out
  EXPECT_NEAR(SlideInX(), -1632.0f + 1708.8f * 0.875f, 0.01f);
  TestSetClock(127000);
  EXPECT_NEAR(SlideInX(), 76.8f, 1e-4f);
  TestSetClock(136000);
  EXPECT_NEAR(SlideInX(), 76.8f, 1e-4f);
  // A clock behind the scene start keeps the picture at its start.
  TestSetClock(121000);
  EXPECT_FLOAT_EQ(SlideInX(), -1632.0f);
}

TEST_F(WaveBarsOnScreen, RowsEveryThreeLinesDownToTheLastAt878) {
  ClearFrame(MARKER);
  TestSetClock(130000);
  DrawWaveBars();
  FrameBlock bottom = ReadFrameBlock(0, 876, 1920, 5);
  int lit877 = 0, lit878 = 0, lit879 = 0;
  for (int x = 0; x < 1920; x++) {
    lit877 += (bottom.At(x, 877) & 0xFFFFFF) != BACKGROUND;
    lit878 += (bottom.At(x, 878) & 0xFFFFFF) != BACKGROUND;
    lit879 += (bottom.At(x, 879) & 0xFFFFFF) != BACKGROUND;
    EXPECT_EQ(bottom.At(x, 880) & 0xFFFFFF, MARKER);
  }
  EXPECT_EQ(lit877, 0);  // between rows 875 and 878
  // Each segment steps down one line half way along: three of at least 155
  // pixels share rows 878 and 879.
  EXPECT_GT(lit878, 200);
  EXPECT_GT(lit879, 200);
  EXPECT_GE(lit878 + lit879, 3 * 155 - 2);
  EXPECT_EQ(FramePixel(10, 199) & 0xFFFFFF, MARKER);
  EXPECT_EQ(FramePixel(10, 200) & 0xFFFFFF, BACKGROUND);
}

TEST_F(WaveBarsOnScreen, SegmentsInTheirThreeColoursWithPaleHighlights) {
  ClearFrame(MARKER);
  TestSetClock(130000);
  DrawWaveBars();
  FrameBlock row = ReadFrameBlock(0, 500, 1920, 2);  // one row of segments
  int seen[6] = {};
  const Colour colours[6] = {Rgb(0, 255, 255),   Rgb(255, 0, 180),   Rgb(140, 0, 255),
                             Rgb(180, 255, 255), Rgb(255, 180, 255), Rgb(220, 180, 255)};
  for (Colour c : row.pixels)
    for (int i = 0; i < 6; i++) seen[i] += (c & 0xFFFFFF) == colours[i];
  for (int i = 0; i < 3; i++) EXPECT_GE(seen[i], 143) << i;  // len - highlight - overlap
  for (int i = 3; i < 6; i++) EXPECT_EQ(seen[i], 10) << i;
}

TEST_F(WaveBarsOnScreen, PictureEntersFromTheLeftAndParks) {
  ASSERT_TRUE(LoadAssetSprite(33, "twister_image.png"));
  int w = SpriteWidth(33);
  TestSetClock(122000);
  ClearFrame(BACKGROUND);
  DrawSlideInFromLeft();
  EXPECT_EQ(ReadFrameBlock(0, 250, w, 580).CountNot(BACKGROUND), 0);  // still off screen
  TestSetClock(128000);
  ClearFrame(BACKGROUND);
  DrawSlideInFromLeft();
  EXPECT_GT(ReadFrameBlock(77, 250, w, 580).CountNot(BACKGROUND), w * 580 / 8);
  EXPECT_EQ(ReadFrameBlock(0, 250, 76, 580).CountNot(BACKGROUND), 0);
  EXPECT_EQ(ReadFrameBlock(77 + w, 250, 200, 580).CountNot(BACKGROUND), 0);
}
