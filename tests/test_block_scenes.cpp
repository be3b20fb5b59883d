// The block scenes painted into memory pictures: the plasma's determinism,
// opposite turns and intensity range; the equalizer's layout, colours, targets
// and update rate; the rotozoom's cache indexing, mirror and fallback frame;
// the rounding every effect takes its integers from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numbers>

#include "driver/driver.h"
#include "effects/effects.h"
#include "effects/equalizer.h"
#include "effects/nearest.h"
#include "effects/plasma.h"
#include "effects/rotozoom.h"
#include "effects/sine.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "support/scene_checks.h"

namespace {

void UseShowScreen() {
  screenWidth = 1920;
  screenHeight = 1080;
}

MemoryOutput PaintedPlasma(float T, float turnSign, bool red) {
  MemoryOutput out(1932, 1080, UNTOUCHED);  // 12 more columns show the block at x = W
  EXPECT_TRUE(out.Begin());
  PaintPlasma(T, turnSign, red);
  EndScreenDrawing();
  return out;
}
}  // namespace

// ---- rounding ----

// Frames must not change with the rounding's implementation: it gives what the
// C library's nearbyint gives, ties to even, both signs, up to int's range.
TEST(Nearest, RoundsAsTheCLibraryDoes) {
  for (float x : {0.5f, 1.5f, 2.5f, -0.5f, -1.5f, -2.5f, 0.49999997f, 4194303.5f, 4194304.5f, 8388607.5f,
                  8388607.0f, 8388608.0f, 8388609.0f, 16777216.0f, 2147483520.0f, -2147483648.0f, -0.0f,
                  std::numeric_limits<float>::denorm_min()})
    EXPECT_EQ(Nearest(x), (int)std::nearbyint(x)) << x;
  // Every 4097th float bit pattern of both signs below 2^31 in magnitude.
  for (uint32_t bits = 0; bits < 0x4F000000u; bits += 4097) {
    for (uint32_t sign : {0u, 0x80000000u}) {
      float x;
      const uint32_t b = bits | sign;
      std::memcpy(&x, &b, sizeof x);
      ASSERT_EQ(Nearest(x), (int)std::nearbyint(x)) << x;
    }
  }
}

// Doubles too, for the plasma's intensities.
TEST(Nearest, WholeDoublesRoundAsTheCLibraryDoes) {
  for (double x : {0.5, 1.5, 2.5, 254.5, 255.5, -0.5, -2.5, 0.49999999999999994, 2251799813685247.5,
                   4503599627370495.0, 4503599627370496.0, 1e300, -0.0})
    EXPECT_EQ(NearestWhole(x), std::nearbyint(x)) << x;
  for (double x = -300.0; x < 300.0; x += 0.0625 + 1.0 / 1024) EXPECT_EQ(NearestWhole(x), std::nearbyint(x)) << x;
}

// The plasma's own sine and cosine stay within a few units in the last place
// of the C library's over every angle the scene can reach, and hand the rest
// (huge, infinite, NaN) to the library.
TEST(Sine, AgreesWithTheCLibrary) {
  double worst = 0.0;
  for (double x = -4000.0; x < 4000.0; x += 0.0123456789) {
    worst = std::max({worst, std::fabs(Sine(x) - std::sin(x)), std::fabs(Cosine(x) - std::cos(x))});
  }
  EXPECT_LT(worst, 1e-15);
  for (double x : {0.0, -0.0, 1e-300, std::numbers::pi / 4, std::numbers::pi / 2, std::numbers::pi})
    EXPECT_NEAR(Sine(x), std::sin(x), 1e-15) << x;
  EXPECT_EQ(Sine(3e7), std::sin(3e7));
  EXPECT_EQ(Cosine(-3e7), std::cos(-3e7));
  EXPECT_TRUE(std::isnan(Sine(std::numeric_limits<double>::infinity())));
  EXPECT_TRUE(std::isnan(Cosine(std::nan(""))));
}

// ---- plasma ----

TEST(Plasma, SameClockGivesTheSameFrame) {
  UseShowScreen();
  InitPlasma();
  MemoryOutput a = PaintedPlasma(412.37f, 1.0f, false);
  MemoryOutput b = PaintedPlasma(412.37f, 1.0f, false);
  EXPECT_TRUE(a.bytes == b.bytes);
  MemoryOutput c = PaintedPlasma(412.57f, 1.0f, false);
  EXPECT_FALSE(a.bytes == c.bytes);
}

