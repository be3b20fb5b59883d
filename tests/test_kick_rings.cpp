// Kick rings: the once-per-second quarter turn and its flash, the five discs at
// the clock's origin, and the pulse sprites' sizes and restoring.
#include <gtest/gtest.h>

#include <cmath>

#include "driver/driver.h"
#include "effects/effects.h"
#include "effects/kick_rings.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/sprite.h"
#include "support/gl_display.h"
#include "support/scene_check.h"

namespace {
constexpr int KICK_ROW = 14;

class KickRings : public ::testing::Test {
 protected:
  void SetUp() override {
    InitKickRings();
    UseTimelineRow(KICK_ROW);
    TestSeedRandom(5);
  }
  void TearDown() override { TestUseRealClock(); }
  // The clock of the scene in its own units: a grows by 1 every 2000 ms.
  static float ClockA(int64_t ms) { return (float)ms * 0.0005f; }
};

class KickRingsOnScreen : public KickRings {
 protected:
  void SetUp() override {
    KickRings::SetUp();
    ASSERT_TRUE(OpenTestDisplay());
    FreeAllSprites();
  }
};

float Brightness(Colour c) { return (float)(RedOf(c) + GreenOf(c) + BlueOf(c)); }

// Only the orbit's sprites show: no discs, no flash, and one sprite on the orbit.
void OrbitAlone() {
  RING_COUNT = 0;
  FLASH_WINDOW = 0.0f;
  ORBIT_SPRITES = 1;
  ClearFrame(Rgb(0, 0, 0));
}

int LitPixels() { return ReadFrameBlock(0, 0, 1920, 1080).CountNot(Rgb(0, 0, 0)); }
}  // namespace

TEST_F(KickRings, QuarterTurnAdvancesOncePerWholeSecondAndWraps) {
  // The very first frame finds lastSecond at -1 and turns too.
  AdvanceKickSecond(ClockA(0));
  EXPECT_EQ(quarterTurn, 1);
  AdvanceKickSecond(ClockA(999));
  EXPECT_EQ(quarterTurn, 1);
  AdvanceKickSecond(ClockA(1000));
  EXPECT_EQ(quarterTurn, 2);
  EXPECT_EQ(lastSecond, 1);
  AdvanceKickSecond(ClockA(2000));
  AdvanceKickSecond(ClockA(3000));
  EXPECT_EQ(quarterTurn, 0);
  // A long gap between frames is still one quarter.
  AdvanceKickSecond(ClockA(60000));
  EXPECT_EQ(quarterTurn, 1);
  EXPECT_EQ(lastSecond, 60);
}

TEST_F(KickRings, FlashIsFullAtTheSecondAndFadesWithinIt) {
  EXPECT_FLOAT_EQ(KickFlash(ClockA(4000), 4), 1.0f);
  EXPECT_NEAR(KickFlash(ClockA(4500), 4), std::pow(0.5f, 6.0f), 1e-6);
  EXPECT_LT(KickFlash(ClockA(4990), 4), 1e-9f);
  EXPECT_EQ(KickFlash(ClockA(5000), 4), 0.0f);  // a full window later
}

TEST_F(KickRings, StateSurvivesBetweenFramesUnlessTheSecondChanges) {
  TestSetClock(7000);
  DrawKickRings();
  int64_t turn = quarterTurn;
  TestSetClock(7400);
  DrawKickRings();
  EXPECT_EQ(quarterTurn, turn);
  TestSetClock(8000);
  DrawKickRings();
  EXPECT_EQ(quarterTurn, (turn + 1) % 4);
}

