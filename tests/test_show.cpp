// The whole show in one process on a driven clock: every timeline row draws its
// own scene, the bands and the flash are where they belong, and the show loops.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/draw.h"
#include "render/font.h"
#include "render/screen.h"
#include "render/sprite.h"
#include "render/sprite_paint.h"
#include "support/gl_display.h"
#include "support/scene_checks.h"

namespace {
struct Area {
  uint64_t hash = 1469598103934665603ull;
  std::set<Colour> colours;
};

// Fingerprint of a band of rows of the current frame (every 4th pixel).
Area Look(int y0, int y1) {
  Area a;
  if (!BeginScreenDrawing()) return a;
  for (int y = y0; y < y1; y += 4)
    for (int x = 0; x < 1920; x += 4) {
      Colour c = ReadPixel(x, y);
      a.hash = (a.hash ^ c) * 1099511628211ull;
      if (a.colours.size() < 64) a.colours.insert(c);
    }
  EndScreenDrawing();
  return a;
}

class Show : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenTestDisplay());
    StartShowForTest(100000, 1234);
    EnterScene(0);
  }
  void TearDown() override {
    TestCaptureMessages(false);
    TestUseRealClock();
  }
  // Plays frames 16 ms apart until the clock reaches `until`: the loop's scene
  // switch and frame, without presenting, so the frame can still be read.
  void PlayUntil(int64_t until, int64_t step = 16) {
    while (ElapsedMs() < until) {
      UpdateSceneTime();
      DrawFrame();
      TestAdvanceClock(step);
    }
  }
  // One turn of the real loop; false when it would end the show.
  bool LoopOnce() {
    bool going = RunFrame();
    TestAdvanceClock(1);
    return going;
  }
  void PlayFrames(int frames, int64_t step) { PlayUntil(ElapsedMs() + frames * step, step); }
};
}  // namespace

TEST_F(Show, LoadsEveryPictureWithoutComplaint) {
  EXPECT_EQ(TestCapturedMessages(), "");
  for (SpriteId id : {1, 2, 3, 4, 5, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34})
    EXPECT_TRUE(SpriteExists(id)) << id;
  EXPECT_EQ(cacheReady, 1);
  EXPECT_EQ(cacheWidth, 255);
  EXPECT_EQ(cacheHeight, 255);
  EXPECT_EQ(fontReady, 1);
  EXPECT_EQ(cachedSpriteWidth[30], SpriteWidth(30));
}

TEST_F(Show, EveryRowDrawsItsOwnScene) {
  Area previous = Look(200, 880);
  for (int row = 0; row < 20; row++) {
    SCOPED_TRACE("row " + std::to_string(row) + " effect " + std::to_string(timeline[row].effectNumber));
    // Enter the row the way the loop does: on the frame after the last one's time is up.
    if (row > 0) TestSetClock(sceneStart + timeline[currentScene].durationMs + 1);
    PlayUntil(ElapsedMs() + 1);
    ASSERT_EQ(currentScene, row);
    // On the entry frame the whole screen is white.
    Area flash = Look(0, 1080);
    EXPECT_EQ(flash.colours.size(), 1u);
    EXPECT_EQ(*flash.colours.begin(), Rgb(255, 255, 255));
    PlayFrames(12, 40);
    Area scene = Look(200, 880);
    EXPECT_NE(scene.hash, previous.hash) << "the scene area still shows the previous scene";
    EXPECT_GT(scene.colours.size(), 1u) << "the scene area is one flat colour";
    Area header = Look(0, 200);
    Area bottom = Look(880, 1080);
    if (timeline[row].effectNumber == 18) {
      EXPECT_EQ(header.colours, std::set<Colour>{0});
      EXPECT_EQ(bottom.colours, std::set<Colour>{0});
    } else {
      EXPECT_GT(header.colours.size(), 1u) << "no header picture";
    }
    previous = scene;
  }
  // After the finale the show starts again with the starfield.
  TestSetClock(sceneStart + timeline[19].durationMs + 1);
  PlayUntil(ElapsedMs() + 1);
  EXPECT_EQ(currentScene, 0);
}

// Every colour byte of the finished frame.
uint64_t FrameHash() {
  FrameView f = FinishedFrame();
  uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < f.height; y++) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(f.pixels + (size_t)y * f.stride);
    for (int x = 0; x < f.width; x++) h = (h ^ (row[x] & 0x00FFFFFFu)) * 1099511628211ull;
  }
  return h;
}

// The whole show from the same start and a black frame, every row's frames
// after the given steps, painted as they come on one thread or kept and
// painted in strips on two, on a frame of screenWidth x screenHeight.
std::vector<uint64_t> ShowFrames(int threads, std::initializer_list<int> steps) {
  SetPaintThreads(threads);
  const int64_t width = screenWidth, height = screenHeight;
  StartShowForTest(100000, 1234);
  screenWidth = width;
  screenHeight = height;
  ClearFrameBlack();
  EnterScene(0);
  std::vector<uint64_t> frames;
  for (int row = 0; row < 20; row++) {
    if (row > 0) TestSetClock(sceneStart + timeline[currentScene].durationMs + 1);
    for (int step : steps) {
      TestAdvanceClock(step);
      UpdateSceneTime();
      DrawFrame();
      frames.push_back(FrameHash());
    }
  }
  SetPaintThreads(2);
  return frames;
}

void ExpectSameFrames(const std::vector<uint64_t>& one, const std::vector<uint64_t>& two, size_t perRow) {
  ASSERT_EQ(one.size(), 20 * perRow);
  ASSERT_EQ(two.size(), one.size());
  for (size_t i = 0; i < one.size(); i++) EXPECT_EQ(one[i], two[i]) << "row " << i / perRow << " frame " << i % perRow;
}

