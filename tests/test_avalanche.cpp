// Logo avalanche state, driven step by step: the pool reset and the 70-body
// limit, walls, floor landings and sleep, pair pushes, the floor springs and
// what a calm or dented floor paints.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "effects/avalanche.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "support/scene_checks.h"

namespace {
const Colour STRIP = Rgb(10, 10, 18);

class Avalanche : public ::testing::Test {
 protected:
  void SetUp() override {
    screenWidth = 1920;
    screenHeight = 1080;
    InitAvalanche();
    TestSeedRandom(3);
    TestSetClock(100000);
    ResetAvalanche();
  }
  void TearDown() override { TestUseRealClock(); }
  // An awake body in play, well away from walls, floor and other bodies.
  static AvalancheBody& Body(int i, float x, float y, float radius = 20.0f) {
    AvalancheBody& b = bodies[i];
    b = AvalancheBody{};
    b.active = 1;
    b.x = x;
    b.y = y;
    b.radius = radius;
    b.sprite = 20;
    return b;
  }
};
}  // namespace

TEST_F(Avalanche, ResetLeavesAnEmptyPoolAndALevelFloor) {
  bodies[4].active = 1;
  floorY[7] = 900.0f;
  floorVel[7] = 3.0f;
  bodiesSpawned = 12;
  TestSetClock(123456);
  ResetAvalanche();
  for (const AvalancheBody& b : bodies) {
    EXPECT_EQ(b.active, 0);
    EXPECT_FLOAT_EQ(b.radius, 32.0f);
    EXPECT_EQ(b.sprite, 20);
  }
  EXPECT_FLOAT_EQ(floorRest, 845.0f);
  for (int k = 0; k < FLOOR_POINTS; k++) {
    EXPECT_FLOAT_EQ(floorY[k], 845.0f);
    EXPECT_FLOAT_EQ(floorVel[k], 0.0f);
  }
  EXPECT_EQ(bodiesSpawned, 0);
  EXPECT_EQ(lastBodySpawnMs, 123456);
  EXPECT_EQ(bodiesReady, 1);
}

TEST_F(Avalanche, SpawningTakesMoreThan175MsAndStopsAt70) {
  TestSetClock(100175);
  DrawLogoAvalanche();
  EXPECT_EQ(bodiesSpawned, 0);
  TestSetClock(100176);
  DrawLogoAvalanche();
  EXPECT_EQ(bodiesSpawned, 1);
  EXPECT_EQ(bodies[0].active, 1);
  int64_t now = 100176;
  for (int frame = 0; frame < 200; frame++) {
    now += 200;
    TestSetClock(now);
    DrawLogoAvalanche();
  }
  EXPECT_EQ(bodiesSpawned, 70);
  for (const AvalancheBody& b : bodies) EXPECT_EQ(b.active, 1);
  // The 70th spawn came 69 frames after the first; nothing was attempted since.
  EXPECT_EQ(lastBodySpawnMs, 100176 + 69 * 200);
}

TEST_F(Avalanche, SpawnDrawsInOrderAndFillsTheFirstFreeRecord) {
  bodies[0].active = 1;
  TestQueueRandom({1, 1000, 20, 90, 15, 180, 74});
  SpawnAvalancheBody();
  const AvalancheBody& b = bodies[1];
  EXPECT_EQ(b.active, 1);
  EXPECT_EQ(b.asleep, 0);
  EXPECT_FLOAT_EQ(b.x, 1080.0f);
  EXPECT_FLOAT_EQ(b.vx, 30.0f / 35.0f);
  EXPECT_FLOAT_EQ(b.vy, 15.0f / 40.0f);
  EXPECT_FLOAT_EQ(b.angle, 180.0f);
  EXPECT_FLOAT_EQ(b.spin, 2.0f);
  EXPECT_FLOAT_EQ(b.y, 200.0f - b.radius - 20.0f);
  EXPECT_EQ(bodiesSpawned, 1);
  for (AvalancheBody& r : bodies) r.active = 1;
  SpawnAvalancheBody();  // no free record: nothing happens
  EXPECT_EQ(bodiesSpawned, 1);
}

