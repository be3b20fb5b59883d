// The black hole's particle pool: spawning on its interval, the pool limit,
// the order of the random draws, and swallowing without drawing.
#include <gtest/gtest.h>

#include <cmath>

#include "driver/driver.h"
#include "effects/black_hole.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/draw.h"
#include "support/gl_display.h"
#include "support/scene_check.h"
#include "support/memory_output.h"
#include "support/solid_sprite.h"

namespace {
constexpr float CX = 960.0f, CY = 540.0f;

class BlackHole : public ::testing::Test {
 protected:
  void SetUp() override {
    TestSetClock(1000);
    TestSeedRandom(7);
    InitBlackHole();
    ResetSuctionParticles();
  }
  void TearDown() override { TestUseRealClock(); }

  // Places one live particle at (x, y) at rest.
  SuctionParticle& Place(int slot, float x, float y, float life) {
    SuctionParticle& p = suctionParticles[slot];
    p = {1, x, y, 0, 0, life, 200.0f, 3.0f, (int64_t)Rgb(255, 255, 255)};
    return p;
  }
  // One particle step painted into a black memory picture; returns how many
  // pixels changed.
  int StepAndCountPainted() {
    MemoryOutput out(1920, 1080, 0);
    EXPECT_TRUE(out.Begin());
    SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
    MoveSuctionParticles(CX, CY, 115.0f, true);
    EndScreenDrawing();
    int painted = 0;
    for (uint8_t b : out.bytes) painted += b != 0;
    return painted;
  }
};
}  // namespace

TEST_F(BlackHole, SpawnsTwoParticlesOnceMoreThan212MsHavePassed) {
  TestSetClock(1212);
  UpdateSuctionParticles(CX, CY, 115.0f);
  EXPECT_EQ(LiveSuctionParticles(), 0);  // exactly the interval is not yet due
  TestSetClock(1213);
  UpdateSuctionParticles(CX, CY, 115.0f);
  EXPECT_EQ(LiveSuctionParticles(), 2);
  EXPECT_EQ(lastSpawnMs, 1213);
  TestSetClock(1300);
  UpdateSuctionParticles(CX, CY, 115.0f);
  EXPECT_EQ(LiveSuctionParticles(), 2);
  TestSetClock(1426);
  UpdateSuctionParticles(CX, CY, 115.0f);
  EXPECT_EQ(LiveSuctionParticles(), 4);
}

TEST_F(BlackHole, PoolHoldsAtMost130AndSkipsSpawnsWhenFull) {
  for (int i = 0; i < 140; i++) SpawnSuctionParticle(CX, CY);
  EXPECT_EQ(LiveSuctionParticles(), PARTICLE_COUNT);
  // Many frames of spawning: never more than the pool.
  for (int f = 0; f < 400; f++) {
    TestAdvanceClock(250);
    UpdateSuctionParticles(CX, CY, 115.0f);
    ASSERT_LE(LiveSuctionParticles(), PARTICLE_COUNT);
  }
  // A freed slot is the one the next spawn fills.
  for (SuctionParticle& p : suctionParticles) p.active = 1;
  suctionParticles[57].active = 0;
  SpawnSuctionParticle(CX, CY);
  EXPECT_EQ(suctionParticles[57].active, 1);
}

TEST_F(BlackHole, SpawnTakesItsRandomDrawsInOrder) {
  // angle 314 / 100, distance 0 + 260, speeds 40 and 20, life 0 + 160, size 0 + 2, colour 2
  TestQueueRandom({314, 0, 40, 20, 0, 0, 2});
  SpawnSuctionParticle(CX, CY);
  const SuctionParticle& p = suctionParticles[0];
  EXPECT_EQ(p.active, 1);
  EXPECT_NEAR(p.x, CX - 260.0f, 0.01f);
  EXPECT_NEAR(p.y, CY, 0.5f);
  EXPECT_NEAR(p.vx, 0.0f, 0.01f);
  EXPECT_NEAR(p.vy, -0.2f, 0.001f);
  EXPECT_EQ(p.maxLife, 160.0f);
  EXPECT_EQ(p.life, 160.0f);
  EXPECT_EQ(p.size, 2.0f);
  EXPECT_EQ(p.colour, (int64_t)Rgb(140, 0, 255));
}

TEST_F(BlackHole, ParticleInsideTheCoreMarginIsRemovedWithoutDrawing) {
  Place(0, CX + 132.0f, CY, 100.0f);
  Place(1, CX, CY - 20.0f, 100.0f);
  EXPECT_EQ(StepAndCountPainted(), 0);
  EXPECT_EQ(LiveSuctionParticles(), 0);
}

