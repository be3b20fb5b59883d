// Finale: the steam's first frames, its on/off and puff timing rules, a full
// pool, the order of a puff's random draws, and the picture on the black screen.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "effects/effects.h"
#include "effects/finale.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/font.h"
#include "render/sprite.h"
#include "support/gl_display.h"
#include "support/scene_check.h"

namespace {
constexpr int FINALE_ROW = 19;

class Finale : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenTestDisplay());
    FreeAllSprites();
    ASSERT_TRUE(LoadAssetSprite(21, "billboard2.png"));
    fontPath = std::string(ZYNTRAX_ASSET_DIR) + "/police20.png";
    fontReady = 0;
    LoadFontSprite();
    ASSERT_EQ(fontReady, 1);
    InitFinale();
    InitGlitchText();
    UseTimelineRow(FINALE_ROW);
    TestSeedRandom(3);
    TestSetClock(200000);
  }
  void TearDown() override { TestUseRealClock(); }

  static int Active() {
    int n = 0;
    for (const SteamPuff& puff : steamPuffs) n += puff.active != 0;
    return n;
  }
  // Nostrils of the 1.5 x picture whose top-left is (768, 348).
  static constexpr float LEFT_X = 768.0f + 135.0f, RIGHT_X = 768.0f + 262.5f, NOSE_Y = 348.0f + 217.5f;
};
}  // namespace

TEST_F(Finale, FirstFrameHasNoSteamAndTheSecondEmitsFour) {
  DrawFinale();
  EXPECT_EQ(Active(), 0);
  EXPECT_EQ(steamReady, 1);
  EXPECT_EQ(steamOn, 1);
  EXPECT_EQ(steamToggleMs, 200000);
  EXPECT_EQ(lastPuffMs, 200000);
  TestSetClock(200025);
  DrawFinale();
  ASSERT_EQ(Active(), 4);
  for (int i = 0; i < 4; i++) {
    const SteamPuff& puff = steamPuffs[i];
    float nostril = i < 2 ? LEFT_X : RIGHT_X;
    EXPECT_NEAR(puff.x, nostril, 4.0f + 0.76f) << i;  // jitter plus one step
    EXPECT_EQ(puff.vx < 0, i < 2) << i;                // left pair drifts left
    EXPECT_GT(puff.y, NOSE_Y);                          // shot downwards
  }
  EXPECT_EQ(lastPuffMs, 200025);
}

TEST_F(Finale, PuffsNeedMoreThanTheIntervalAndTheSteamTurnsOffOnTime) {
  DrawFinale();
  TestSetClock(200024);  // exactly 24 ms: not yet
  EmitSteam(768.0f, 348.0f, 1.5f);
  EXPECT_EQ(Active(), 0);
  TestSetClock(200025);
  EmitSteam(768.0f, 348.0f, 1.5f);
  EXPECT_EQ(Active(), 4);

  TestSetClock(204499);
  EmitSteam(768.0f, 348.0f, 1.5f);
  EXPECT_EQ(steamOn, 1);
  TestSetClock(204500);  // exactly 4500 ms after switching on: off
  EmitSteam(768.0f, 348.0f, 1.5f);
  EXPECT_EQ(steamOn, 0);
  EXPECT_EQ(steamToggleMs, 204500);
  EXPECT_EQ(Active(), 8);  // the 204499 frame still puffed; none since
  TestSetClock(208499);
  EmitSteam(768.0f, 348.0f, 1.5f);
  EXPECT_EQ(steamOn, 0);
  EXPECT_EQ(Active(), 8);
  TestSetClock(208500);  // 4000 ms off: on again, and puffing at once
  EmitSteam(768.0f, 348.0f, 1.5f);
  EXPECT_EQ(steamOn, 1);
  EXPECT_EQ(Active(), 12);
}

TEST_F(Finale, FullPoolDropsTheRightNostrilsPuffs) {
  DrawFinale();
  for (int i = 0; i < 178; i++) steamPuffs[i].active = 1;
  TestSetClock(200100);
  EmitSteam(768.0f, 348.0f, 1.5f);
  EXPECT_EQ(Active(), 180);
  EXPECT_LT(steamPuffs[178].vx, 0.0f);
  EXPECT_LT(steamPuffs[179].vx, 0.0f);
  EXPECT_NEAR(steamPuffs[179].x, LEFT_X, 4.0f);
  TestSetClock(200200);
  EmitSteam(768.0f, 348.0f, 1.5f);  // nothing free: silently nothing
  EXPECT_EQ(Active(), 180);
}

