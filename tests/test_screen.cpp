// The display on the test's X server: opening and failing to open, the frame
// in memory under sprites and primitives, what each presenter puts in the
// window (exact, stretched by the nearest pixel, after a resize), and the
// input calls.
#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <cstdlib>

#include "driver/driver.h"
#include "platform/display.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/draw.h"
#include "render/screen.h"
#include "render/sprite.h"
#include "support/gl_display.h"

namespace {
constexpr Colour RED = Rgb(255, 0, 0), GREEN = Rgb(0, 255, 0), BLACK = Rgb(0, 0, 0);

std::string SolidPng(const std::string& name, int w, int h, Colour c) {
  std::string path = TestScratchFolder("screen") + name;
  EXPECT_TRUE(WriteTestPng(path, w, h, 3, SolidPixels(w, h, 3, c)));
  return path;
}

// The frame's pixel (x, y) as a colour without alpha.
Colour FrameAt(const FrameView& f, int x, int y) {
  const uint8_t* p = f.pixels + (size_t)y * f.stride + (size_t)x * 4;
  return Rgb(p[2], p[1], p[0]);
}

// Paints every pixel of the frame with its own pseudo-random colour.
void FillWithNoise(unsigned seed) {
  ASSERT_TRUE(BeginScreenDrawing());
  uint32_t v = seed;
  for (int y = 0; y < 1080; y++)
    for (int x = 0; x < 1920; x++) {
      v = v * 1664525u + 1013904223u;
      DrawBox(x, y, 1, 1, (Colour)(v >> 8));
    }
  EndScreenDrawing();
}

// Source index under target pixel i of n (nearest, sampled at the centre).
// Where the centre falls exactly on a source edge, the one before is accepted too.
bool NearestMatches(int i, int n, int source, int got) {
  int64_t num = (2 * (int64_t)i + 1) * source, den = 2 * (int64_t)n;
  int exact = (int)(num / den);
  return got == exact || (num % den == 0 && got == exact - 1);
}

// Opens a fresh test display in a windowW x windowH window with the presenter.
bool OpenWithPresenter(int presenter, int windowW, int windowH) {
  CloseShowScreen();
  ChoosePresenter(presenter);
  bool ok = OpenTestDisplay(windowW, windowH) && CurrentDisplay().presenter == presenter;
  ChoosePresenter(PRESENTER_AUTO);
  return ok;
}

// The window shows the frame pixel for pixel.
void ExpectWindowShowsFrame(const char* what) {
  WindowShot shot = PresentAndGrabWindow();
  FrameView f = FinishedFrame();
  ASSERT_EQ(shot.width, 1920) << what;
  ASSERT_EQ(shot.height, 1080) << what;
  size_t differ = 0;
  for (int y = 0; y < 1080; y++)
    for (int x = 0; x < 1920; x++) differ += shot.At(x, y) != FrameAt(f, x, y);
  EXPECT_EQ(differ, 0u) << what;
}

// A 1256 x 707 window shows the frame scaled by the nearest pixel: each window
// pixel is one of the frame's pixels, found from the window pixel's centre.
void ExpectNearestScaling(const char* what) {
  WindowShot shot = PresentAndGrabWindow();
  FrameView f = FinishedFrame();
  ASSERT_EQ(shot.width, 1256) << what;
  ASSERT_EQ(shot.height, 707) << what;
  size_t differ = 0;
  for (int y = 0; y < 707; y++)
    for (int x = 0; x < 1256; x++) {
      Colour got = shot.At(x, y);
      bool ok = false;
      int ex = (int)((2 * (int64_t)x + 1) * 1920 / 2512), ey = (int)((2 * (int64_t)y + 1) * 1080 / 1414);
      for (int cy = std::max(0, ey - 1); cy <= ey && !ok; cy++)
        for (int cx = std::max(0, ex - 1); cx <= ex && !ok; cx++)
          ok = NearestMatches(x, 1256, 1920, cx) && NearestMatches(y, 707, 1080, cy) && FrameAt(f, cx, cy) == got;
      differ += !ok;
    }
  EXPECT_EQ(differ, 0u) << what;
}

std::vector<Colour> Snapshot() {
  std::vector<Colour> all;
  if (!BeginScreenDrawing()) return all;
  for (int y = 0; y < 1080; y++)
    for (int x = 0; x < 1920; x++) all.push_back(ReadPixel(x, y));
  EndScreenDrawing();
  return all;
}

TEST(Screen, OpeningFailsCleanly) {
  EXPECT_EQ(OpenWindowDisplay(77, 0, 0, 1920, 1080, 0), 0);  // no such host window
  EXPECT_EQ(BeginScreenDrawing(), 0);
  EXPECT_EQ(PresentShowFrame(), 0);
  // Pictures load without a display, but nothing is drawn without a frame.
  ASSERT_EQ(LoadSpriteFile(20, SolidPng("red.png", 4, 4, RED), 0), 1);
  EXPECT_EQ(DrawSpriteOpaque(20, 0, 0), 0);
  EXPECT_EQ(FinishedFrame().pixels, nullptr);
  EXPECT_EQ(OpenFullscreenDisplay(0, 1080, 32, "ZYNTRAX test"), 0);
  EXPECT_EQ(OpenFullscreenDisplay(1234, 777, 32, "ZYNTRAX test"), 0);  // no such display mode
  EXPECT_GT(DesktopWidth(), 0);
  EXPECT_GT(DesktopHeight(), 0);
}

TEST(Screen, FullScreenAtTheDesktopModeAndClosing) {
  int w = DesktopWidth(), h = DesktopHeight();
  ASSERT_TRUE(OpenFullscreenDisplay(w, h, 32, "ZYNTRAX test"));
  ASSERT_TRUE(OpenDisplayFrame());
  EXPECT_FALSE(CurrentDisplay().windowed);
  EXPECT_EQ(CurrentDisplay().logicalWidth, w);
  EXPECT_EQ(CurrentDisplay().pictureHeight, h);
  EXPECT_EQ(FinishedFrame().width, w);
  EXPECT_EQ(FinishedFrame().height, h);
  ASSERT_TRUE(LoadSpriteFile(20, SolidPng("red.png", 4, 4, RED), 0));
  DrawSpriteOpaque(20, 10, 10);
  EXPECT_EQ(FramePixel(11, 11), RED);
  EXPECT_EQ(FramePixel(20, 20), BLACK);
  EXPECT_EQ(PresentShowFrame(), 1);
  CloseShowScreen();
  EXPECT_FALSE(SpriteExists(20));
  EXPECT_EQ(BeginScreenDrawing(), 0);
  EXPECT_EQ(PresentShowFrame(), 0);
}

TEST(Screen, ASpriteDrawLeavesTheRestOfTheFrameAlone) {
  ASSERT_TRUE(OpenTestDisplay());
  EXPECT_EQ(CurrentDisplay().logicalWidth, 1920);
  EXPECT_EQ(CurrentDisplay().pictureWidth, 1920);
  // Fill the frame with noise through the primitives.
  ASSERT_TRUE(BeginScreenDrawing());
  std::srand(11);
  for (int y = 0; y < 1080; y += 3)
    for (int x = 0; x < 1920; x += 5)
      DrawBox(x, y, 5, 3, Rgb(std::rand() & 255, std::rand() & 255, std::rand() & 255));
  EndScreenDrawing();
  std::vector<Colour> before = Snapshot();
  ASSERT_TRUE(LoadSpriteFile(20, SolidPng("green.png", 2, 2, GREEN), 0));
  DrawSpriteOpaque(20, 1918, 1078);
  std::vector<Colour> after = Snapshot();
  ASSERT_EQ(before.size(), after.size());
  size_t differ = 0;
  for (size_t i = 0; i < before.size(); i++) {
    int x = (int)(i % 1920), y = (int)(i / 1920);
    if (x >= 1918 && y >= 1078) continue;
    differ += before[i] != after[i];
  }
  EXPECT_EQ(differ, 0u);
  EXPECT_EQ(after[1079 * 1920 + 1919], GREEN);
}

TEST(Screen, SpritesAndPrimitivesStackInCallOrder) {
  ASSERT_TRUE(OpenTestDisplay());
  ASSERT_TRUE(LoadSpriteFile(21, SolidPng("red.png", 100, 100, RED), 0));
  ClearFrame(BLACK);
  DrawSpriteOpaque(21, 100, 100);  // under the box
  ASSERT_TRUE(BeginScreenDrawing());
  DrawBox(150, 150, 100, 100, GREEN);
  EndScreenDrawing();
  DrawSpriteOpaque(21, 200, 200);  // over the box
  EXPECT_EQ(FramePixel(120, 120), RED);
  EXPECT_EQ(FramePixel(160, 160), GREEN);
  EXPECT_EQ(FramePixel(220, 220), RED);
  EXPECT_EQ(FramePixel(245, 160), GREEN);
  // The window shows the frame; presenting leaves the frame as it was.
  WindowShot shot = PresentAndGrabWindow();
  ASSERT_EQ(shot.width, 1920);
  EXPECT_EQ(shot.At(160, 160), GREEN);
  EXPECT_EQ(shot.At(220, 220), RED);
  EXPECT_EQ(FramePixel(160, 160), GREEN);
  DrawSpriteOpaque(21, 0, 0);
  EXPECT_EQ(FramePixel(50, 50), RED);
}

TEST(Screen, AStretchedWindowKeepsLogicalCoordinates) {
  ASSERT_TRUE(OpenTestDisplay(960, 540));
  EXPECT_EQ(CurrentDisplay().pictureWidth, 960);
  EXPECT_EQ(CurrentDisplay().pictureHeight, 540);
  ASSERT_TRUE(LoadSpriteFile(22, SolidPng("green.png", 100, 100, GREEN), 0));
  ClearFrame(BLACK);
  ASSERT_TRUE(BeginScreenDrawing());
  EXPECT_EQ(OutputWidth(), 1920);
  EXPECT_EQ(OutputHeight(), 1080);
  DrawBox(100, 200, 400, 300, RED);
  EndScreenDrawing();
  SetSpriteSize(22, 200, 200);
  DrawSpriteOpaque(22, 1000, 600);
  // The window holds the picture at half size...
  WindowShot shot = PresentAndGrabWindow();
  ASSERT_EQ(shot.width, 960);
  EXPECT_EQ(shot.At(150, 175), RED);
  EXPECT_EQ(shot.At(550, 350), GREEN);
  EXPECT_EQ(shot.At(20, 20), BLACK);
  // ...and the frame keeps it in logical pixels.
  EXPECT_EQ(FramePixel(110, 210), RED);
  EXPECT_EQ(FramePixel(490, 490), RED);
  EXPECT_EQ(FramePixel(1100, 700), GREEN);
  EXPECT_EQ(FramePixel(50, 50), BLACK);
  EXPECT_EQ(FramePixel(1300, 900), BLACK);
  SaveFramePng(TestScratchFolder("screen") + "stretched.png");
}

TEST(Screen, ResizingTheHostRunsTheStretchFit) {
  ASSERT_TRUE(OpenTestDisplay(960, 540));
  SDL_SetWindowSize(SDL_GetWindowFromID(CurrentDisplay().windowId), 640, 360);
  for (int i = 0; i < 200 && CurrentDisplay().pictureWidth != 640; i++) {
    while (PollWindowEvent()) {
    }
    SDL_Delay(10);
  }
  EXPECT_EQ(CurrentDisplay().pictureWidth, 640);
  EXPECT_EQ(CurrentDisplay().pictureHeight, 360);
  ClearFrame(BLACK);
  ASSERT_TRUE(BeginScreenDrawing());
  DrawBox(960, 540, 300, 300, RED);
  EndScreenDrawing();
  WindowShot shot = PresentAndGrabWindow();
  ASSERT_EQ(shot.width, 640);
  EXPECT_EQ(shot.At(330, 190), RED);
  EXPECT_EQ(shot.At(310, 170), BLACK);
  EXPECT_EQ(FramePixel(1000, 600), RED);
  EXPECT_EQ(FramePixel(900, 500), BLACK);
}

TEST(Screen, BothPresentersShowTheFrameUnchanged) {
  for (int presenter : {PRESENTER_SURFACE, PRESENTER_GL}) {
    const char* what = presenter == PRESENTER_GL ? "gl" : "surface";
    ASSERT_TRUE(OpenWithPresenter(presenter, 1920, 1080)) << what;
    FillWithNoise(3 + (unsigned)presenter);
    ExpectWindowShowsFrame(what);
  }
  CloseShowScreen();
}

TEST(Screen, BothPresentersScaleAStretchedWindowByTheNearestPixel) {
  for (int presenter : {PRESENTER_SURFACE, PRESENTER_GL}) {
    const char* what = presenter == PRESENTER_GL ? "gl" : "surface";
    ASSERT_TRUE(OpenWithPresenter(presenter, 1256, 707)) << what;
    FillWithNoise(7 + (unsigned)presenter);
    ExpectNearestScaling(what);
  }
  CloseShowScreen();
}

TEST(Screen, ASoftwareGlRendererGetsTheWindowSurface) {
  // The tests run on Mesa's software renderer: the automatic choice avoids it.
  CloseShowScreen();
  ASSERT_TRUE(OpenTestDisplay());
  EXPECT_EQ(CurrentDisplay().presenter, PRESENTER_SURFACE);
  EXPECT_GT(CurrentDisplay().refreshHz, 0.0);
}

TEST(Screen, WithoutARetraceToWaitForFramesArePacedToTheRefreshRate) {
  ASSERT_TRUE(OpenTestDisplay());
  ASSERT_EQ(CurrentDisplay().presenter, PRESENTER_SURFACE);
  ASSERT_TRUE(SetSwapInterval(1));
  const double period = 1000.0 / CurrentDisplay().refreshHz;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 11; i++) EXPECT_EQ(PresentShowFrame(), 1);
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  SetSwapInterval(0);
  EXPECT_GE(ms, 9 * period);  // ten waits between eleven frames; only the lower bound is certain
}

