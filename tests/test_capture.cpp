// zyntrax-capture from the outside: its files read back through libavformat and
// compared with the show painted here at the same moments, their tags and start
// times, its options and its clean failures; and the file writer and the part
// file on their own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>
#include <vector>

#include "capture/capture_run.h"
#include "driver/driver.h"
#include "platform/platform.h"
#include "support/gl_display.h"
#include "support/scene_check.h"
#include "support/scene_checks.h"
#include "tools/capture/options.h"
#include "tools/capture/part_file.h"
#include "tools/capture/video_file.h"


TEST(Capture, LosslessFramesAndMusicAreTheShowsOwn) {
  const std::string dir = EmptyScratchFolder("capture-lossless");
  RunResult run = RunCapture(dir, "-o " + dir + "three.mkv --lossless --fps 5 --to 3 --seed 21");
  ASSERT_EQ(run.exitCode, 0) << run.errors;

  ASSERT_TRUE(OpenTestDisplay());
  StartShowForTest(0, 21);
  EnterShowAt(FrameGrid{5, 1}, 0);
  int64_t n = 0;
  ReadBack file = ReadVideo(dir + "three.mkv", [&](const AVFrame* f) {
    ASSERT_EQ(f->width, 1920);
    ASSERT_EQ(f->height, 1080);
    ASSERT_EQ(f->format, AV_PIX_FMT_0RGB32);
    TestSetClock(n * 200);
    UpdateSceneTime();
    DrawFrame();
    EXPECT_EQ(DifferencesFromFrame(PicturePixels(f)), 0) << "frame " << n;
    n++;
  });
  ASSERT_TRUE(file.opened);
  EXPECT_EQ(file.videoCodec, "ffv1");
  EXPECT_EQ(file.soundCodec, "flac");
  EXPECT_EQ(file.pictures, 15);
  EXPECT_EQ(av_cmp_q(file.frameRate, AVRational{5, 1}), 0);
  EXPECT_EQ(file.sampleRate, 48000);
  EXPECT_EQ(file.soundFrames, 3 * 48000);
  EXPECT_TRUE(file.sound == TrackSpan(DecodedTrack(), 0, 3 * 48000, 100));
}

// Captures of 1 to 2 s: the same seed twice, another seed at half volume.
TEST(Capture, TheSeedFixesTheStarsAndTheSoundFollowsTheStartAndVolume) {
  const std::string dir = EmptyScratchFolder("capture-seed");
  std::vector<std::vector<uint32_t>> pictures[3];
  ReadBack files[3];
  const char* args[3] = {"--seed 11", "--seed 11", "--seed 12 --volume 50"};
  for (int k = 0; k < 3; k++) {
    std::string path = dir + "seed" + std::to_string(k) + ".mkv";
    RunResult run = RunCapture(dir, "-o " + path + " --lossless --fps 2 --from 1 --to 2 " + args[k]);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    files[k] = ReadVideo(path, [&](const AVFrame* f) { pictures[k].push_back(PicturePixels(f)); });
    ASSERT_EQ(pictures[k].size(), 2u);
  }
  EXPECT_TRUE(pictures[0] == pictures[1]);
  // Another seed moves the stars in the scene area and leaves the header alone.
  auto rows = [](const std::vector<uint32_t>& p, int y0, int y1) {
    return std::vector<uint32_t>(p.begin() + (ptrdiff_t)y0 * 1920, p.begin() + (ptrdiff_t)y1 * 1920);
  };
  EXPECT_TRUE(rows(pictures[0][1], 0, 200) == rows(pictures[2][1], 0, 200));
  EXPECT_FALSE(rows(pictures[0][1], 200, 880) == rows(pictures[2][1], 200, 880));

  std::vector<int16_t> track = DecodedTrack();
  EXPECT_TRUE(files[0].sound == TrackSpan(track, 48000, 96000, 100));
  EXPECT_TRUE(files[2].sound == TrackSpan(track, 48000, 96000, 50));
}