TEST(Plasma, BlueAndRedSampleTheSameFieldsThroughOppositeTurns) {
  UseShowScreen();
  InitPlasma();
  const float T = 93.5f;
  MemoryOutput blue = PaintedPlasma(T, 1.0f, false);
  MemoryOutput red = PaintedPlasma(T, -1.0f, true);
  int differing = 0;
  for (int y = 200; y <= 880; y += 8) {
    for (int x = 0; x <= 1920; x += 12) {
      const int nb = PlasmaIntensity(x, y, T, 0.25f * T);
      const int nr = PlasmaIntensity(x, y, T, -0.25f * T);
      // Each block shows its top 8 rows; sample inside them.
      ASSERT_EQ(blue.At(x + 5, y + 3), Rgb(nb / 3, nb / 2, nb)) << x << "," << y;
      ASSERT_EQ(red.At(x + 5, y + 3), Rgb(nr, nr / 3, 0)) << x << "," << y;
      differing += nb != nr;
    }
  }
  EXPECT_GT(differing, 1000);  // the turns really are opposite, not equal
}

TEST(Plasma, IntensitiesStayWithin1To255) {
  UseShowScreen();
  InitPlasma();
  int lo = 255, hi = 0;
  for (float T = 0.0f; T < 400.0f; T += 3.7f) {
    for (int y = 200; y <= 880; y += 16)
      for (int x = 0; x <= 1920; x += 36) {
        const int n = PlasmaIntensity(x, y, T, 0.25f * T);
        lo = std::min(lo, n);
        hi = std::max(hi, n);
      }
  }
  EXPECT_GE(lo, 1);
  EXPECT_LE(hi, 255);
  EXPECT_LT(lo, 20);  // the whole range is used
  EXPECT_GT(hi, 235);
}

TEST(Plasma, BlocksOverlapDownwardsAndTheLastRowReachesIntoTheBand) {
  UseShowScreen();
  InitPlasma();
  MemoryOutput out = PaintedPlasma(10.0f, 1.0f, false);
  EXPECT_EQ(out.At(100, 199), UNTOUCHED_COLOUR);
  EXPECT_NE(out.At(100, 891), UNTOUCHED_COLOUR);  // row 880's block is 12 high
  EXPECT_EQ(out.At(100, 892), UNTOUCHED_COLOUR);
  EXPECT_NE(out.At(1931, 500), UNTOUCHED_COLOUR);  // the column at x = W
  // A block shows its 12 x 8 top part: row y + 8 already belongs to the next row.
  const int n = PlasmaIntensity(0, 208, 10.0f, 2.5f);
  EXPECT_EQ(out.At(0, 216 - 1), Rgb(n / 3, n / 2, n));
}

// ---- equalizer ----

namespace {
class Equalizer : public ::testing::Test {
 protected:
  void SetUp() override {
    UseShowScreen();
    InitEqualizer();
    TestSeedRandom(11);
  }
  void TearDown() override { TestUseRealClock(); }
};
}  // namespace

TEST_F(Equalizer, LayoutOnTheShowScreen) {
  const EqLayout l = EqualizerLayout();
  EXPECT_EQ(l.left, 534);
  EXPECT_EQ(l.maxH, 442);
  EXPECT_EQ(l.base, 758);
}

TEST_F(Equalizer, ColourThresholdsAreExact) {
  EXPECT_EQ(EqualizerColour(0.0f), Rgb(0, 255, 255));
  EXPECT_EQ(EqualizerColour(std::nextafter(0.35f, 0.0f)), Rgb(0, 255, 255));
  EXPECT_EQ(EqualizerColour(0.35f), Rgb(255, 0, 180));
  EXPECT_EQ(EqualizerColour(std::nextafter(0.7f, 0.0f)), Rgb(255, 0, 180));
  EXPECT_EQ(EqualizerColour(0.7f), Rgb(255, 240, 80));
  EXPECT_EQ(EqualizerColour(1.0f), Rgb(255, 240, 80));
}

TEST_F(Equalizer, TargetsStayWithinPointTwoAndOne) {
  int64_t now = 1000;
  float lo = 1.0f, hi = 0.0f;
  for (int n = 0; n < 500; n++) {
    now += 121;
    TestSetClock(now);
    ASSERT_TRUE(UpdateEqualizerTargets((float)now * 0.004f));
    for (float t : eqTarget) {
      lo = std::min(lo, t);
      hi = std::max(hi, t);
    }
  }
  EXPECT_GE(lo, 0.2f);
  EXPECT_LE(hi, 1.0f);
  EXPECT_LT(lo, 0.3f);
  // The top of the noise on a sine crest is cut at exactly 1.
  TestQueueRandom({35});
  TestSetClock(now + 200);
  UpdateEqualizerTargets(1.5707964f);  // band 0 at the crest: 0.45 + 0.35 + 0.2
  EXPECT_FLOAT_EQ(eqTarget[0], 1.0f);
  // Noise 0 on a sine zero gives the floor of 0.2.
  TestQueueRandom({0});
  TestSetClock(now + 400);
  UpdateEqualizerTargets(0.0f);
  EXPECT_FLOAT_EQ(eqTarget[0], 0.2f);
}