TEST_F(KickRingsOnScreen, FiveDiscsAroundTheCentreAtTheClockOrigin) {
  TestSetClock(0);
  ClearFrame(Rgb(40, 40, 40));
  DrawKickRings();
  FrameBlock row = ReadFrameBlock(960, 540, 600, 1);
  ASSERT_EQ(row.pixels.size(), 600u);
  // Every disc edge steps the brightness down: radius r is in, r + 1 is out.
  for (int r : {80, 198, 316, 434, 552})
    EXPECT_GT(Brightness(row.At(960 + r, 540)), Brightness(row.At(961 + r, 540))) << r;
  EXPECT_EQ(row.At(960 + 553, 540) & 0xFFFFFF, Rgb(0, 0, 0));
  // The same on the left and straight up (the scene area clips at y = 200).
  FrameBlock left = ReadFrameBlock(960 - 553, 540, 2, 1);
  EXPECT_EQ(left.At(407, 540) & 0xFFFFFF, Rgb(0, 0, 0));
  EXPECT_NE(left.At(408, 540) & 0xFFFFFF, Rgb(0, 0, 0));
  FrameBlock up = ReadFrameBlock(960, 200, 1, 340);
  for (int r : {198, 316})
    EXPECT_GT(Brightness(up.At(960, 540 - r)), Brightness(up.At(960, 539 - r))) << r;
  // The bands stay as they were; the scene area outside the discs is black.
  EXPECT_EQ(FramePixel(5, 100) & 0xFFFFFF, Rgb(40, 40, 40));
  EXPECT_EQ(FramePixel(5, 300) & 0xFFFFFF, Rgb(0, 0, 0));
}

TEST_F(KickRingsOnScreen, SmallSpritesStayAtLeastSixPixelsAndComeBackNative) {
  std::string folder = TestScratchFolder("kick_rings");
  std::vector<uint8_t> rgba(10 * 10 * 4, 255);
  ASSERT_TRUE(WriteTestPng(folder + "tiny.png", 10, 10, 4, rgba));
  for (SpriteId id : {30, 31, 32}) {
    ASSERT_TRUE(LoadSpriteFile(id, folder + "tiny.png", SPRITE_KEEP_ALPHA));
    cachedSpriteWidth[id] = cachedSpriteHeight[id] = 10;
  }
  // 10 x every scale the orbit uses is at most six: each frame shows the
  // three copies as 6 x 6 squares, turned a little and apart by the split
  // (3 x 3 ones would light at most about 27 pixels).
  for (int64_t ms : {0, 1250, 2600, 5100, 9999}) {
    OrbitAlone();
    TestSetClock(ms);
    DrawKickRings();
    int lit = LitPixels();
    EXPECT_GE(lit, 30) << ms;
    EXPECT_LE(lit, 3 * 44) << ms;
    for (SpriteId id : {30, 31, 32}) {
      EXPECT_EQ(SpriteWidth(id), 10);
      EXPECT_EQ(SpriteHeight(id), 10);
    }
  }
}

TEST_F(KickRingsOnScreen, PulseSpritesAreNativeAndUprightAfterTheFrame) {
  ASSERT_TRUE(LoadAssetSprite(30, "pulse_r.png"));
  ASSERT_TRUE(LoadAssetSprite(31, "pulse_g.png"));
  ASSERT_TRUE(LoadAssetSprite(32, "pulse_b.png"));
  TestSetClock(3300);
  DrawKickRings();
  EXPECT_TRUE(DrawsLikeFreshCopy(30, "pulse_r.png"));
  EXPECT_TRUE(DrawsLikeFreshCopy(31, "pulse_g.png"));
  EXPECT_TRUE(DrawsLikeFreshCopy(32, "pulse_b.png"));
}

TEST_F(KickRingsOnScreen, BillboardStandInIsPutBackToo) {
  ASSERT_TRUE(LoadAssetSprite(20, "billboard.png"));
  OrbitAlone();
  TestSetClock(3300);
  DrawKickRings();
  EXPECT_GT(LitPixels(), 100);  // the orbit was drawn with the billboard
  EXPECT_TRUE(DrawsLikeFreshCopy(20, "billboard.png"));
}

TEST_F(KickRingsOnScreen, WithoutAnySpriteOnlyTheDiscsAreDrawn) {
  OrbitAlone();
  TestSetClock(3300);
  DrawKickRings();
  EXPECT_EQ(LitPixels(), 0);
  // With its tuning, the discs are all there is.
  InitKickRings();
  DrawKickRings();
  EXPECT_GT(LitPixels(), 100000);
}