TEST(Capture, Mp4AndWebmCarryTheirRateFramesSizeAndSound) {
  const std::string dir = EmptyScratchFolder("capture-lossy");
  struct Case {
    const char* name;
    int fps;
    const char* video;
    const char* sound;
  } cases[] = {{"short.mp4", 30, "h264", "aac"}, {"short.webm", 24, "vp9", "opus"}};
  for (const Case& c : cases) {
    std::string path = dir + c.name;
    RunResult run = RunCapture(dir, "-o " + path + " --fps " + std::to_string(c.fps) + " --from 20 --to 21");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ReadBack file = ReadVideo(path);
    ASSERT_TRUE(file.opened) << c.name;
    EXPECT_EQ(file.videoCodec, c.video);
    EXPECT_EQ(file.soundCodec, c.sound);
    EXPECT_EQ(file.width, 1920);
    EXPECT_EQ(file.height, 1080);
    EXPECT_EQ(av_cmp_q(file.frameRate, AVRational{c.fps, 1}), 0) << c.name;
    EXPECT_EQ(file.pictures, c.fps) << c.name;
    EXPECT_EQ(file.sampleRate, 48000);
    // Lossy encoders work in blocks: within one block of the second asked for.
    EXPECT_NEAR((double)file.soundFrames, 48000.0, 1024.0) << c.name;
  }
}

TEST(Capture, ScaleTwoDoublesEveryPixel) {
  const std::string dir = EmptyScratchFolder("capture-scale");
  std::vector<uint32_t> small, large;
  int largeW = 0, largeH = 0;
  for (int scale = 1; scale <= 2; scale++) {
    std::string path = dir + "scale" + std::to_string(scale) + ".mkv";
    RunResult run = RunCapture(dir, "-o " + path + " --fps 1 --from 30 --to 31 --scale " + std::to_string(scale));
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ReadVideo(path, [&](const AVFrame* f) {
      (scale == 1 ? small : large) = PicturePixels(f);
      if (scale == 2) largeW = f->width, largeH = f->height;
    });
  }
  ASSERT_EQ(largeW, 3840);
  ASSERT_EQ(largeH, 2160);
  ASSERT_EQ(small.size(), (size_t)1920 * 1080);
  int64_t differ = 0;
  for (int y = 0; y < 2160; y++)
    for (int x = 0; x < 3840; x++) differ += large[(size_t)y * 3840 + x] != small[(size_t)(y / 2) * 1920 + x / 2];
  EXPECT_EQ(differ, 0);
}

TEST(Capture, BadOptionsAndUnwritableFilesFailWithTheirMessageAndLeaveNothing) {
  const std::string dir = EmptyScratchFolder("capture-bad");
  const std::string out = "-o " + dir + "x.mp4 ";
  struct Case {
    std::string args, message;
  } cases[] = {
      {"--fps 60", "no output file: give one with -o FILE"},
      {out + "--fps 0", "--fps needs a whole number of frames per second from 1 to 240"},
      {out + "--fps 241", "--fps needs a whole number"},
      {out + "--fps 2x", "--fps needs a whole number"},
      {out + "--fps", "--fps needs a whole number"},
      {out + "--volume 101", "--volume needs a whole number from 0 to 100"},
      {out + "--scale 3", "--scale needs 1 or 2"},
      {out + "--seed -4", "--seed needs a whole number"},
      {out + "--from 604800.5", "--from needs a time in seconds from 0 to 604800 (a week)"},
      {out + "--from nan", "--from needs a time in seconds"},
      {out + "--from 10 --to 5", "--to must come after --from"},
      {out + "--fps 1 --from 0.2 --to 0.7", "no frame falls between --from and --to at this frame rate"},
      {out + "--lossless", "--lossless writes .mkv files only"},
      {"-o " + dir + "x.avi", "the output file's name must end in .mp4, .webm or .mkv"},
      {out + "--colour", "unknown option --colour"},
      {out + "--fps=0", "--fps needs a whole number of frames per second from 1 to 240"},
      {out + "--fps 30000/1002", "--fps needs a whole number"},
      {out + "--fps 1/2", "--fps needs a whole number"},
      {out + "--lossless=yes", "--lossless takes no value"},
      {out + "--colour=red", "unknown option --colour"},
      {out + "--crf 52", "--crf needs a whole number from 0 to 51 for .mp4 files"},
      {out + "--crf=-1", "--crf needs a whole number from 0 to 63"},
      {out + "--preset quick", "--preset needs an x264 preset"},
      {"-o " + dir + "x.webm --preset slow", "--preset applies to .mp4 files only"},
      {"-o " + dir + "x.webm --yuv444", "--yuv444 applies to .mp4 files only"},
      {"-o " + dir + "x.mkv --crf 10", "--crf applies to .mp4 and .webm files"},
  };
  for (const Case& c : cases) {
    RunResult run = RunCapture(dir, c.args);
    EXPECT_EQ(run.exitCode, 2) << c.args;
    EXPECT_NE(run.errors.find("zyntrax-capture: " + c.message), std::string::npos) << c.args << ": " << run.errors;
  }
  // A folder that is really a file cannot take the video, root or not.
  std::ofstream(dir + "plain") << "x";
  RunResult run = RunCapture(dir, "-o " + dir + "plain/x.mkv --fps 1 --to 1");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errors.find("zyntrax-capture: cannot write " + dir + "plain/x.mkv"), std::string::npos) << run.errors;
  EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"plain"});

  run = RunCapture(dir, "--version");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output.rfind("zyntrax-capture ", 0), 0u) << run.output;
}

