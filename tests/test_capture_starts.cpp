// Where a capture that starts later stands: the rows, the scene and effect
// clocks and the pass count on the frame grid, against switching frame by frame;
// and its frames against those of a capture from 0 (or of the show painted here
// from 0, which the first capture test shows to be the same).
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <vector>

#include "capture/capture_run.h"
#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/screen.h"
#include "render/sprite.h"
#include "support/gl_display.h"
#include "support/scene_check.h"
#include "support/scene_checks.h"

namespace {
struct Standing {
  int64_t row, sceneStart, passCount, passStart;
  bool operator==(const Standing& o) const {
    return row == o.row && sceneStart == o.sceneStart && passCount == o.passCount && passStart == o.passStart;
  }
};

Standing Now() { return Standing{currentScene, sceneStart, passCount, passStartMs}; }

const int SCENE_TOP = 200, SCENE_BOTTOM = 880;
}  // namespace

// Every row entered frame by frame, as the show's loop does on a grid, against
// EnterShowAt at the same frames: on every switch frame, the frames either side
// and a spread of others, over two passes and a bit.
TEST(ShowPosition, EnterShowAtStandsWhereFrameByFrameSwitchingStands) {
  UseTimelineRow(0);
  for (FrameGrid grid : {FrameGrid{60, 1}, FrameGrid{24000, 1001}, FrameGrid{40, 1}, FrameGrid{7, 1}}) {
    const int64_t end = GridFrameAtOrAfter(grid, 2 * 373500 + 30000);
    std::vector<Standing> walked;
    std::vector<int64_t> checks;
    passCount = 0;
    TestSetClock(0);
    EnterScene(0);
    int64_t row = 0;
    for (int64_t n = 0; n < end; n++) {
      TestSetClock(GridFrameMs(grid, n));
      UpdateSceneTime();
      walked.push_back(Now());
      if (currentScene != row || n % 97 == 0) checks.insert(checks.end(), {n - 1, n, n + 1});
      row = currentScene;
    }
    for (int64_t n : checks) {
      if (n < 0 || n >= end) continue;
      EnterShowAt(grid, n);
      ASSERT_TRUE(Now() == walked[(size_t)n]) << grid.num << "/" << grid.den << " frame " << n << ": row "
                                              << currentScene << " from " << sceneStart;
      ASSERT_EQ(ElapsedMs(), GridFrameMs(grid, n));
    }
  }
  TestUseRealClock();
}

TEST(ShowPosition, LateStartsLandOnTheGridOfTheRepeatingTimeline) {
  UseTimelineRow(0);
  ASSERT_EQ(TimelinePassMs(), 373500);
  // 1 ms frames: every row lasts its duration and one millisecond.
  const FrameGrid ms{1000, 1};
  const int64_t pass = 373500 + 20;
  struct Case {
    int64_t at, row, rowStart, passes;
  } cases[] = {
      {0, 0, 0, 1},
      {17000, 0, 0, 1},  // equal is not yet over
      {17001, 1, 17001, 1},
      {40000, 4, 32004, 1},
      {pass - 1, 19, 153519, 1},  // the last row holds on the pass's last millisecond
      {pass, 0, pass, 2},
      {pass + 26500, 3, pass + 24703, 2},
      {1000 * pass + 100000, 12, 1000 * pass + 96012, 1001},
  };
  for (const Case& c : cases) {
    EnterShowAt(ms, c.at);
    EXPECT_EQ(currentScene, c.row) << c.at;
    EXPECT_EQ(sceneStart, c.rowStart) << c.at;
    EXPECT_EQ(passCount, c.passes) << c.at;
    EXPECT_EQ(ElapsedMs(), c.at);
    EXPECT_EQ(showStartMs, 0);
  }
  // The flash of a row entered this way is as old as the row.
  EnterShowAt(ms, 17100);
  EXPECT_EQ(sceneFlashStartMs, 17001);

  // 40 frames a second: 25 ms frames, every duration a whole number of them,
  // so every row lasts one frame more and a pass 374,000 ms.
  const FrameGrid forty{40, 1};
  int64_t passFrame = EnterShowAt(forty, GridFrameAtOrAfter(forty, 1616LL * 374000 + 17500));
  EXPECT_EQ(passFrame, 1616LL * 374000 / 25);
  EXPECT_EQ(passCount, 1617);
  EXPECT_EQ(currentScene, 1);
  EXPECT_EQ(sceneStart, 1616LL * 374000 + 17025);
  EXPECT_EQ(EffectClockMs(), 17500);
  // A week: pass 1618, 42 s in, in the twisters entered at 32.1 s of the pass.
  passFrame = EnterShowAt(forty, GridFrameAtOrAfter(forty, 7LL * 24 * 3600 * 1000));
  EXPECT_EQ(passFrame, 1617LL * 374000 / 25);
  EXPECT_EQ(passCount, 1618);
  EXPECT_EQ(currentScene, 4);
  EXPECT_EQ(sceneStart, 1617LL * 374000 + 32100);
  EXPECT_EQ(EffectClockMs(), 42000);
  TestUseRealClock();
}