TEST_F(Avalanche, WallsUseTheCollisionRadius) {
  AvalancheBody& a = Body(0, 5.0f, 400.0f, 10.0f);
  a.vx = -2.0f;
  a.spin = 4.0f;
  AvalancheBody& c = Body(1, 1915.0f, 400.0f, 10.0f);
  c.vx = 1.0f;
  AvalancheBody& d = Body(2, 950.0f, 400.0f, 10.0f);
  d.x = 10.5f;  // one radius from the wall after a small step: untouched
  d.vx = -0.4f;
  MoveAvalancheBodies();
  EXPECT_FLOAT_EQ(a.x, 10.0f);
  EXPECT_FLOAT_EQ(a.vx, 2.0f * 0.998f * 0.75f);
  EXPECT_FLOAT_EQ(a.spin, -(4.0f * 0.965f) * 0.75f);
  EXPECT_FLOAT_EQ(c.x, 1910.0f);
  EXPECT_FLOAT_EQ(c.vx, -0.998f * 0.75f);
  EXPECT_FLOAT_EQ(d.x, 10.5f - 0.4f * 0.998f);
  EXPECT_LT(d.vx, 0.0f);
}

TEST_F(Avalanche, LandingKicksTheFloorAndASlowBodyFallsAsleep) {
  AvalancheBody& b = Body(0, 600.0f, 835.0f - 20.0f - 0.5f);
  b.vy = 0.3f;
  MoveAvalancheBodies();
  const float vy = (0.3f + 0.9f) * 0.998f;
  EXPECT_FLOAT_EQ(floorVel[10], vy * 0.42f);  // point nearest x / 60
  EXPECT_FLOAT_EQ(b.y, 815.0f);
  EXPECT_FLOAT_EQ(b.vy, 0.0f);
  EXPECT_EQ(b.asleep, 1);
  // Asleep, it is skipped by the motion step.
  MoveAvalancheBodies();
  EXPECT_FLOAT_EQ(b.y, 815.0f);
  EXPECT_FLOAT_EQ(b.vy, 0.0f);
}

TEST_F(Avalanche, FastLandingBouncesAndStaysAwake) {
  AvalancheBody& b = Body(0, 1895.0f, 814.0f);  // nearest point: the last, 32
  b.vy = 10.0f;
  MoveAvalancheBodies();
  const float vy = (10.0f + 0.9f) * 0.998f;
  EXPECT_FLOAT_EQ(floorVel[32], vy * 0.42f);
  EXPECT_FLOAT_EQ(b.vy, -vy * 0.2f);
  EXPECT_EQ(b.asleep, 0);
}

TEST_F(Avalanche, SleepingBodyStillTakesPushesAndWakes) {
  AvalancheBody& a = Body(0, 500.0f, 600.0f);
  AvalancheBody& c = Body(1, 530.0f, 600.0f);  // 10 px of overlap
  a.asleep = 1;
  PushAvalanchePairs();
  EXPECT_EQ(a.asleep, 0);
  EXPECT_EQ(c.asleep, 0);
  EXPECT_FLOAT_EQ(a.x, 495.0f);
  EXPECT_FLOAT_EQ(c.x, 535.0f);
  EXPECT_FLOAT_EQ(a.vx, -5.8f);
  EXPECT_FLOAT_EQ(c.vx, 5.8f);
  EXPECT_FLOAT_EQ(a.spin, -5.8f * 0.04f);
  EXPECT_FLOAT_EQ(c.spin, 5.8f * 0.04f);
  EXPECT_FLOAT_EQ(a.y, 600.0f);
}