namespace {
// Waits for pid; its wait status.
int WaitStatus(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, 0) == pid ? status : -1;
}

// Waits up to 10 s for folder to be empty (a watcher process may still be
// removing a part file).
bool EmptiesSoon(const std::string& folder) {
  for (int i = 0; i < 500 && !FilesIn(folder).empty(); i++) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return FilesIn(folder).empty();
}
}  // namespace

// Ctrl+C (during the replay before a late start's first frame) and SIGTERM end
// a capture by that very signal and leave nothing; so does SIGKILL, which
// nothing can catch: the file is unnamed until it is complete, or where the
// file system cannot do that, a watcher process removes the part file.
TEST(Capture, AStopBySignalEndsItByThatSignalAndLeavesNoFile) {
  const std::string dir = EmptyScratchFolder("capture-interrupt");
  struct Case {
    int sig;
    const char* args;
    bool fallback;
  } cases[] = {{SIGINT, "--fps 60 --from 700 --to 701", false},
               {SIGTERM, "--fps 10 --to 120", false},
               {SIGKILL, "--fps 10 --to 120", false},
               {SIGKILL, "--fps 10 --to 120", true}};
  for (const Case& c : cases) {
    std::vector<std::string> env;
    if (c.fallback) env.push_back("ZYNTRAX_TEST_NO_UNNAMED_FILE=1");
    pid_t pid = SpawnCapture(dir, "-o " + dir + "long.mkv " + c.args, env, ZYNTRAX_CAPTURE_TEST);
    ASSERT_GT(pid, 0);
    std::string link;
    ASSERT_EQ(WaitForWriter(dir, &link), pid);
    const bool unnamed = link.find("(deleted)") != std::string::npos;
    EXPECT_EQ(unnamed, !c.fallback) << link;
    std::printf("signal %d: the capture wrote %s\n", c.sig,
                unnamed ? "an unnamed file" : "the fallback's part file, watched by a second process");
    std::this_thread::sleep_for(std::chrono::milliseconds(c.sig == SIGINT ? 3000 : 500));
    kill(pid, c.sig);
    const auto signalled = std::chrono::steady_clock::now();
    int status = WaitStatus(pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << c.sig << ": status " << status;
    EXPECT_EQ(WTERMSIG(status), c.sig);
    // A replay of 42,000 frames stops between two of them (any bound far from
    // its whole length tells the two apart).
    if (c.sig == SIGINT) EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(10));
    EXPECT_TRUE(EmptiesSoon(dir)) << "signal " << c.sig << ": " << (FilesIn(dir).empty() ? "" : FilesIn(dir)[0]);
  }
}