namespace {
// Lossless captures from 0 to 30 s and from 20 s to 30 s agree on 20 to 30 s.
void ExpectTwentySecondsInAgree(const std::string& name, const std::string& fps, const FrameGrid& grid) {
  const std::string dir = EmptyScratchFolder(name);
  RunResult zero = RunCapture(dir, "-o " + dir + "zero.mkv --fps " + fps + " --to 30 --seed 3");
  ASSERT_EQ(zero.exitCode, 0) << zero.errors;
  RunResult later = RunCapture(dir, "-o " + dir + "later.mkv --fps=" + fps + " --from 20 --to 30 --seed 3");
  ASSERT_EQ(later.exitCode, 0) << later.errors;
  const int64_t skip = GridFrameAtOrAfter(grid, 20000);
  std::vector<uint64_t> a = FileFrameHashes(dir + "zero.mkv", skip, 0, 1080);
  std::vector<uint64_t> b = FileFrameHashes(dir + "later.mkv", 0, 0, 1080);
  ASSERT_EQ(b.size(), (size_t)(GridFrameAtOrAfter(grid, 30000) - skip));
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); i++) ASSERT_EQ(a[i], b[i]) << "frame " << skip + (int64_t)i;
  ReadBack file = ReadVideo(dir + "later.mkv");
  EXPECT_EQ(av_cmp_q(file.frameRate, AVRational{(int)grid.num, (int)grid.den}), 0);
}

// A window of a lossless capture starting at fromMs against the show painted
// here from 0 on the same grid; the window must hold a switch from row `before`
// to row `after`.
void ExpectWindowIsTheShowFromZero(const std::string& name, const FrameGrid& grid, const std::string& fps,
                                   int64_t fromMs, int64_t toMs, int64_t before, int64_t after) {
  const std::string dir = EmptyScratchFolder(name);
  const int64_t first = GridFrameAtOrAfter(grid, fromMs), end = GridFrameAtOrAfter(grid, toMs);
  UseTimelineRow(0);
  EnterShowAt(grid, first);
  EXPECT_EQ(currentScene, before);
  EnterShowAt(grid, end - 1);
  EXPECT_EQ(currentScene, after);
  RunResult run = RunCapture(dir, "-o " + dir + "window.mkv --fps " + fps + " --from " + std::to_string(fromMs / 1000.0) +
                                      " --to " + std::to_string(toMs / 1000.0) + " --seed 8");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  std::vector<uint64_t> file = FileFrameHashes(dir + "window.mkv", 0, 0, 1080);
  ASSERT_TRUE(OpenTestDisplay());
  std::vector<uint64_t> show = ShowFrameHashes(grid, 8, first, end, 0, 1080);
  ASSERT_EQ(file.size(), show.size());
  for (size_t i = 0; i < file.size(); i++) ASSERT_EQ(file[i], show[i]) << "frame " << first + (int64_t)i;
}
}  // namespace

TEST(CaptureStarts, TwentySecondsInAgreesWithACaptureFromZeroAt60) {
  ExpectTwentySecondsInAgree("starts-60", "60", FrameGrid{60, 1});
}

TEST(CaptureStarts, TwentySecondsInAgreesWithACaptureFromZeroAtFilmRate) {
  ExpectTwentySecondsInAgree("starts-film", "24000/1001", FrameGrid{24000, 1001});
}

// Nineteen switches in at the film rate, the finale begins about 236 ms after
// its nominal 153.5 s: the rain gives way to it on the same frame as from 0,
// with the rain's drops and the finale's first puffs of steam as from 0.
TEST(CaptureStarts, TheFinaleStartsOnTheFrameACaptureFromZeroStartsIt) {
  ExpectWindowIsTheShowFromZero("starts-finale", FrameGrid{24000, 1001}, "24000/1001", 153400, 155000, 18, 19);
}

// Ten seconds into the avalanche its bodies have piled up as from 0.
TEST(CaptureStarts, TheAvalancheTenSecondsInHasItsPile) {
  ExpectWindowIsTheShowFromZero("starts-avalanche", FrameGrid{24000, 1001}, "24000/1001", 56100, 56600, 6, 6);
}

