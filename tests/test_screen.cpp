// The display and its drawing bridge on a real GL context: opening and failing
// to open, the lossless round trip, read-back after sprite draws, a stretched
// window that still works in logical coordinates, resizing, and the input calls.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>

#include <cstdlib>

#include "platform/platform.h"
#include "render/draw.h"
#include "render/screen_state.h"
#include "render/sprite.h"
#include "support/gl_display.h"

namespace {
constexpr Colour RED = Rgb(255, 0, 0), GREEN = Rgb(0, 255, 0), BLACK = Rgb(0, 0, 0);

std::string SolidPng(const std::string& name, int w, int h, Colour c) {
  std::string path = TestScratchFolder("screen") + name;
  EXPECT_TRUE(WriteTestPng(path, w, h, 3, SolidPixels(w, h, 3, c)));
  return path;
}

// The GL back buffer's pixel at window position (x, y), y from the top.
Colour WindowPixel(int x, int y) {
  uint8_t p[4] = {};
  glReadBuffer(GL_BACK);
  glReadPixels(x, screenState.windowHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return Rgb(p[0], p[1], p[2]);
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
  EXPECT_EQ(PresentFrame(), 0);
  EXPECT_EQ(LoadSpriteFile(20, SolidPng("red.png", 4, 4, RED), 0), 0);  // no GL context yet
  EXPECT_EQ(OpenFullscreenDisplay(0, 1080, 32, "ZYNTRAX test"), 0);
  EXPECT_EQ(OpenFullscreenDisplay(1234, 777, 32, "ZYNTRAX test"), 0);  // no such display mode
  EXPECT_GT(DesktopWidth(), 0);
  EXPECT_GT(DesktopHeight(), 0);
}

TEST(Screen, FullScreenAtTheDesktopModeAndClosing) {
  int w = DesktopWidth(), h = DesktopHeight();
  ASSERT_TRUE(OpenFullscreenDisplay(w, h, 32, "ZYNTRAX test"));
  EXPECT_FALSE(screenState.windowed);
  EXPECT_EQ(screenState.logicalWidth, w);
  EXPECT_EQ(screenState.windowHeight, h);
  ASSERT_TRUE(LoadSpriteFile(20, SolidPng("red.png", 4, 4, RED), 0));
  DrawSpriteOpaque(20, 10, 10);
  EXPECT_EQ(FramePixel(11, 11), RED);
  EXPECT_EQ(FramePixel(20, 20), BLACK);
  EXPECT_EQ(PresentFrame(), 1);
  CloseScreen();
  EXPECT_FALSE(SpriteExists(20));
  EXPECT_EQ(BeginScreenDrawing(), 0);
  EXPECT_EQ(PresentFrame(), 0);
}

TEST(Screen, TheBridgeRoundTripIsLossless) {
  ASSERT_TRUE(OpenTestDisplay());
  EXPECT_EQ(screenState.logicalWidth, 1920);
  EXPECT_EQ(screenState.windowWidth, 1920);
  // Fill the frame with noise through the primitives.
  ASSERT_TRUE(BeginScreenDrawing());
  std::srand(11);
  for (int y = 0; y < 1080; y += 3)
    for (int x = 0; x < 1920; x += 5)
      DrawBox(x, y, 5, 3, Rgb(std::rand() & 255, std::rand() & 255, std::rand() & 255));
  EndScreenDrawing();
  std::vector<Colour> before = Snapshot();
  // A sprite drawn far off forces a real read-back of the GL frame next time.
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
  // What the window shows is what the bridge saw.
  EXPECT_EQ(WindowPixel(160, 160), GREEN);
  EXPECT_EQ(WindowPixel(220, 220), RED);
  // After a present the frame is read again, not taken from the old copy.
  PresentFrame();
  DrawSpriteOpaque(21, 0, 0);
  EXPECT_EQ(FramePixel(50, 50), RED);
}

TEST(Screen, AStretchedWindowKeepsLogicalCoordinates) {
  ASSERT_TRUE(OpenTestDisplay(960, 540));
  EXPECT_EQ(screenState.windowWidth, 960);
  EXPECT_EQ(screenState.windowHeight, 540);
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
  EXPECT_EQ(WindowPixel(150, 175), RED);
  EXPECT_EQ(WindowPixel(550, 350), GREEN);
  EXPECT_EQ(WindowPixel(20, 20), BLACK);
  // ...and the bridge reads it back in logical pixels.
  EXPECT_EQ(FramePixel(110, 210), RED);
  EXPECT_EQ(FramePixel(490, 490), RED);
  EXPECT_EQ(FramePixel(1100, 700), GREEN);
  EXPECT_EQ(FramePixel(50, 50), BLACK);
  EXPECT_EQ(FramePixel(1300, 900), BLACK);
  SaveFramePng(TestScratchFolder("screen") + "stretched.png");
}

TEST(Screen, ResizingTheHostRunsTheStretchFit) {
  ASSERT_TRUE(OpenTestDisplay(960, 540));
  SDL_SetWindowSize(SDL_GetWindowFromID(SDL_GetWindowID(screenState.parentWindow)), 640, 360);
  for (int i = 0; i < 200 && screenState.windowWidth != 640; i++) {
    while (PollWindowEvent()) {
    }
    SDL_Delay(10);
  }
  EXPECT_EQ(screenState.windowWidth, 640);
  EXPECT_EQ(screenState.windowHeight, 360);
  ClearFrame(BLACK);
  ASSERT_TRUE(BeginScreenDrawing());
  DrawBox(960, 540, 300, 300, RED);
  EndScreenDrawing();
  EXPECT_EQ(WindowPixel(330, 190), RED);
  EXPECT_EQ(WindowPixel(310, 170), BLACK);
  EXPECT_EQ(FramePixel(1000, 600), RED);
  EXPECT_EQ(FramePixel(900, 500), BLACK);
}

TEST(Screen, ReopensAfterThePlatformShutDown) {
  ASSERT_TRUE(OpenTestDisplay());
  ShutdownPlatform();  // SDL destroys every window and context it made
  EXPECT_EQ(PresentFrame(), 0);
  CloseScreen();
  ASSERT_TRUE(OpenTestDisplay());
  ASSERT_TRUE(LoadSpriteFile(23, SolidPng("red.png", 4, 4, RED), 0));
  DrawSpriteOpaque(23, 0, 0);
  EXPECT_EQ(FramePixel(1, 1), RED);
  EXPECT_EQ(PresentFrame(), 1);
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