// nohup leaves SIGHUP ignored, and the capture keeps it so: a hang-up does not
// end it. Ctrl+C at a terminal reaches the whole group: a shell loop of
// captures stops with the first, as a shell stops on a command killed by it.
TEST(Capture, NohupOutlivesAHangUpAndCtrlCStopsTheShellsLoop) {
  const std::string dir = EmptyScratchFolder("capture-nohup");
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    setenv("TMPDIR", PrivateTemp(dir).c_str(), 1);
    const std::string path = dir + "kept.mkv";
    execlp("nohup", "nohup", ZYNTRAX_CAPTURE, "-o", path.c_str(), "--fps", "5", "--to", "2", (char*)nullptr);
    _exit(127);
  }
  ASSERT_EQ(WaitForWriter(dir), pid);
  for (int i = 0; i < 3; i++) {
    kill(pid, SIGHUP);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  int status = WaitStatus(pid);
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"kept.mkv"});

  const std::string loopDir = EmptyScratchFolder("capture-loop");
  std::fflush(nullptr);
  pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    setenv("TMPDIR", PrivateTemp(loopDir).c_str(), 1);
    const std::string script = std::string("for i in 1 2; do ") + ZYNTRAX_CAPTURE + " -o " + loopDir +
                               "loop$i.mkv --fps 10 --to 120; done; touch " + loopDir + "finished";
    execlp("bash", "bash", "-c", script.c_str(), (char*)nullptr);
    _exit(127);
  }
  ASSERT_GT(WaitForWriter(loopDir), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  kill(-pid, SIGINT);
  status = WaitStatus(pid);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "the shell's status " << status;
  EXPECT_TRUE(EmptiesSoon(loopDir)) << FilesIn(loopDir)[0];
}

// A file at the target is kept, read-only or not, and refused before anything
// is painted; -y (or --overwrite) replaces it.
TEST(Capture, AnExistingTargetSurvivesARunWithoutOverwrite) {
  const std::string dir = EmptyScratchFolder("capture-existing");
  const std::string master = dir + "master.mkv";
  for (mode_t mode : {0644, 0444}) {
    std::ofstream(master) << "the finished master";
    chmod(master.c_str(), mode);
    RunResult run = RunCapture(dir, "-o " + master + " --fps 1 --to 1");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("zyntrax-capture: cannot write " + master +
                              ": the file exists (give -y or --overwrite to replace it)"),
              std::string::npos)
        << run.errors;
    EXPECT_EQ(ReadText(master), "the finished master");
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"master.mkv"});
  }
  for (const char* flag : {"-y", "--overwrite"}) {
    std::ofstream(master) << "an old take";
    RunResult run = RunCapture(dir, std::string(flag) + " -o " + master + " --fps 1 --to 1");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(ReadVideo(master).videoCodec, "ffv1") << flag;
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"master.mkv"});
  }
}

// A carried picture or the music that cannot be decoded (spoiled by the test
// build's hook) ends the capture with the file's name and status 1: no message
// box waits on a display, and no video is written without it. Nothing is
// written to the temporary folder either.
TEST(Capture, ASpoiledCarriedFileEndsItWithItsNameAndNoWindow) {
  const std::string dir = EmptyScratchFolder("capture-spoiled");
  const std::string tmp = PrivateTemp(dir);
  const char* display = std::getenv("DISPLAY");
  ASSERT_TRUE(display) << "the test runs on a display, as the test command gives it";
  for (const char* name : {"billboard3.png", "music.ogg"}) {
    for (bool withDisplay : {true, false}) {
      std::system(("rm -rf " + tmp + "/*").c_str());
      const std::string err = dir.substr(0, dir.size() - 1) + "-stderr.txt";
      // A message box would wait for a click until the time limit.
      const std::string command = std::string(withDisplay ? "" : "env -u DISPLAY ") + "TMPDIR=" + tmp +
                                  " ZYNTRAX_TEST_SPOIL=" + name + " timeout 120 " + ZYNTRAX_CAPTURE_TEST + " -o " +
                                  dir + "holed.mp4 --fps 2 --to 1 2>" + err;
      int status = std::system(command.c_str());
      ASSERT_TRUE(WIFEXITED(status));
      EXPECT_EQ(WEXITSTATUS(status), 1) << name << (withDisplay ? " with a display" : " without a display");
      EXPECT_NE(ReadText(err).find(std::string("zyntrax-capture: the carried file ") + name + " cannot be loaded"),
                std::string::npos)
          << ReadText(err);
      EXPECT_TRUE(FilesIn(dir).empty());
      for (const std::string& f : FilesIn(tmp)) EXPECT_TRUE(FilesIn(tmp + "/" + f).empty()) << f;
    }
  }
}

