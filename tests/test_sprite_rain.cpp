// Sprite rain: the first wave's draws, the respawn rule at the band bottom,
// depth, scale and intensity at and beyond the band, and frozen drops.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "effects/effects.h"
#include "effects/sprite_rain.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/sprite.h"
#include "support/gl_display.h"
#include "support/scene_check.h"

namespace {
constexpr int RAIN_ROW = 18;
constexpr Colour BACKGROUND = Rgb(5, 5, 18);
constexpr SpriteId MISSING = 60;

class SpriteRain : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenTestDisplay());
    FreeAllSprites();
    for (auto [id, file] : {std::pair<SpriteId, const char*>{20, "billboard.png"},
                            {21, "billboard2.png"}, {23, "billboard3.png"}, {25, "billboard4.png"},
                            {30, "pulse_r.png"}, {31, "pulse_g.png"}, {32, "pulse_b.png"}})
      ASSERT_TRUE(LoadAssetSprite(id, file));
    InitSpriteRain();
    UseTimelineRow(RAIN_ROW);  // speed factor 5
    TestSeedRandom(11);
    TestSetClock(150000);
  }
  void TearDown() override { TestUseRealClock(); }

  // Every drop but the first made to stand still, out of the way.
  void KeepOnlyFirstDrop() {
    for (int64_t i = 1; i < RAIN_DROPS; i++) dropSprite[i] = MISSING;
  }
};
}  // namespace

TEST_F(SpriteRain, FirstFrameDealsTheWholeFirstWave) {
  DrawSpriteRain();
  EXPECT_EQ(rainReady, 1);
  for (int64_t i = 0; i < RAIN_DROPS; i++) {
    EXPECT_TRUE(dropSprite[i] == 20 || dropSprite[i] == 21 || dropSprite[i] == 23 || dropSprite[i] == 25);
    EXPECT_GE(dropX[i], 0.0f);
    EXPECT_LE(dropX[i], 1920.0f);
    EXPECT_GE(dropSpeed[i], 2.0f);
    EXPECT_LE(dropSpeed[i], 7.0f);
    EXPECT_GE(dropPhase[i], 0.0f);
    EXPECT_LE(dropPhase[i], 6.28f);
    EXPECT_GE(dropScaleTop[i], 0.2f - 1e-6f);
    EXPECT_LE(dropScaleTop[i], 0.45f);
    EXPECT_GE(dropScaleBottom[i], 0.01f);
    EXPECT_LE(dropScaleBottom[i], 0.19f + 1e-6f);
    // Dealt inside the band, then one fall of speed x 5.
    EXPECT_GE(dropY[i], 200.0f + dropSpeed[i] * 5.0f - 1e-3f);
    EXPECT_LE(dropY[i], 880.0f + dropSpeed[i] * 5.0f + 1e-3f);
  }
  EXPECT_EQ(SpriteWidth(20), 256);  // every draw puts its sprite back
}

TEST_F(SpriteRain, DropExactlyAtTheBottomEdgeIsNotYetRespawned) {
  DrawSpriteRain();
  KeepOnlyFirstDrop();
  dropSprite[0] = 30;  // 64 pixels high
  dropSpeed[0] = 2.0f;
  dropY[0] = 880.0f + 64.0f - 10.0f;
  DrawSpriteRain();
  EXPECT_EQ(dropY[0], 944.0f);
  EXPECT_EQ(dropSprite[0], 30);
  DrawSpriteRain();  // now below: back above the band as a pulse sprite
  EXPECT_LE(dropY[0], 200.0f - 64.0f);
  EXPECT_GE(dropY[0], 200.0f - 64.0f - 120.0f);
  EXPECT_TRUE(dropSprite[0] == 30 || dropSprite[0] == 31 || dropSprite[0] == 32);
  EXPECT_GE(dropSpeed[0], 2.0f);
  EXPECT_LE(dropSpeed[0], 7.0f);
  EXPECT_EQ(RainDepth(dropY[0]), 0.0f);
}

TEST_F(SpriteRain, DepthScaleAndIntensityHoldAtAndBeyondTheBand) {
  DrawSpriteRain();
  dropScaleTop[0] = 0.45f;
  dropScaleBottom[0] = 0.01f;
  EXPECT_EQ(RainDepth(-300.0f), 0.0f);
  EXPECT_EQ(RainDepth(200.0f), 0.0f);
  EXPECT_FLOAT_EQ(RainDepth(540.0f), 0.5f);
  EXPECT_EQ(RainDepth(880.0f), 1.0f);
  EXPECT_EQ(RainDepth(2000.0f), 1.0f);
  EXPECT_FLOAT_EQ(RainScale(0, 0.0f), 0.45f);
  EXPECT_FLOAT_EQ(RainScale(0, 1.0f), 0.05f);  // never below 0.05
  EXPECT_EQ(RainIntensity(0.0f), 255);
  EXPECT_EQ(RainIntensity(1.0f), 100);
  EXPECT_EQ(RainIntensity(0.5f), 178);  // 177.5 to even
}

TEST_F(SpriteRain, DropOfAMissingSpriteIsFrozen) {
  DrawSpriteRain();
  dropSprite[7] = MISSING;
  dropY[7] = 5000.0f;  // far past the bottom: would respawn if it moved
  float x = dropX[7], speed = dropSpeed[7];
  for (int i = 0; i < 3; i++) DrawSpriteRain();
  EXPECT_EQ(dropY[7], 5000.0f);
  EXPECT_EQ(dropX[7], x);
  EXPECT_EQ(dropSpeed[7], speed);
  EXPECT_EQ(dropSprite[7], MISSING);
}

TEST_F(SpriteRain, OneDropOverTheDarkBand) {
  DrawSpriteRain();
  KeepOnlyFirstDrop();
  dropSprite[0] = 31;
  dropX[0] = 960.0f;
  dropY[0] = 530.0f;
  dropSpeed[0] = 2.0f;
  ClearFrame(Rgb(200, 0, 0));
  DrawSpriteRain();
  EXPECT_EQ(FramePixel(100, 300) & 0xFFFFFF, BACKGROUND);
  EXPECT_EQ(FramePixel(100, 100) & 0xFFFFFF, Rgb(200, 0, 0));
  // Centred at (960 + sway, 540), at most 45 % of 64 pixels, sway at most 42.
  FrameBlock around = ReadFrameBlock(900, 510, 120, 60);
  EXPECT_GT(around.CountNot(BACKGROUND), 20);
  EXPECT_EQ(ReadFrameBlock(700, 300, 100, 100).CountNot(BACKGROUND), 0);
  EXPECT_TRUE(DrawsLikeFreshCopy(31, "pulse_g.png"));
}
