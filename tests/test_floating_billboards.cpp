// Floating billboards: the picture is put back after the frame, the frame is
// left alone without it, and the scene fills only the scene area.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/sprite.h"
#include "support/gl_display.h"
#include "support/scene_check.h"

namespace {
constexpr int FLOATING_ROW = 15;
constexpr Colour MARKER = Rgb(77, 11, 99);

class FloatingBillboards : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenTestDisplay());
    FreeAllSprites();
    InitFloatingBillboards();
    UseTimelineRow(FLOATING_ROW);
  }
  void TearDown() override { TestUseRealClock(); }
};
}  // namespace

TEST_F(FloatingBillboards, PictureIsBackAtItsOwnSizeAndUnrotated) {
  ASSERT_TRUE(LoadAssetSprite(25, "billboard4.png"));
  for (int64_t ms : {118000, 119333, 121999}) {
    TestSetClock(ms);
    DrawFloatingBillboards();
    EXPECT_EQ(SpriteWidth(25), 256);
    EXPECT_EQ(SpriteHeight(25), 256);
  }
  EXPECT_TRUE(DrawsLikeFreshCopy(25, "billboard4.png"));
}

TEST_F(FloatingBillboards, MissingPictureLeavesTheFrameAsItWas) {
  ClearFrame(MARKER);
  TestSetClock(120000);
  DrawFloatingBillboards();
  EXPECT_EQ(FramePixel(960, 540) & 0xFFFFFF, MARKER);
  EXPECT_EQ(FramePixel(10, 210) & 0xFFFFFF, MARKER);
}

TEST_F(FloatingBillboards, DarkBlueSceneAreaWithTheRowAcrossIt) {
  ASSERT_TRUE(LoadAssetSprite(25, "billboard4.png"));
  ClearFrame(MARKER);
  TestSetClock(120000);
  DrawFloatingBillboards();
  // Far above the swing of the row and of the waves: plain background.
  EXPECT_EQ(FramePixel(960, 204) & 0xFFFFFF, Rgb(0, 0, 18));
  EXPECT_EQ(FramePixel(960, 876) & 0xFFFFFF, Rgb(0, 0, 18));
  // The bands are not the scene's.
  EXPECT_EQ(FramePixel(960, 199) & 0xFFFFFF, MARKER);
  EXPECT_EQ(FramePixel(960, 880) & 0xFFFFFF, MARKER);
  // Across the middle the copies cover a good part of every stretch of 240 pixels.
  FrameBlock middle = ReadFrameBlock(0, 540, 1920, 1);
  for (int x0 = 0; x0 < 1920; x0 += 240) {
    int covered = 0;
    for (int x = x0; x < x0 + 240; x++) covered += (middle.At(x, 540) & 0xFFFFFF) != Rgb(0, 0, 18);
    EXPECT_GT(covered, 60) << x0;
  }
}