namespace {
// The top-level boxes of an .mp4 file, in order.
std::vector<std::string> Mp4Boxes(const std::string& path) {
  std::vector<std::string> boxes;
  std::ifstream in(path, std::ios::binary);
  for (;;) {
    unsigned char head[8];
    if (!in.read(reinterpret_cast<char*>(head), 8)) break;
    uint64_t size = (uint64_t)head[0] << 24 | head[1] << 16 | head[2] << 8 | head[3];
    boxes.push_back(std::string(reinterpret_cast<char*>(head + 4), 4));
    uint64_t skip = size - 8;
    if (size == 1) {
      unsigned char big[8];
      in.read(reinterpret_cast<char*>(big), 8);
      size = 0;
      for (unsigned char b : big) size = size << 8 | b;
      skip = size - 16;
    }
    if (size < 8) break;
    in.seekg((std::streamoff)skip, std::ios::cur);
  }
  return boxes;
}
}  // namespace

// Half a second of each container: the sound's first sample is heard with the
// first picture (the encoders' priming samples are accounted for), and the
// colour tags and chroma siting are where players and editors read them.
TEST(Capture, EveryFileStartsItsSoundWithItsPicturesAndCarriesItsColourTags) {
  const std::string dir = EmptyScratchFolder("capture-tags");
  struct Case {
    const char* name;
    const char* args;
    bool rgb;
  } cases[] = {{"tags.mp4", "--fps 30", false}, {"tags.webm", "--fps 24", false}, {"tags.mkv", "--fps 10", true}};
  for (const Case& c : cases) {
    const std::string path = dir + c.name;
    RunResult run = RunCapture(dir, "-o " + path + " " + c.args + " --from 20 --to 20.5");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ReadBack file = ReadVideo(path, [](const AVFrame*) {});
    ASSERT_TRUE(file.opened) << c.name;
    // Matroska stamps are whole milliseconds.
    EXPECT_NEAR(file.firstSoundSeconds, file.firstPictureSeconds, 0.001) << c.name;
    EXPECT_EQ(file.primaries, AVCOL_PRI_BT709) << c.name;
    if (c.rgb) {
      EXPECT_EQ(file.matrix, AVCOL_SPC_RGB);
      EXPECT_EQ(file.transfer, AVCOL_TRC_IEC61966_2_1);
      EXPECT_EQ(file.range, AVCOL_RANGE_JPEG);
    } else {
      EXPECT_EQ(file.matrix, AVCOL_SPC_BT709) << c.name;
      EXPECT_EQ(file.transfer, AVCOL_TRC_BT709) << c.name;
      EXPECT_EQ(file.range, AVCOL_RANGE_MPEG) << c.name;
      EXPECT_EQ(file.chromaSite, AVCHROMA_LOC_CENTER) << c.name;
    }
  }
  // What the linked libavformat does with the Opus priming decides who takes
  // it into the .webm stamps; the sync above held in this case:
  const unsigned v = avformat_version();
  std::printf("libavformat %u.%u.%u: the .webm priming is %s\n", v >> 16, v >> 8 & 255, v & 255,
              MuxerAppliesCodecDelay() ? "taken off by the muxer from its CodecDelay"
                                       : "added to the sound's stamps by the capture");
  // The index of the .mp4 comes before its data: a player can start at once.
  std::vector<std::string> boxes = Mp4Boxes(dir + "tags.mp4");
  auto at = [&](const char* box) { return std::find(boxes.begin(), boxes.end(), box) - boxes.begin(); };
  ASSERT_LT(at("mdat"), (ptrdiff_t)boxes.size());
  EXPECT_LT(at("moov"), at("mdat"));
}