TEST_F(Finale, PuffTakesItsRandomNumbersInOrder) {
  ResetSteam();
  TestQueueRandom({8, 0, 60, 90, 45, 4, 10, 70});
  SpawnSteamPuff(100.0f, 200.0f, +1);
  const SteamPuff& puff = steamPuffs[0];
  EXPECT_EQ(puff.active, 1);
  EXPECT_FLOAT_EQ(puff.x, 104.0f);
  EXPECT_FLOAT_EQ(puff.y, 197.0f);
  EXPECT_FLOAT_EQ(puff.vx, 0.75f);
  EXPECT_FLOAT_EQ(puff.vy, 5.75f);
  EXPECT_FLOAT_EQ(puff.maxLife, 70.0f);
  EXPECT_FLOAT_EQ(puff.life, 70.0f);
  EXPECT_FLOAT_EQ(puff.size, 7.0f);
  EXPECT_FLOAT_EQ(puff.growth, 0.18f);
  EXPECT_FLOAT_EQ(puff.baseAlpha, 170.0f);
}

TEST_F(Finale, PuffsAgeAndDrawAndALastFramePuffIsNotDrawn) {
  ResetSteam();
  SteamPuff& dying = steamPuffs[0];
  dying = SteamPuff{1, 300.0f, 300.0f, 0.0f, 0.0f, 1.0f, 50.0f, 20.0f, 0.0f, 170.0f};
  SteamPuff& live = steamPuffs[1];
  live = SteamPuff{1, 600.0f, 600.0f, 0.0f, 0.0f, 50.0f, 50.0f, 10.0f, 0.0f, 170.0f};
  ClearFrame(Rgb(0, 0, 0));
  UpdateSteam();
  EXPECT_EQ(dying.active, 0);
  EXPECT_EQ(FramePixel(300, 300) & 0xFFFFFF, Rgb(0, 0, 0));
  EXPECT_EQ(live.life, 49.0f);
  EXPECT_FLOAT_EQ(live.y, 600.0f - 0.032f);
  // Pale core over a dim halo: alpha 167 of (210, 220, 230) over 35 % of it.
  Colour core = FramePixel(600, 600);
  EXPECT_NEAR(RedOf(core), (18 * 88 + 210 * 167) / 255, 2);
  EXPECT_NEAR(BlueOf(core), (20 * 88 + 230 * 167) / 255, 2);
  EXPECT_EQ(FramePixel(600, 600 + 13) & 0xFFFFFF, Rgb(0, 0, 0));  // outside r + 2 = 12
  EXPECT_NE(FramePixel(600, 600 + 11) & 0xFFFFFF, Rgb(0, 0, 0));  // the halo
}

TEST_F(Finale, CowInTheMiddleOfABlackScreenAndTheWordsBelow) {
  ClearFrame(Rgb(90, 90, 90));
  DrawFinale();
  EXPECT_EQ(SpriteWidth(21), 256);  // drawn at 384 x 384, put back
  EXPECT_EQ(FramePixel(100, 100) & 0xFFFFFF, Rgb(0, 0, 0));
  EXPECT_EQ(FramePixel(1800, 1000) & 0xFFFFFF, Rgb(0, 0, 0));
  EXPECT_GT(ReadFrameBlock(768, 348, 384, 384).CountNot(Rgb(0, 0, 0)), 384 * 384 / 8);
  EXPECT_EQ(ReadFrameBlock(700, 300, 68, 400).CountNot(Rgb(0, 0, 0)), 0);
  // The glitching words sit 35 pixels below the picture (row 767, give or
  // take the jitter), their white base layer over the coloured ones.
  EXPECT_EQ(ReadFrameBlock(0, 733, 1920, 30).CountNot(Rgb(0, 0, 0)), 0);
  FrameBlock words = ReadFrameBlock(0, 766, 1920, 24);
  EXPECT_GT(words.CountNot(Rgb(0, 0, 0)), 500);
  int white = 0;
  for (Colour c : words.pixels) white += (c & 0xFFFFFF) == Rgb(255, 255, 255);
  EXPECT_GT(white, 200);
}
