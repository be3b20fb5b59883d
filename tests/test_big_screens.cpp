// Screens bigger than the 1080p desktop of the other tests, each on a private
// Xvfb: the 1920 x 1080 picture stretched to 2560 x 1440 and 3840 x 2160
// through both presenters, and full screen on a 5120 x 2880 desktop that has
// no 1920 x 1080 mode.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <set>
#include <utility>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/display.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/draw.h"
#include "render/image.h"
#include "render/screen.h"
#include "render/sprite.h"
#include "support/desktop.h"
#include "support/gl_display.h"
#include "support/scene_checks.h"

namespace {
constexpr int NOISE_PICTURE = 62;

// SDL's video part restarted on a fresh Xvfb of width x height.
class BigDesktop : public ::testing::Test {
 protected:
  void Use(int width, int height) {
    CloseShowScreen();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    desktop = StartDesktop(width, height);
    ASSERT_GE(desktop.display, 0) << "no Xvfb";
    setenv("DISPLAY", desktop.name().c_str(), 1);
  }
  void TearDown() override {
    CloseShowScreen();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    ChoosePresenter(PRESENTER_AUTO);
    TestCaptureMessages(false);
    TestUseRealClock();
    StopDesktop(desktop);
  }
  TestDesktop desktop;
};

// A frame of noise, so that a pixel taken from the wrong place shows.
void PaintNoise() {
  static bool written = false;
  static std::string path;
  if (!written) {
    std::vector<uint8_t> px((size_t)1920 * 1080 * 3);
    unsigned seed = 99;
    for (uint8_t& b : px) b = (uint8_t)((seed = seed * 1103515245u + 12345u) >> 16);
    path = TestScratchFolder("big_screens") + "noise.png";
    ASSERT_TRUE(WriteTestPng(path, 1920, 1080, 3, px));
    written = true;
  }
  ASSERT_TRUE(LoadImageFile(NOISE_PICTURE, path));
  ASSERT_TRUE(BeginScreenDrawing());
  DrawImageAt(NOISE_PICTURE, 0, 0, 1920, 1080);
  EndScreenDrawing();
}

// Every window pixel is the frame pixel under its centre, by the plain rule.
void ExpectNearestEverywhere(int presenter, int w, int h) {
  SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h) + (presenter == PRESENTER_GL ? " gl" : " surface"));
  ChoosePresenter(presenter);
  ASSERT_TRUE(OpenTestDisplay(w, h));
  ASSERT_EQ(CurrentDisplay().presenter, presenter);
  PaintNoise();
  WindowShot shot = PresentAndGrabWindow();
  ASSERT_EQ(shot.width, w);
  ASSERT_EQ(shot.height, h);
  FrameView f = FinishedFrame();
  long wrong = 0;
  for (int y = 0; y < h; y++) {
    const int64_t sy = (2 * (int64_t)y + 1) * f.height / (2 * (int64_t)h);
    for (int x = 0; x < w; x++) {
      const int64_t sx = (2 * (int64_t)x + 1) * f.width / (2 * (int64_t)w);
      const uint8_t* p = f.pixels + sy * f.stride + sx * 4;
      wrong += shot.At(x, y) != Rgb(p[2], p[1], p[0]);
    }
  }
  EXPECT_EQ(wrong, 0);
  CloseShowScreen();
}
}  // namespace

TEST_F(BigDesktop, StretchedPicturesShowTheNearestFramePixelOnBothPresenters) {
  Use(3840, 2160);
  for (int presenter : {PRESENTER_SURFACE, PRESENTER_GL}) {
    ExpectNearestEverywhere(presenter, 2560, 1440);
    ExpectNearestEverywhere(presenter, 3840, 2160);
  }
}

// The desktop lists only its own 5120 x 2880 mode: full screen at 1920 x 1080
// is refused, the show opens at the desktop size and every scene fills it.
TEST_F(BigDesktop, FullScreenWithoutA1080pModeOpensAtTheDesktopSizeAndEveryRowDrawsForIt) {
  Use(5120, 2880);
  StartShowForTest(100000, 4321);
  displayMode = 1;
  desktopWidth = DesktopWidth();
  desktopHeight = DesktopHeight();
  ASSERT_EQ(desktopWidth, 5120);
  ASSERT_EQ(desktopHeight, 2880);
  ASSERT_EQ(OpenShowDisplay(), 1);
  EXPECT_EQ(screenWidth, 5120);
  EXPECT_EQ(screenHeight, 2880);
  DisplayInfo d = CurrentDisplay();
  EXPECT_FALSE(d.windowed);
  EXPECT_EQ(d.logicalWidth, 5120);
  EXPECT_EQ(d.logicalHeight, 2880);
  // As start-up does: the sprites after the display (opening one frees them).
  LoadShowAssets();
  SeedStarfield();
  const int W = 5120, H = 2880;
  auto colour = [](int x, int y) {
    FrameView f = FinishedFrame();
    const uint8_t* p = f.pixels + (size_t)y * f.stride + (size_t)x * 4;
    return Rgb(p[2], p[1], p[0]);
  };
  EnterScene(0);
  for (int row = 0; row < 20; row++) {
    SCOPED_TRACE("row " + std::to_string(row));
    if (row > 0) TestSetClock(sceneStart + timeline[currentScene].durationMs + 1);
    UpdateSceneTime();
    ASSERT_EQ(currentScene, row);
    DrawFrame();
    // The entry flash covers the whole desktop-sized frame, corners included.
    for (auto [x, y] : {std::pair{0, 0}, {W - 1, 0}, {0, H - 1}, {W - 1, H - 1}, {W / 2, H / 2}})
      EXPECT_EQ(colour(x, y), Rgb(255, 255, 255)) << x << ", " << y;
    for (int frame = 0; frame < 4; frame++) {
      TestAdvanceClock(150);
      UpdateSceneTime();
      DrawFrame();
    }
    EXPECT_TRUE(PresentShowFrame());
    // The scene area is drawn over its whole width, and the bands follow the height.
    std::set<Colour> scene, right;
    for (int y = 200; y < H - 200; y += 3)
      for (int x = 0; x < W; x += 2) scene.insert(colour(x, y));
    for (int y = 200; y < H - 200; y += 13) right.insert(colour(W - 1 - (y % 400), y));
    EXPECT_GT(scene.size(), 1u) << "the scene area is one flat colour";
    EXPECT_NE(right, std::set<Colour>{Rgb(255, 255, 255)}) << "the right part of the scene area is left white";
    if (timeline[row].effectNumber != 18) {
      EXPECT_EQ(colour(W - 1, H - 1), Rgb(0, 0, 0)) << "no scroller band";
    }
  }
  EXPECT_EQ(TestCapturedMessages(), "");
}