// One red pixel on black, doubled to a 2 x 2 block, through lossless H.264
// (--crf 0): its colour must stay in the one chroma sample of its block.
TEST(VideoFile, OneRedPixelAtScaleTwoKeepsItsChromaInsideItsBlock) {
  const std::string dir = EmptyScratchFolder("capture-red");
  for (bool full : {false, true}) {
    const std::string path = dir + (full ? "red444.mp4" : "red.mp4");
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    VideoFileSettings s;
    s.container = Container::Mp4;
    s.width = 64;
    s.height = 32;
    s.scale = 2;
    s.rate = FrameGrid{30, 1};
    s.crf = 0;
    s.preset = "ultrafast";
    s.yuv444 = full;
    std::string error;
    ASSERT_TRUE(OpenVideoFile(fd, path, s, error)) << error;
    std::vector<uint32_t> pixels((size_t)64 * 32, 0xFF000000u);
    pixels[(size_t)11 * 64 + 21] = 0xFFFF0000u;
    std::vector<int16_t> silence(1600 * 2, 0);
    for (int k = 0; k < 2; k++) {
      ASSERT_TRUE(WriteVideoPicture(pixels.data())) << VideoFileError();
      ASSERT_TRUE(WriteVideoSound(silence.data(), 1600));
    }
    ASSERT_TRUE(FinishVideoFile(error)) << error;
    close(fd);
    int pictures = 0;
    ReadVideo(path, [&](const AVFrame* f) {
      pictures++;
      ASSERT_EQ(f->width, 128);
      ASSERT_EQ(f->height, 64);
      const int cw = full ? 128 : 64, ch = full ? 64 : 32;
      ASSERT_EQ(f->format, full ? AV_PIX_FMT_YUV444P : AV_PIX_FMT_YUV420P);
      int inside = 0, outside = 0;
      for (int y = 0; y < ch; y++)
        for (int x = 0; x < cw; x++) {
          bool mine = full ? (x / 2 == 21 && y / 2 == 11) : (x == 21 && y == 11);
          int u = f->data[1][(size_t)y * f->linesize[1] + x], v = f->data[2][(size_t)y * f->linesize[2] + x];
          if (mine) inside += u != 128 && v != 128;
          else outside += u != 128 || v != 128;
        }
      EXPECT_EQ(inside, full ? 4 : 1);
      EXPECT_EQ(outside, 0) << (full ? "4:4:4" : "4:2:0");
    });
    EXPECT_EQ(pictures, 2);
  }
}

// A name is a file name, whatever it holds; the part file beside it is new,
// made under a name nobody can guess, and never opened through a link.
TEST(Capture, AnyNameIsAFileAndThePartFileIsNewAndUnguessable) {
  const std::string dir = EmptyScratchFolder("capture-names");
  RunResult run = RunCapture(dir, "-o " + dir + "clip:v2.mkv --fps 1 --to 1");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"clip:v2.mkv"});

  std::string error, first, second;
  int a = CreatePartFile(dir + "x.mkv", first, error);
  int b = CreatePartFile(dir + "x.mkv", second, error);
  ASSERT_GE(a, 0) << error;
  ASSERT_GE(b, 0) << error;
  EXPECT_NE(first, second);
  EXPECT_EQ(first.rfind(dir + ".x.mkv.", 0), 0u) << first;
  EXPECT_EQ(first.find(std::to_string(getpid())), std::string::npos) << first;
  DropPartFile(a, first);
  DropPartFile(b, second);
  EXPECT_TRUE(FilesIn(dir) == std::vector<std::string>{"clip:v2.mkv"});

  // A link planted at the name, to a file or to nowhere, is never followed.
  std::ofstream(dir + "victim") << "keep";
  symlink((dir + "victim").c_str(), (dir + ".planted.part").c_str());
  symlink((dir + "nowhere").c_str(), (dir + ".dangling.part").c_str());
  EXPECT_LT(OpenNewPartFile(dir + ".planted.part"), 0);
  EXPECT_LT(OpenNewPartFile(dir + ".dangling.part"), 0);
  EXPECT_LT(OpenNewPartFile(dir + "victim"), 0);
  EXPECT_EQ(ReadText(dir + "victim"), "keep");
  struct stat st {};
  EXPECT_NE(lstat((dir + "nowhere").c_str(), &st), 0);
}