TEST_F(Equalizer, AtMostOneTargetUpdatePer120Ms) {
  TestSetClock(5000);
  EXPECT_TRUE(UpdateEqualizerTargets(20.0f));  // first frame ever: last update at 0
  EXPECT_EQ(eqLastUpdateMs, 5000);
  float before[EQ_BANDS];
  std::copy(eqTarget, eqTarget + EQ_BANDS, before);
  TestSetClock(5120);
  EXPECT_FALSE(UpdateEqualizerTargets(20.48f));
  for (int i = 0; i < EQ_BANDS; i++) EXPECT_EQ(eqTarget[i], before[i]);
  TestSetClock(5121);
  EXPECT_TRUE(UpdateEqualizerTargets(20.484f));
  EXPECT_EQ(eqLastUpdateMs, 5121);
  EXPECT_FALSE(UpdateEqualizerTargets(20.484f));  // same frame time: no second update
}

TEST_F(Equalizer, BarGeometryAtHalfLevel) {
  for (int i = 0; i < EQ_BANDS; i++) eqLevel[i] = eqTarget[i] = 0.5f;
  GlideEqualizerBars();
  EXPECT_FLOAT_EQ(eqLevel[3], 0.5f);
  MemoryOutput out(1920, 1080, UNTOUCHED);
  ASSERT_TRUE(out.Begin());
  PaintEqualizerBars();
  EndScreenDrawing();
  // bh = 221 (top 537), cap lift 27 (plate from 510), band 0 at x = 534.
  for (int y = 766; y <= 768; y++) EXPECT_EQ(out.At(0, y), Rgb(50, 255, 255)) << y;
  EXPECT_EQ(out.At(0, 765), UNTOUCHED_COLOUR);
  EXPECT_EQ(out.At(534, 700), Rgb(255, 0, 180));
  EXPECT_EQ(out.At(575, 757), Rgb(255, 0, 180));
  EXPECT_EQ(out.At(575, 758), UNTOUCHED_COLOUR);
  EXPECT_EQ(out.At(530, 510), Rgb(25, 25, 45));  // plate, 4 px wider each side
  EXPECT_EQ(out.At(579, 600), Rgb(25, 25, 45));
  EXPECT_EQ(out.At(530, 509), UNTOUCHED_COLOUR);
  for (int y = 531; y <= 535; y++) EXPECT_EQ(out.At(550, y), Rgb(255, 255, 255)) << y;  // cap
  EXPECT_EQ(out.At(550, 536), Rgb(25, 25, 45));
  EXPECT_EQ(out.At(539, 543), Rgb(255, 255, 255));  // highlight 539..544, 543..751
  EXPECT_EQ(out.At(544, 751), Rgb(255, 255, 255));
  EXPECT_EQ(out.At(545, 600), Rgb(255, 0, 180));
  EXPECT_EQ(out.At(539, 752), Rgb(255, 0, 180));
  EXPECT_EQ(out.At(534 + 15 * 54, 700), Rgb(255, 0, 180));  // band 15 at x = 1344
}

// ---- rotozoom ----

namespace {
class Rotozoom : public ::testing::Test {
 protected:
  void SetUp() override {
    UseShowScreen();
    InitRotozoom();
    UseCache(7, 5);
  }
  void TearDown() override {
    cacheReady = 0;
    cacheTexels.clear();
  }
  // A cache whose texel (x, y) has red x, green y, blue 99.
  static void UseCache(int64_t w, int64_t h) {
    cacheWidth = w;
    cacheHeight = h;
    cacheTexels.assign((size_t)(w * h), 0);
    for (int64_t y = 0; y < h; y++)
      for (int64_t x = 0; x < w; x++) cacheTexels[(size_t)(x + y * w)] = Rgb((int)x, (int)y, 99);
    cacheReady = 1;
  }
};
}  // namespace

TEST_F(Rotozoom, IndicesNeverLeaveTheCache) {
  const float big = 3.0e9f, inf = std::numeric_limits<float>::infinity();
  const float values[] = {0.0f, 0.3f, -0.3f, 1.0f, -1.0f, 2.71f, -2.71f, 17.0f, -17.0f, big, -big, inf, -inf};
  for (float b : {0.0f, 1.25f, 777.7f, 90000.0f})
    for (float u : values)
      for (float v : values) {
        const int64_t i = RotozoomTexelIndex(u, v, b);
        ASSERT_GE(i, 0) << u << "," << v << "," << b;
        ASSERT_LT(i, 35) << u << "," << v << "," << b;
      }
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(RotozoomTexelIndex(nan, nan, 0.0f), 0);
}

