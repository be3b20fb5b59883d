// The launcher's settings, volume label, waving banner and greeting scroll.
#include <gtest/gtest.h>

#include <cmath>

#include "driver/driver.h"
#include "driver/launcher.h"

TEST(LauncherSettings, FollowTheControls) {
  EXPECT_EQ(VolumeLabel(0, 80), "80%");
  EXPECT_EQ(VolumeLabel(0, 55), "55%");
  EXPECT_EQ(VolumeLabel(0, 0), "0%");
  EXPECT_EQ(VolumeLabel(1, 55), "Mute");

  ApplyLaunchSettings(1, 80, 0);
  EXPECT_EQ(displayMode, 1);
  EXPECT_EQ(skipWindowEvents, 1);
  EXPECT_EQ(musicVolume, 80);
  EXPECT_EQ(musicMuted, 0);
  EXPECT_EQ(screenWidth, 1920);
  EXPECT_EQ(screenHeight, 1080);

  ApplyLaunchSettings(0, 35, 1);  // mute wins over the slider
  EXPECT_EQ(displayMode, 0);
  EXPECT_EQ(skipWindowEvents, 0);
  EXPECT_EQ(musicVolume, 0);
  EXPECT_EQ(musicMuted, 1);

  ApplyLaunchSettings(2, 0, 0);
  EXPECT_EQ(displayMode, 2);
  EXPECT_EQ(skipWindowEvents, 0);
  EXPECT_EQ(musicVolume, 0);
  EXPECT_EQ(musicMuted, 0);
}

TEST(LauncherBanner, FillsTheCanvasInTwoPixelStrips) {
  BannerFit fit = FitBanner(600, 200, 600, 200);
  EXPECT_EQ(fit.drawnWidth, 600);
  EXPECT_EQ(fit.drawnHeight, 200);
  EXPECT_EQ(fit.x0, 0);
  EXPECT_EQ(fit.y0, 0);
  for (int i = 0; i < 200; i += 2) {
    BannerStrip s = BannerStripAt(fit, i, 0.0f, 200);
    EXPECT_EQ(s.sourceRow, i);
    EXPECT_EQ(s.sourceRows, 2);
    EXPECT_EQ(s.shift, (int)std::nearbyint(std::sin(i * 0.07f) * 12.0f));
    EXPECT_LE(std::abs(s.shift), 12);
  }
  // A quarter turn later the top strip is at its right-most swing.
  EXPECT_EQ(BannerStripAt(fit, 0, 1.5707964f, 200).shift, 12);
}

TEST(LauncherBanner, CoversAWiderCanvasCentredAndCropped) {
  // A 4:1 picture on a 3:1 canvas is scaled to the height and cropped left and
  // right; a 2:1 picture is scaled to the width and cropped top and bottom.
  BannerFit wide = FitBanner(600, 200, 800, 200);
  EXPECT_EQ(wide.drawnHeight, 200);
  EXPECT_EQ(wide.drawnWidth, 800);
  EXPECT_EQ(wide.x0, -100);
  BannerFit tall = FitBanner(600, 200, 300, 150);
  EXPECT_EQ(tall.drawnWidth, 600);
  EXPECT_EQ(tall.drawnHeight, 300);
  EXPECT_EQ(tall.y0, -50);
  BannerStrip first = BannerStripAt(tall, 0, 0.0f, 150);
  EXPECT_EQ(first.sourceRow, 25);
  EXPECT_EQ(first.sourceRows, 1);
  BannerStrip last = BannerStripAt(tall, 198, 0.0f, 150);
  EXPECT_EQ(last.sourceRow, 124);
}

TEST(LauncherGreeting, ReentersFromTheRightOnceGone) {
  float p = 600.0f;
  p = NextGreetingPosition(p, 1000, 600);
  EXPECT_EQ(p, 598.0f);
  EXPECT_EQ(NextGreetingPosition(-999.0f, 1000, 600), 600.0f);
  EXPECT_EQ(NextGreetingPosition(-998.0f, 1000, 600), -1000.0f);
}