// A folder as target is refused before start-up: nothing extracted, nothing
// painted, nothing left behind.
TEST(Capture, ATargetThatCannotBeAFileFailsBeforeAnythingIsPainted) {
  const std::string dir = EmptyScratchFolder("capture-folder");
  const std::string tmp = PrivateTemp(dir);
  std::system(("rm -rf " + tmp + "/*").c_str());
  mkdir((dir + "folder.mkv").c_str(), 0755);
  RunResult run = RunCapture(dir, "-o " + dir + "folder.mkv --fps 1 --to 1");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errors.find("cannot write " + dir + "folder.mkv: Is a directory"), std::string::npos) << run.errors;
  EXPECT_TRUE(FilesIn(tmp).empty());
  EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"folder.mkv"});
}

// A write that fails says what the system told FFmpeg, and leaves nothing.
TEST(Capture, AFailedWriteCarriesFFmpegsReason) {
  const std::string dir = EmptyScratchFolder("capture-full");
  RunResult run = RunCapture(dir, "-o " + dir + "big.mkv --fps 2 --to 2", "ulimit -f 64; trap '' XFSZ; ");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errors.find("cannot write " + dir + "big.mkv: "), std::string::npos) << run.errors;
  EXPECT_NE(run.errors.find("File too large"), std::string::npos) << run.errors;
  EXPECT_TRUE(FilesIn(dir).empty());
}

// Without --to a capture ends on the last frame of the pass its start falls
// in: the next frame is the one on which the show, going frame by frame,
// enters row 0 again. So a capture from 0 is one pass that loops seamlessly.
TEST(CaptureOptions, WithoutToACaptureEndsWhereItsPassEnds) {
  UseTimelineRow(0);
  auto endFor = [](const std::string& fps, int64_t fromMs) {
    char from[32];
    std::snprintf(from, sizeof from, "%.3f", fromMs / 1000.0);
    std::vector<std::string> words{"zyntrax-capture", "-o", "x.mp4", "--fps", fps, "--from", from};
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    CaptureOptions options;
    std::string error;
    EXPECT_TRUE(ParseCaptureOptions((int)argv.size(), argv.data(), options, error)) << error;
    EXPECT_EQ(options.endFrame, 0);
    ResolveCaptureEnd(options);
    return options.endFrame;
  };
  for (const char* fps : {"60", "12", "24000/1001"}) {
    FrameGrid grid;
    grid.den = std::string(fps) == "24000/1001" ? 1001 : 1;
    grid.num = grid.den == 1001 ? 24000 : std::stoll(fps);
    // The first frames of the second and third passes, frame by frame.
    std::vector<int64_t> passStarts;
    passCount = 0;
    TestSetClock(0);
    EnterScene(0);
    for (int64_t n = 1; passStarts.size() < 2; n++) {
      const int64_t before = passCount;
      TestSetClock(GridFrameMs(grid, n));
      UpdateSceneTime();
      if (passCount != before) passStarts.push_back(n);
    }
    const int64_t second = passStarts[0], third = passStarts[1];
    EXPECT_EQ(endFor(fps, 0), second) << fps;
    EXPECT_EQ(endFor(fps, 200000), second) << fps;
    EXPECT_EQ(endFor(fps, GridFrameMs(grid, second - 1)), second) << fps;
    EXPECT_EQ(endFor(fps, GridFrameMs(grid, second)), third) << fps;
    EXPECT_EQ(endFor(fps, GridFrameMs(grid, second) + 30000), third) << fps;
  }
  // A week in, row 0 comes back on the frame after the last.
  const FrameGrid sixty{60, 1};
  const int64_t end = endFor("60", 604800000);
  EnterShowAt(sixty, end - 1);
  const int64_t pass = passCount;
  EXPECT_EQ(currentScene, 19);
  EnterShowAt(sixty, end);
  EXPECT_EQ(passCount, pass + 1);
  EXPECT_EQ(currentScene, 0);
  EXPECT_EQ(sceneStart, GridFrameMs(sixty, end));
  EXPECT_LE(GridFrameMs(sixty, end - 1), 604800000 + TimelinePassMs());
  TestUseRealClock();
}