TEST_F(BlackHole, ParticleAtTheMarginOrBeyondIsMovedAndDrawn) {
  SuctionParticle& edge = Place(0, CX + 133.0f, CY, 100.0f);
  EXPECT_GT(StepAndCountPainted(), 0);
  EXPECT_EQ(edge.active, 1);
  EXPECT_LT(edge.x, CX + 133.0f);  // pulled in
  EXPECT_LT(edge.vy, 0.0f);        // and swirled
  EXPECT_EQ(edge.life, 99.0f);
}

TEST_F(BlackHole, ParticleOutOfLifeIsRemovedWithoutDrawing) {
  Place(0, CX + 400.0f, CY, 1.0f);
  EXPECT_EQ(StepAndCountPainted(), 0);
  EXPECT_EQ(LiveSuctionParticles(), 0);
}

TEST_F(BlackHole, SpeedIsCappedAtMaxSpeed) {
  SuctionParticle& p = Place(0, CX + 700.0f, CY, 100.0f);
  p.vx = -40.0f;
  StepAndCountPainted();
  EXPECT_NEAR(std::sqrt(p.vx * p.vx + p.vy * p.vy), MAX_SPEED, 1e-3);
}

TEST_F(BlackHole, FirstUpdateWithoutResetClearsThePoolAndWaitsAnInterval) {
  Place(3, CX + 400.0f, CY, 100.0f);
  particlesReady = 0;
  TestSetClock(5000);
  UpdateSuctionParticles(CX, CY, 115.0f);
  EXPECT_EQ(particlesReady, 1);
  EXPECT_EQ(lastSpawnMs, 5000);
  EXPECT_EQ(LiveSuctionParticles(), 0);
}

TEST_F(BlackHole, EnteringTheSceneRowResetsThePool) {
  UseTimelineRow(11);
  Place(9, CX + 400.0f, CY, 100.0f);
  TestSetClock(8000);
  EnterScene(12);  // black hole row
  EXPECT_EQ(LiveSuctionParticles(), 0);
  EXPECT_EQ(lastSpawnMs, 8000);
  EXPECT_EQ(suctionParticles[9].x, 0.0f);
  EXPECT_EQ(suctionParticles[9].size, 1.0f);
}

// ---- the whole scene on a real display ----
namespace {
class BlackHoleFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenTestDisplay());
    FreeAllSprites();
    UseTimelineRow(12);
    InitBlackHole();
    TestSetClock(0);  // hole at (960, 810)
    ResetSuctionParticles();
  }
  void TearDown() override { TestUseRealClock(); }
};

void ExpectNear(Colour got, int r, int g, int b) {
  EXPECT_NEAR(RedOf(got), r, 2);
  EXPECT_NEAR(GreenOf(got), g, 2);
  EXPECT_NEAR(BlueOf(got), b, 2);
}
}  // namespace

TEST_F(BlackHoleFrames, GlowRingAndDarkCoreWithoutBackground) {
  DrawBlackHole();
  ExpectNear(FramePixel(960 + 230, 810), 45, 0, 31);  // magenta glow only
  ExpectNear(FramePixel(960 - 230, 810), 45, 0, 31);
  ExpectNear(FramePixel(960, 620), 29, 20, 39);    // 190 px out: glow, cyan, first shade
  ExpectNear(FramePixel(880, 910), 16, 11, 22);    // 128 px out: the darkest core
  EXPECT_EQ(FramePixel(5, 205), Rgb(0, 0, 0));  // black under the veil
}

TEST_F(BlackHoleFrames, BackgroundIsVeiledAndKeepsItsNativeSize) {
  ASSERT_TRUE(LoadSolidSprite(29, 1388, 618, Rgb(0, 200, 0), false));
  DrawBlackHole();
  ExpectNear(FramePixel(5, 205), 0, 90, 0);  // 200 x 115 / 255
  ExpectNear(FramePixel(1914, 874), 0, 90, 0);
  EXPECT_EQ(SpriteWidth(29), 1388);
  EXPECT_EQ(SpriteHeight(29), 618);
}

TEST_F(BlackHoleFrames, ParticlesSpawnAfterTheIntervalAndShow) {
  DrawBlackHole();
  EXPECT_EQ(LiveSuctionParticles(), 0);
  TestSetClock(213);
  DrawBlackHole();
  EXPECT_EQ(LiveSuctionParticles(), 2);
}