TEST_F(Rotozoom, PatternIsMirroredAcrossZeroNotWrapped) {
  UseCache(64, 32);
  // u x 32 = 3.2 and -3.2 both truncate to column 3 (a wrap would give 61).
  EXPECT_EQ(RotozoomTexelIndex(0.1f, 0.0f, 0.0f), 3);
  EXPECT_EQ(RotozoomTexelIndex(-0.1f, 0.0f, 0.0f), 3);
  EXPECT_EQ(RotozoomTexelIndex(0.0f, 0.5f, 0.0f), 8 * 64);
  EXPECT_EQ(RotozoomTexelIndex(0.0f, -0.5f, 0.0f), 8 * 64);
  // Past one picture width the tiling wraps: 70 becomes 6.
  EXPECT_EQ(RotozoomTexelIndex(70.0f / 32.0f, 0.0f, 0.0f), 6);
  EXPECT_EQ(RotozoomTexelIndex(-70.0f / 32.0f, 0.0f, 0.0f), 6);
  // The scroll adds 120 and 90 texels per second before the mirror.
  EXPECT_EQ(RotozoomTexelIndex(0.0f, 0.0f, 0.5f), 60 + 13 * 64);
}

TEST_F(Rotozoom, InconsistentCacheIsNotUsed) {
  EXPECT_TRUE(RotozoomCacheUsable());
  cacheTexels.resize(34);
  EXPECT_FALSE(RotozoomCacheUsable());
  UseCache(7, 5);
  cacheWidth = 0;
  EXPECT_FALSE(RotozoomCacheUsable());
  UseCache(7, 5);
  cacheReady = 0;
  EXPECT_FALSE(RotozoomCacheUsable());
}

TEST_F(Rotozoom, MosaicOfEightPixelBlocksOnATenPixelGrid) {
  UseCache(64, 32);
  MemoryOutput out(1920, 1080, UNTOUCHED);
  ASSERT_TRUE(out.Begin());
  PaintRotozoom(0.0f);
  EndScreenDrawing();
  // At b = 0 the centre block samples texel (0, 0); z = 0.6 there.
  EXPECT_EQ(out.At(960, 540), Rgb(0, 0, 99));
  EXPECT_EQ(out.At(967, 547), Rgb(0, 0, 99));
  EXPECT_EQ(out.At(968, 540), Rgb(0, 0, 0));  // 2-pixel gaps
  EXPECT_EQ(out.At(960, 549), Rgb(0, 0, 0));
  // Block (1180, 540): dx = 1, u = 0.6, column trunc(19.2) = 19.
  EXPECT_EQ(out.At(1180, 540), Rgb(19, 0, 99));
  EXPECT_EQ(out.At(740, 540), Rgb(19, 0, 99));  // and its mirror image
  EXPECT_EQ(out.At(100, 199), UNTOUCHED_COLOUR);
  EXPECT_EQ(out.At(100, 887), out.At(100, 880));
  EXPECT_EQ(out.At(100, 888), UNTOUCHED_COLOUR);
}

TEST_F(Rotozoom, FallbackFrameIsDarkRedWithTheWhiteMessage) {
  cacheReady = 0;
  MemoryOutput out(1920, 1080, UNTOUCHED);
  ASSERT_TRUE(out.Begin());
  PaintRotozoomFallback();
  EndScreenDrawing();
  EXPECT_EQ(out.At(10, 200), Rgb(40, 0, 0));
  EXPECT_EQ(out.At(1900, 879), Rgb(40, 0, 0));
  EXPECT_EQ(out.At(10, 199), UNTOUCHED_COLOUR);
  EXPECT_EQ(out.At(10, 880), UNTOUCHED_COLOUR);
  int white = 0, left = 1920, top = 1080;
  for (int y = 200; y < 880; y++)
    for (int x = 0; x < 1920; x++)
      if (out.At(x, y) == Rgb(255, 255, 255)) {
        white++;
        left = std::min(left, x);
        top = std::min(top, y);
      }
  EXPECT_GT(white, 50);
  EXPECT_GE(left, 80);
  EXPECT_LT(left, 90);
  EXPECT_GE(top, 280);
  EXPECT_LT(top, 300);
  EXPECT_EQ(out.At(79, 285), Rgb(40, 0, 0));  // transparent text: no black box
}
