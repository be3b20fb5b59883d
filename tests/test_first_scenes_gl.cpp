// The first scenes of the show on a real GL frame: the sliding pictures where
// their clocks put them, plasma blocks in their colours, the equalizer floor,
// the rotozoom's centre texel and fallback band, ribbon slices, the avalanche's
// strip; and a screenshot of each scene to look at.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "driver/driver.h"
#include "effects/avalanche.h"
#include "effects/equalizer.h"
#include "effects/effects.h"
#include "effects/plasma.h"
#include "effects/twisters.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/sprite.h"
#include "support/gl_display.h"
#include "support/scene_checks.h"
#include "support/solid_sprite.h"

namespace {
const Colour SOLID = Rgb(0, 200, 40);

class FirstScenes : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenTestDisplay());
    StartShowForTest(100000, 99);
  }
  void TearDown() override {
    TestCaptureMessages(false);
    TestUseRealClock();
  }
  // Makes row `row` current as if it had begun at sceneStartMs, the clock at nowMs.
  static void AtRow(int row, int64_t sceneStartMs, int64_t nowMs) {
    currentScene = row;
    sceneStart = sceneStartMs;
    TestSetClock(nowMs);
    ClearFrame(Rgb(1, 2, 3));
  }
  static void Reload(SpriteId id, const char* file) {
    ASSERT_TRUE(LoadSpriteFile(id, assetFolder + file, SPRITE_KEEP_ALPHA));
  }
};
}  // namespace

TEST_F(FirstScenes, StarfieldPictureRestsAtThreeQuartersOfTheWidth) {
  ASSERT_TRUE(LoadSolidSprite(24, 200, 694, SOLID));
  AtRow(0, 90000, 102000);  // 12 s into the scene
  DrawStarfield();
  DrawSlidingPicture();
  EXPECT_EQ(FramePixel(1440, 540), SOLID);
  EXPECT_EQ(FramePixel(1639, 540), SOLID);
  EXPECT_NE(FramePixel(1640, 540), SOLID);
  EXPECT_NE(FramePixel(1439, 540), SOLID);
  EXPECT_EQ(FramePixel(1500, 193), SOLID);  // centred on the scene area
  EXPECT_NE(FramePixel(1500, 192), SOLID);
  EXPECT_EQ(FramePixel(1500, 886), SOLID);
  EXPECT_NE(FramePixel(1500, 887), SOLID);
  // On the first frame it is far beyond the right edge.
  AtRow(0, 102000, 102000);
  DrawStarfield();
  DrawSlidingPicture();
  for (int x = 0; x < 1920; x += 7) ASSERT_NE(FramePixel(x, 540), SOLID) << x;
  EXPECT_EQ(FramePixel(5, 199), Rgb(1, 2, 3));  // the bands are not the starfield's
  Reload(24, "starfield_image.png");
}

TEST_F(FirstScenes, PlasmaBlocksCarryTheirVariantsColours) {
  for (int row : {1, 9}) {
    const bool red = row == 9;
    AtRow(row, 90000, 123456);
    red ? DrawRedPlasma() : DrawBluePlasma();
    const float T = (float)ElapsedMs() * 0.001f * 5.0f;
    for (int y : {200, 520, 880})
      for (int x : {0, 600, 1908}) {
        const int n = PlasmaIntensity(x, y, T, (red ? -0.25f : 0.25f) * T);
        const Colour want = red ? Rgb(n, n / 3, 0) : Rgb(n / 3, n / 2, n);
        EXPECT_EQ(FramePixel(x + 6, y + 4), want) << "row " << row << " at " << x << "," << y;
      }
  }
}

TEST_F(FirstScenes, EqualizerStandsOnItsCyanFloor) {
  AtRow(2, 100000, 100000);
  for (int f = 0; f < 30; f++) {
    TestAdvanceClock(40);
    DrawFakeEqualizer();
  }
  EXPECT_EQ(FramePixel(5, 767), Rgb(50, 255, 255));
  EXPECT_EQ(FramePixel(5, 300), Rgb(0, 0, 0));
  EXPECT_EQ(FramePixel(534 + 20, 757) & 0xFFFFFF, EqualizerColour(eqLevel[0]));
}

