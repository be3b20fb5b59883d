// The timeline table and the effect table it names, the scene switch rule and
// the scene-entry state.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"

namespace {
class Timeline : public ::testing::Test {
 protected:
  void SetUp() override {
    TestSetClock(1000);
    timeline.clear();
    lastSceneIndex = -1;
    BuildTimeline();
  }
  void TearDown() override { TestUseRealClock(); }
};
}  // namespace

TEST_F(Timeline, HasTwentyRowsTotallingTheShowLength) {
  EXPECT_EQ(lastSceneIndex, 19);
  ASSERT_EQ(timeline.size(), 20u);
  int64_t total = 0;
  for (const TimelineRecord& row : timeline) {
    total += row.durationMs;
    EXPECT_TRUE(row.headerText.empty());
    EXPECT_TRUE(row.speedFactor == 4.0f || row.speedFactor == 5.0f);
    EXPECT_GE(row.headerImage, 0);
    EXPECT_LE(row.headerImage, 4);
  }
  EXPECT_EQ(total, 373500);
  EXPECT_EQ(timeline[0].effectNumber, 0);
  EXPECT_EQ(timeline[6].effectNumber, 14);
  EXPECT_EQ(timeline[17].effectNumber, 19);
  EXPECT_EQ(timeline[19].effectNumber, 18);
  EXPECT_EQ(timeline[19].durationMs, 220000);
}

// Each effect the timeline plays has exactly one row in the effect table, and
// a number without a row draws nothing.
TEST_F(Timeline, EveryRowsEffectHasOneTableRow) {
  for (const TimelineRecord& row : timeline) {
    const EffectRow* effect = FindEffect(row.effectNumber);
    ASSERT_NE(effect, nullptr) << row.effectNumber;
    EXPECT_NE(effect->draw, nullptr) << row.effectNumber;
    EXPECT_EQ(std::count_if(std::begin(EFFECTS), std::end(EFFECTS),
                            [&](const EffectRow& r) { return r.number == row.effectNumber; }), 1);
  }
  EXPECT_EQ(FindEffect(12), nullptr);
  EXPECT_EQ(FindEffect(-1), nullptr);
}

TEST_F(Timeline, AddingARowKeepsTheOthers) {
  AddTimelineRecord(5, 99, 1, u"TITLE", 4.0f);
  EXPECT_EQ(lastSceneIndex, 20);
  EXPECT_EQ(timeline[20].headerText, u"TITLE");
  EXPECT_EQ(timeline[0].durationMs, 17000);
}

TEST_F(Timeline, EnteringASceneArmsTheFlashAndSetsTheBands) {
  EnterScene(19);
  EXPECT_EQ(currentScene, 19);
  EXPECT_EQ(sceneStart, 1000);
  EXPECT_EQ(sceneFlashStartMs, 1000);
  EXPECT_EQ(sceneFlashActive, 1);
  EXPECT_EQ(topBandOn, 0);
  EXPECT_EQ(bottomBandOn, 0);
  EnterScene(20);  // past the last row: the show loops
  EXPECT_EQ(currentScene, 0);
  EXPECT_EQ(topBandOn, 1);
  EXPECT_EQ(bottomBandOn, 1);
  EXPECT_EQ(CurrentSpeedFactor(), 4.0f);
  EnterScene(1);
  EXPECT_EQ(CurrentSpeedFactor(), 5.0f);
}

TEST(WindowGeometry, FollowsTheDesktop) {
  screenWidth = 1920;
  screenHeight = 1080;
  desktopWidth = 1920;
  desktopHeight = 1080;
  ComputeWindowGeometry();
  EXPECT_EQ(windowScaled, 0);
  EXPECT_EQ(windowWidth, 1920);
  EXPECT_EQ(windowHeight, 1080);
  EXPECT_EQ(windowX, 0);
  EXPECT_EQ(windowY, 0);

  desktopWidth = 2560;
  desktopHeight = 1440;
  ComputeWindowGeometry();
  EXPECT_EQ(windowScaled, 0);
  EXPECT_EQ(windowX, 320);
  EXPECT_EQ(windowY, 180);

  desktopWidth = 1366;
  desktopHeight = 768;
  ComputeWindowGeometry();
  EXPECT_EQ(windowScaled, 1);
  EXPECT_NEAR(windowScale, 0.65422f, 0.000005f);
  EXPECT_EQ(windowWidth, 1256);
  EXPECT_EQ(windowHeight, 707);
  EXPECT_EQ(windowX, 55);
  EXPECT_EQ(windowY, 30);

  desktopWidth = 1280;
  desktopHeight = 1024;
  ComputeWindowGeometry();
  EXPECT_NEAR(windowScale, 0.61333f, 0.000005f);
  EXPECT_EQ(windowWidth, 1178);
  EXPECT_EQ(windowHeight, 662);
  EXPECT_EQ(windowX, 51);
  EXPECT_EQ(windowY, 181);
}

TEST(Texts, HaveTheirLengthsAndShapes) {
  SetStartValues();
  ASSERT_EQ(scrollText.size(), 1218u);
  EXPECT_EQ(scrollText.find_first_not_of(u' '), 12u);
  EXPECT_EQ(scrollText.find_last_not_of(u' '), 1218u - 256u);
  EXPECT_EQ(std::count(scrollText.begin(), scrollText.end(), u'\u2026'), 1);
  EXPECT_NE(scrollText.find(u"ZORLA-WORX"), std::u16string::npos);
  EXPECT_NE(scrollText.find(u"ZYNTRAX"), std::u16string::npos);
  ASSERT_EQ(launcherText.size(), 315u);
  EXPECT_EQ(launcherText.find_first_not_of(u' '), 3u);
  EXPECT_EQ(launcherText.find_last_not_of(u' '), 315u - 14u);
  EXPECT_EQ(std::count(launcherText.begin(), launcherText.end(), u'\u2014'), 1);
  EXPECT_EQ(std::count(launcherText.begin(), launcherText.end(), u'\u2019'), 1);
}