TEST_F(Show, EveryRowPaintsTheSameFramesOnOneAndOnTwoThreads) {
  const auto steps = {0, 120, 401, 401, 401};
  ExpectSameFrames(ShowFrames(1, steps), ShowFrames(2, steps), steps.size());
}

// The frame at the desktop's size, as a full screen without a 1920 x 1080
// mode paints it: strips of a frame two and three times as tall.
TEST_F(Show, BigDesktopFramesAreTheSameOnOneAndOnTwoThreads) {
  for (auto [width, height] : {std::pair{3840, 2160}, {5120, 2880}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    ASSERT_TRUE(OpenFrame(width, height));
    screenWidth = width;
    screenHeight = height;
    // One frame a row, while the entry flash still veils the scene.
    const auto steps = {350};
    ExpectSameFrames(ShowFrames(1, steps), ShowFrames(2, steps), steps.size());
  }
  ASSERT_TRUE(OpenFrame(1920, 1080));
}

// Past the 1920-wide header picture, every row's header band is black once the
// entry flash has faded, whatever the frame held before.
TEST_F(Show, ABigDesktopsHeaderBandIsBlackPastTheHeaderPicture) {
  ASSERT_TRUE(OpenFrame(3840, 2160));
  screenWidth = 3840;
  screenHeight = 2160;
  EnterScene(0);
  for (int row = 0; row < 20; row++) {
    if (row > 0) TestSetClock(sceneStart + timeline[currentScene].durationMs + 1);
    UpdateSceneTime();
    ASSERT_TRUE(BeginScreenDrawing());
    DrawBox(0, 0, 3840, 2160, Rgb(90, 160, 30));
    EndScreenDrawing();
    TestAdvanceClock(SCENE_FLASH_MS + 1);
    DrawFrame();
    ASSERT_TRUE(BeginScreenDrawing());
    std::set<Colour> past;
    for (int y = 0; y < 200; y += 7)
      for (int x = 1920; x < 3840; x += 13) past.insert(ReadPixel(x, y));
    EndScreenDrawing();
    EXPECT_EQ(past, std::set<Colour>{Rgb(0, 0, 0)}) << "row " << row;
  }
  screenWidth = 1920;
  screenHeight = 1080;
  ASSERT_TRUE(OpenFrame(1920, 1080));
}

TEST_F(Show, AFrameOnTheDurationIsStillTheOldScene) {
  TestSetClock(sceneStart + timeline[0].durationMs);
  ASSERT_TRUE(LoopOnce());
  EXPECT_EQ(currentScene, 0);
  ASSERT_TRUE(LoopOnce());  // one millisecond more
  EXPECT_EQ(currentScene, 1);
}

TEST_F(Show, AZeroLengthRowEndsOnItsFirstLaterMillisecond) {
  timeline[1].durationMs = 0;
  EnterScene(1);
  ASSERT_TRUE(RunFrame());
  EXPECT_EQ(currentScene, 1);
  TestAdvanceClock(1);
  ASSERT_TRUE(RunFrame());
  EXPECT_EQ(currentScene, 2);
}

TEST_F(Show, TheFlashFadesOutIn450Ms) {
  EnterScene(2);
  TestAdvanceClock(225);
  DrawFrame();
  EXPECT_EQ(sceneFlashActive, 1);
  TestAdvanceClock(225);
  DrawFrame();
  EXPECT_EQ(sceneFlashActive, 0);
}

TEST_F(Show, EscapeEndsTheLoop) {
  TestPressEscape(true);
  EXPECT_FALSE(RunFrame());
  TestPressEscape(false);
  EXPECT_TRUE(RunFrame());
}

// Start-up over an asset folder whose pictures are all FIFOs: every picture
// is reported as not loaded, nothing waits on a FIFO, and the show runs.
TEST(ShowStart, FifosInPlaceOfThePicturesAreReportedAndTheShowRuns) {
  ASSERT_TRUE(OpenTestDisplay());
  std::string folder = GetTempDirectory() + "fifo-assets-" + std::to_string(getpid()) + "/";
  std::filesystem::remove_all(folder);
  ASSERT_TRUE(CreateDirectory(folder));
  for (const EmbeddedAsset& a : ASSET_PACK) ASSERT_EQ(mkfifo((folder + a.name).c_str(), 0600), 0);
  SetStartValues();
  assetFolder = folder;
  for (int i = 0; i < 5; i++) headerImagePaths[i] = folder + "haut" + std::to_string(i + 1) + ".png";
  fontPath = folder + "police20.png";
  BuildTimeline();
  TestCaptureMessages(true);
  TestClearMessages();
  TestSetClock(50000);
  LoadShowAssets();
  SeedStarfield();
  EnterScene(0);
  showStartMs = ElapsedMs();
  for (const EmbeddedAsset& a : ASSET_PACK) {
    std::string name = a.name;
    if (name == "music.ogg" || name == "cyber_bg.png" || name == "launcher.png") continue;
    if (name == "Rotozoom.png") name = "rotozoom.png non chargé : " + folder + "Rotozoom.png";
    EXPECT_NE(TestCapturedMessages().find(name), std::string::npos) << a.name;
  }
  for (int frame = 0; frame < 40; frame++) {
    ASSERT_TRUE(RunFrame());
    TestAdvanceClock(500);
  }
  EXPECT_GT(currentScene, 0);
  TestCaptureMessages(false);
  TestUseRealClock();
  std::filesystem::remove_all(folder);
}