// At 40 frames a second a pass lasts 374 s on the grid; pass 1617 begins at
// 604,384 s. A start there plays the plasma as the first pass does, to the pixel.
TEST(CaptureStarts, APassAWeekInPlaysThePlasmaOfTheFirstPass) {
  const std::string dir = EmptyScratchFolder("starts-week");
  RunResult first = RunCapture(dir, "-o " + dir + "first.mkv --fps 40 --from 17.5 --to 18");
  ASSERT_EQ(first.exitCode, 0) << first.errors;
  RunResult late = RunCapture(dir, "-o " + dir + "late.mkv --fps 40 --from 604401.5 --to 604402");
  ASSERT_EQ(late.exitCode, 0) << late.errors;
  std::vector<uint64_t> a = FileFrameHashes(dir + "first.mkv", 0, SCENE_TOP, SCENE_BOTTOM);
  std::vector<uint64_t> b = FileFrameHashes(dir + "late.mkv", 0, SCENE_TOP, SCENE_BOTTOM);
  ASSERT_EQ(a.size(), 20u);
  ASSERT_TRUE(a == b);
  // The header band is the plasma's in both; the scroller has long gone in the late one.
  EXPECT_TRUE(FileFrameHashes(dir + "first.mkv", 0, 0, SCENE_TOP) == FileFrameHashes(dir + "late.mkv", 0, 0, SCENE_TOP));
}

// A replay drops each frame's draws unpainted. That is sound because every
// frame of every row covers the whole picture, whatever it held before: the
// same frame drawn over two different pictures comes out the same.
TEST(CaptureStarts, EveryRowsFrameCoversWhateverThePictureHeldBefore) {
  ASSERT_TRUE(OpenTestDisplay());
  StartShowForTest(0, 7);
  const FrameGrid grid{60, 1};
  int64_t rowStart = 0;
  for (const TimelineRecord& row : std::vector<TimelineRecord>(timeline)) {
    // Just after the row's flash, and a second in.
    for (int64_t ms : {rowStart + 100, rowStart + 1000}) {
      uint64_t hashes[2] = {};
      for (int k = 0; k < 2; k++) {
        InitAllEffects();
        TestSeedRandom(7);
        SeedStarfield();
        EnterShowAt(grid, GridFrameAtOrAfter(grid, ms));
        ASSERT_TRUE(BeginScreenDrawing());
        SetDrawingMode(DRAW_MODE_DEFAULT);
        for (int y = 0; y < 1080; y += 60)
          for (int x = 0; x < 1920; x += 64)
            DrawBox(x, y, 64, 60, Rgb((x * 7 + y * 3 + k * 101) & 255, (x + k * 53) & 255, (y * 5 + k * 29) & 255));
        EndScreenDrawing();
        FinishedFrame();
        DrawFrame();
        FrameView f = FinishedFrame();
        hashes[k] = RowsHash(reinterpret_cast<const uint32_t*>(f.pixels), f.stride / 4, 0, 1080);
      }
      EXPECT_EQ(hashes[0], hashes[1]) << "row " << currentScene << " at " << ms << " ms";
    }
    rowStart += row.durationMs;
  }
  TestUseRealClock();
}

// The replay before a late start holds one frame's draws at a time: a start at
// 370 s (22,200 frames replayed at 60 fps) needs no more memory than one at 0.
TEST(CaptureStarts, AStartAt370sTakesNoMoreMemoryThanAStartAt0) {
  const std::string dir = EmptyScratchFolder("starts-memory");
  long peakKb[2] = {};
  const char* args[2] = {"--fps 60 --to 0.05", "--fps 60 --from 370 --to 370.05"};
  for (int k = 0; k < 2; k++) {
    pid_t pid = SpawnCapture(dir, "-y -o " + dir + "start.mkv " + args[k]);
    ASSERT_GT(pid, 0);
    int status = 0;
    rusage use {};
    ASSERT_EQ(wait4(pid, &status, 0, &use), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir.substr(0, dir.size() - 1) + "-stderr.txt");
    peakKb[k] = use.ru_maxrss;
  }
  std::printf("peak resident memory: %ld MB from 0, %ld MB from 370 s\n", peakKb[0] / 1024, peakKb[1] / 1024);
  EXPECT_LT(peakKb[1] - peakKb[0], 50 * 1024);
}

// A whole pass at 12 frames a second: it ends on the frame before the one on
// which the show, frame by frame, enters row 0 again, sound included.
TEST(CaptureStarts, AWholePassAt12FpsEndsOnTheFrameBeforeRowZeroComesBack) {
  const std::string dir = EmptyScratchFolder("starts-pass");
  const FrameGrid grid{12, 1};
  UseTimelineRow(0);
  passCount = 0;
  TestSetClock(0);
  EnterScene(0);
  int64_t frames = 1;
  for (;; frames++) {
    TestSetClock(GridFrameMs(grid, frames));
    UpdateSceneTime();
    if (passCount == 2) break;
  }
  TestUseRealClock();
  RunResult run = RunCapture(dir, "-o " + dir + "pass.mp4 --fps 12 --preset ultrafast");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_NE(run.output.find("pass.mp4: " + std::to_string(frames) + " frames"), std::string::npos) << run.output;
  ReadBack file = ReadVideo(dir + "pass.mp4");
  EXPECT_EQ(file.pictures, frames);
  EXPECT_NEAR((double)file.soundFrames, (double)frames * 4000, 1024.0);
}
