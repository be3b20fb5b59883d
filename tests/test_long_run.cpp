// A show left running for days: every pass through the timeline draws the
// clock-driven scenes exactly as the first pass did, and the kick rings' angle
// wrap takes no more steps a week in than in the first minute.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>

#include "driver/driver.h"
#include "effects/kick_rings.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "support/gl_display.h"
#include "support/scene_check.h"
#include "support/scene_checks.h"

namespace {
constexpr int64_t DAY_MS = 24 * 3600 * 1000LL;
constexpr int64_t SHOW_START_MS = 100000;

// Rows whose pictures follow from the clocks alone: rotozoom, twisters, billboard
// wave, carousel, red plasma, spiral, copper bars, floating billboards, wave bars.
constexpr int STATELESS_ROWS[] = {3, 4, 7, 8, 9, 10, 11, 15, 16};

uint64_t HashSceneArea() {
  FrameBlock block = ReadFrameBlock(0, 200, 1920, 680);
  uint64_t hash = 1469598103934665603ull;
  for (Colour c : block.pixels) hash = (hash ^ (c & 0xFFFFFF)) * 1099511628211ull;
  return block.pixels.empty() ? 0 : hash;
}

class LongRun : public ::testing::Test {
 protected:
  void TearDown() override {
    TestCaptureMessages(false);
    TestUseRealClock();
  }
  // Steps the scene switch 250 ms at a time until `row` is current.
  static void StepToRow(int row) {
    for (int guard = 0; currentScene != row && guard < 2000000; guard++) {
      TestAdvanceClock(250);
      UpdateSceneTime();
    }
  }
  // Walks one pass from its first frame and draws each stateless row 1234 ms
  // after it began (the flash is over by then), keyed by row.
  static std::map<int, uint64_t> DrawPass(bool firstPass) {
    std::map<int, uint64_t> frames;
    for (int row : STATELESS_ROWS) {
      StepToRow(row);
      TestSetClock(sceneStart + 1234);
      if (firstPass) {
        EXPECT_EQ(EffectClockMs(), ElapsedMs()) << row;
      }
      DrawFrame();
      frames[row] = HashSceneArea();
    }
    StepToRow(19);
    return frames;
  }
};
}  // namespace

TEST_F(LongRun, StatelessScenesRepeatEveryPassAfterAWeek) {
  ASSERT_TRUE(OpenTestDisplay());
  StartShowForTest(SHOW_START_MS, 77);
  EnterScene(0);
  std::map<int, uint64_t> first = DrawPass(true);
  for (auto& [row, hash] : first) EXPECT_NE(hash, 0u) << row;

  // The finale runs for a week; the next pass begins on the first frame after.
  TestSetClock(7 * DAY_MS);
  UpdateSceneTime();
  ASSERT_EQ(currentScene, 0);
  EXPECT_EQ(passCount, 2);
  EXPECT_EQ(EffectClockMs(), SHOW_START_MS);
  std::map<int, uint64_t> later = DrawPass(false);
  for (int row : STATELESS_ROWS) EXPECT_EQ(later[row], first[row]) << "row " << row;
  EXPECT_EQ(ElapsedMs() - EffectClockMs(), 7 * DAY_MS - SHOW_START_MS);
}

TEST_F(LongRun, EffectClockFollowsThePassThroughTheScenes) {
  SetStartValues();
  BuildTimeline();
  TestSetClock(5000);
  EXPECT_EQ(EffectClockMs(), 5000);  // before the show starts it is the program clock
  EnterScene(0);
  TestSetClock(9000);
  EnterScene(1);  // rows other than the first do not start a pass
  EXPECT_EQ(EffectClockMs(), 9000);
  TestSetClock(3 * DAY_MS);
  EnterScene(20);
  TestAdvanceClock(40);
  EXPECT_EQ(EffectClockMs(), 5040);
  // Timers that compare program-clock readings still see real time pass.
  EXPECT_EQ(ElapsedMs() - sceneStart, 40);
}

TEST(KickRingsLongRun, AngleWrapStepsAfterAWeekMatchTheFirstMinute) {
  SetStartValues();
  BuildTimeline();
  currentScene = 14;
  float f = CurrentSpeedFactor();
  auto stepsNow = [f] {
    int64_t steps = 0;
    for (int64_t turn = 0; turn < 4; turn++)
      for (int64_t j = 0; j < ORBIT_SPRITES; j++)
        WrapAngle(OrbitAngle(KickClock(), f, j) - (float)turn * 1.5707964f, &steps);
    return steps;
  };
  TestSetClock(0);
  EnterScene(0);
  currentScene = 14;
  TestSetClock(60000);
  int64_t firstMinute = stepsNow();
  EXPECT_GT(firstMinute, 4 * 100 * 30);  // about 38 turns per sprite
  // A pass that began a week in, one minute later.
  TestSetClock(7 * DAY_MS);
  EnterScene(20);
  currentScene = 14;
  TestSetClock(7 * DAY_MS + 60000);
  EXPECT_EQ(stepsNow(), firstMinute);

  // Even on the bare program clock no reading makes the loop longer than the
  // fold's limit of about 1300 turns per sprite.
  for (int64_t hours : {1, 24, 68, 24 * 7, 24 * 365}) {
    float a = (float)(hours * 3600 * 1000) * 0.0005f;
    int64_t steps = 0;
    for (int64_t j = 0; j < ORBIT_SPRITES; j++) WrapAngle(OrbitAngle(a, f, j), &steps);
    EXPECT_LE(steps, 1305 * ORBIT_SPRITES) << hours << " h";
  }
  TestUseRealClock();
}