TEST_F(Avalanche, PairsTooCloseTooFarOrInactiveAreNotPushed) {
  AvalancheBody& a = Body(0, 500.0f, 600.0f);
  AvalancheBody& c = Body(1, 500.005f, 600.0f);  // d <= 0.01
  AvalancheBody& e = Body(2, 900.0f, 600.0f);
  AvalancheBody& f = Body(3, 940.0f, 600.0f);  // exactly touching: d = reach
  AvalancheBody& g = Body(4, 1300.0f, 600.0f);
  AvalancheBody& h = Body(5, 1310.0f, 600.0f);
  h.active = 0;
  a.asleep = c.asleep = 1;
  PushAvalanchePairs();
  EXPECT_FLOAT_EQ(a.x, 500.0f);
  EXPECT_FLOAT_EQ(c.x, 500.005f);
  EXPECT_EQ(a.asleep, 1);
  EXPECT_EQ(c.asleep, 1);
  EXPECT_FLOAT_EQ(e.x, 900.0f);
  EXPECT_FLOAT_EQ(f.x, 940.0f);
  EXPECT_FLOAT_EQ(g.x, 1300.0f);
  EXPECT_FLOAT_EQ(h.x, 1310.0f);
  EXPECT_FLOAT_EQ(g.vx, 0.0f);
}

TEST_F(Avalanche, FloorPointsSpringBackAndCoupleToTheirNeighbours) {
  floorVel[10] = 5.0f;
  StepAvalancheFloor();
  EXPECT_FLOAT_EQ(floorY[10], 845.0f + 5.0f * 0.85f);
  // Every point moves first; then the neighbours 9 and 11 are pulled after point 10.
  EXPECT_FLOAT_EQ(floorVel[9], (4.25f / 2.0f) * 0.035f);
  EXPECT_GT(floorVel[11], 0.0f);
  EXPECT_FLOAT_EQ(floorVel[0], 0.0f);
  for (int n = 0; n < 400; n++) StepAvalancheFloor();
  for (int k = 0; k < FLOOR_POINTS; k++) EXPECT_NEAR(floorY[k], 845.0f, 0.01f) << k;
}

TEST_F(Avalanche, CalmFloorShowsOnlyItsDarkStrip) {
  MemoryOutput out(1920, 1080, UNTOUCHED);
  ASSERT_TRUE(out.Begin());
  PaintAvalancheFloor();
  EndScreenDrawing();
  EXPECT_EQ(out.At(0, 834), UNTOUCHED_COLOUR);
  for (int y = 835; y <= 879; y++) EXPECT_EQ(out.At(1000, y), STRIP) << y;
  EXPECT_EQ(out.At(1000, 880), UNTOUCHED_COLOUR);
  EXPECT_EQ(CountColour(out, STRIP), 1920 * 45);
  // Level to within half a pixel still counts as calm.
  floorY[3] = 845.4f;
  ASSERT_TRUE(out.Begin());
  PaintAvalancheFloor();
  EndScreenDrawing();
  EXPECT_EQ(CountColour(out, Rgb(0, 255, 255)), 0);
  EXPECT_EQ(CountColour(out, Rgb(255, 0, 180)), 0);
}

TEST_F(Avalanche, DentedFloorDrawsTheDoubleLineOnBothSides) {
  floorY[10] = 851.0f;  // segments 9 and 10 slope by 6 pixels
  MemoryOutput out(1920, 1080, UNTOUCHED);
  ASSERT_TRUE(out.Begin());
  PaintAvalancheFloor();
  EndScreenDrawing();
  EXPECT_EQ(out.At(540, 845), Rgb(0, 255, 255));  // segment 9 starts at x = 540
  EXPECT_EQ(out.At(540, 848), Rgb(255, 0, 180));
  EXPECT_EQ(out.At(600, 851), Rgb(0, 255, 255));  // segment 10 starts at the dent
  EXPECT_EQ(out.At(600, 854), Rgb(255, 0, 180));
  EXPECT_EQ(out.At(200, 845), STRIP);  // level segments draw nothing
  const int cyan = CountColour(out, Rgb(0, 255, 255));
  EXPECT_GE(cyan, 2 * 62 - 4);  // two 62-pixel-wide lines, partly overdrawn
  EXPECT_LE(cyan, 2 * 62);
}