TEST_F(FirstScenes, RotozoomCentreShowsTheFirstTexelAndAMissingCacheShowsTheBand) {
  ASSERT_EQ(cacheReady, 1);
  AtRow(3, 0, 0);
  DrawRotozoom();
  EXPECT_EQ(FramePixel(960, 540), (Colour)(cacheTexels[0] & 0xFFFFFF));
  EXPECT_EQ(FramePixel(968, 540), Rgb(0, 0, 0));
  EXPECT_EQ(FramePixel(100, 199), Rgb(1, 2, 3));
  cacheReady = 0;
  DrawRotozoom();
  EXPECT_EQ(FramePixel(10, 300), Rgb(40, 0, 0));
  EXPECT_EQ(FramePixel(1910, 879), Rgb(40, 0, 0));
  cacheReady = 1;
}

TEST_F(FirstScenes, TwistersOverTheSidePicture) {
  ASSERT_TRUE(LoadSolidSprite(22, 300, 400, SOLID));
  // c x 0.15 on a sine crest: the group stands at 0.8 W, clear of the picture.
  AtRow(4, 16835, 26835);
  DrawRibbonTwisters();
  EXPECT_EQ(FramePixel(0, 340), SOLID);
  EXPECT_EQ(FramePixel(299, 739), SOLID);
  EXPECT_EQ(FramePixel(300, 540), Rgb(200, 180, 160));
  EXPECT_EQ(FramePixel(100, 339), Rgb(200, 180, 160));
  // The centre of ribbon 2's top slice, drawn last, in its sheen colour.
  const float c = 26835.0f * 0.004f * 4.0f;
  const float gx = 1920.0f * (std::sin(c * 0.15f) * 0.25f + 0.55f);
  const float tw = 0.005f + std::sin(c * 0.05f) * (-0.038f);
  const float a = 200.0f * tw - c + 2.5f;
  const float t = std::fabs(std::cos(a));
  const int sx = (int)std::nearbyint(gx + 120.0f + std::sin(a) * 200.0f);
  const float sw = 50.0f + t * (210.0f + std::sin(c * 0.7f) * 45.0f);
  const Colour want = sw > 94.5f ? Rgb((int)std::nearbyint(110.0f * t + 93.0f), (int)std::nearbyint(89.0f * t + 120.0f),
                                       (int)std::nearbyint(65.0f * t + 109.0f))
                                 : Rgb((int)std::nearbyint(46.0f * t + 47.0f), (int)std::nearbyint(56.0f * t + 64.0f),
                                       (int)std::nearbyint(38.0f * t + 71.0f));
  EXPECT_EQ(FramePixel(sx, 200), want);
  // On the row's first frame the picture is still off screen.
  AtRow(4, 26835, 26835);
  DrawRibbonTwisters();
  EXPECT_EQ(FramePixel(0, 540), Rgb(200, 180, 160));
  Reload(22, "sideimage.png");
}

TEST_F(FirstScenes, AvalancheStartsWithItsDarkStripUnderAnEmptyScene) {
  AtRow(6, 100000, 100000);
  ResetAvalanche();
  DrawLogoAvalanche();
  EXPECT_EQ(bodiesSpawned, 0);
  EXPECT_EQ(FramePixel(1000, 400), Rgb(0, 0, 0));
  EXPECT_EQ(FramePixel(1000, 835), Rgb(10, 10, 18));
  EXPECT_EQ(FramePixel(1000, 879), Rgb(10, 10, 18));
  EXPECT_EQ(FramePixel(1000, 834), Rgb(0, 0, 0));
}

// Not a check, so off by default (--gtest_also_run_disabled_tests): writes one
// full frame of every scene for a person to look at.
TEST_F(FirstScenes, DISABLED_Screenshots) {
  const std::string folder = TestScratchFolder("first_scenes");
  const struct {
    int row;
    int frames;
  } shots[] = {{0, 400}, {1, 40}, {2, 40}, {3, 40}, {4, 200}, {6, 500}, {9, 40}};
  for (const auto& s : shots) {
    EnterScene(s.row);
    for (int f = 0; f < s.frames; f++) {
      TestAdvanceClock(30);
      DrawFrame();
    }
    const std::string path = folder + "/row" + std::to_string(s.row) + ".png";
    EXPECT_TRUE(SaveFramePng(path));
    std::printf("screenshot %s\n", path.c_str());
  }
}