TEST(Screen, ReopensAfterThePlatformShutDown) {
  ASSERT_TRUE(OpenTestDisplay());
  ShutdownPlatform();  // SDL destroys every window and context it made
  EXPECT_EQ(PresentShowFrame(), 0);
  CloseShowScreen();
  ASSERT_TRUE(OpenTestDisplay());
  ASSERT_TRUE(LoadSpriteFile(23, SolidPng("red.png", 4, 4, RED), 0));
  DrawSpriteOpaque(23, 0, 0);
  EXPECT_EQ(FramePixel(1, 1), RED);
  EXPECT_EQ(PresentShowFrame(), 1);
}

TEST(Input, CloseRequestsAndEscape) {
  ASSERT_TRUE(OpenTestDisplay());
  while (PollWindowEvent()) {
  }
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  int seen = 0;
  while (int e = PollWindowEvent()) seen = seen ? seen : (e == WINDOW_CLOSE_EVENT ? e : 0);
  EXPECT_EQ(seen, WINDOW_CLOSE_EVENT);
  EXPECT_EQ(PollWindowEvent(), 0);

  // A tap that is over before the keyboard is read still counts, once.
  SDL_Event key{};
  key.type = SDL_KEYDOWN;
  key.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
  SDL_PushEvent(&key);
  key.type = SDL_KEYUP;
  SDL_PushEvent(&key);
  PollKeyboard();
  EXPECT_TRUE(KeyDown(KEY_ESCAPE));
  PollKeyboard();
  EXPECT_FALSE(KeyDown(KEY_ESCAPE));

  TestPressEscape(true);
  PollKeyboard();
  EXPECT_TRUE(KeyDown(KEY_ESCAPE));
  EXPECT_FALSE(KeyDown(2));
  TestPressEscape(false);
  PollKeyboard();
  EXPECT_FALSE(KeyDown(KEY_ESCAPE));
}
}  // namespace
