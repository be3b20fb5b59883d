// zyntrax-capture from the outside: its files read back through libavformat and
// compared with the show painted here at the same moments, its options and
// its clean failures; and where the show stands when it starts later on.
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "audio/audio.h"
#include "driver/driver.h"
#include "platform/platform.h"
#include "support/gl_display.h"
#include "support/scene_check.h"
#include "support/scene_checks.h"

namespace {
struct RunResult {
  int exitCode = -1;
  std::string output, errors;
};

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A temporary folder for the captures of one test (beside its scratch folder):
// tests running side by side then never write the same asset files at once.
std::string PrivateTemp(const std::string& folder) {
  std::string tmp = folder.substr(0, folder.size() - 1) + "-tmp";
  mkdir(tmp.c_str(), 0700);
  return tmp;
}

RunResult RunCapture(const std::string& folder, const std::string& args) {
  std::string stem = folder.substr(0, folder.size() - 1);
  std::string out = stem + "-stdout.txt", err = stem + "-stderr.txt";
  // Without a display: the capture paints in memory only.
  std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY TMPDIR=" + PrivateTemp(folder) + " " + ZYNTRAX_CAPTURE +
                        " " + args + " >" + out + " 2>" + err;
  int status = std::system(command.c_str());
  RunResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.output = ReadText(out);
  r.errors = ReadText(err);
  return r;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
    closedir(d);
  }
  return names;
}

// What a video file holds, as libavformat and libavcodec read it.
struct ReadBack {
  bool opened = false;
  std::string videoCodec, soundCodec;
  int width = 0, height = 0;
  AVRational frameRate{0, 1};
  int64_t pictures = 0;     // video packets, or decoded pictures when decoding
  int64_t soundFrames = 0;  // decoded sample frames
  int sampleRate = 0;
  std::vector<int16_t> sound;  // interleaved, when the decoder gives packed 16-bit
};

// Decodes the sound, and the pictures too when onPicture is given.
ReadBack ReadVideo(const std::string& path, const std::function<void(const AVFrame*)>& onPicture = nullptr) {
  ReadBack r;
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return r;
  avformat_find_stream_info(format, nullptr);
  int videoIndex = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  int soundIndex = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  AVCodecContext* decoders[2] = {nullptr, nullptr};
  int indexes[2] = {videoIndex, soundIndex};
  for (int k = 0; k < 2; k++) {
    if (indexes[k] < 0 || (k == 0 && !onPicture)) continue;
    const AVCodecParameters* p = format->streams[indexes[k]]->codecpar;
    decoders[k] = avcodec_alloc_context3(avcodec_find_decoder(p->codec_id));
    avcodec_parameters_to_context(decoders[k], p);
    avcodec_open2(decoders[k], avcodec_find_decoder(p->codec_id), nullptr);
  }
  if (videoIndex >= 0) {
    AVStream* v = format->streams[videoIndex];
    r.videoCodec = avcodec_get_name(v->codecpar->codec_id);
    r.width = v->codecpar->width;
    r.height = v->codecpar->height;
    r.frameRate = v->avg_frame_rate.num ? v->avg_frame_rate : v->r_frame_rate;
  }
  if (soundIndex >= 0) {
    r.soundCodec = avcodec_get_name(format->streams[soundIndex]->codecpar->codec_id);
    r.sampleRate = format->streams[soundIndex]->codecpar->sample_rate;
  }
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto drain = [&](int k) {
    while (avcodec_receive_frame(decoders[k], frame) == 0) {
      if (k == 0) {
        r.pictures++;
        onPicture(frame);
      } else {
        r.soundFrames += frame->nb_samples;
        if (frame->format == AV_SAMPLE_FMT_S16) {
          const int16_t* s = reinterpret_cast<const int16_t*>(frame->data[0]);
          r.sound.insert(r.sound.end(), s, s + (size_t)frame->nb_samples * frame->ch_layout.nb_channels);
        }
      }
    }
  };
  while (av_read_frame(format, packet) >= 0) {
    int k = packet->stream_index == videoIndex ? 0 : packet->stream_index == soundIndex ? 1 : -1;
    if (k == 0 && !decoders[0]) r.pictures++;
    if (k >= 0 && decoders[k] && avcodec_send_packet(decoders[k], packet) >= 0) drain(k);
    av_packet_unref(packet);
  }
  for (int k = 0; k < 2; k++)
    if (decoders[k] && avcodec_send_packet(decoders[k], nullptr) >= 0) drain(k);
  av_frame_free(&frame);
  av_packet_free(&packet);
  for (AVCodecContext*& d : decoders) avcodec_free_context(&d);
  avformat_close_input(&format);
  r.opened = true;
  return r;
}

// The decoded 32-bit picture (blue, green, red, unused) as packed rows.
std::vector<uint32_t> PicturePixels(const AVFrame* f) {
  std::vector<uint32_t> px((size_t)f->width * f->height);
  for (int y = 0; y < f->height; y++) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(f->data[0] + (size_t)y * f->linesize[0]);
    for (int x = 0; x < f->width; x++) px[(size_t)y * f->width + x] = row[x] & 0xFFFFFF;
  }
  return px;
}

std::vector<int16_t> DecodedTrack() {
  std::vector<int16_t> samples;
  int channels = 0, rate = 0;
  DecodeSoundFile(std::string(ZYNTRAX_ASSET_DIR) + "/music.ogg", samples, channels, rate);
  return samples;
}

// The track's interleaved samples of sample frames [from, to) at a volume,
// scaled as the show's mixer scales them.
std::vector<int16_t> TrackSpan(const std::vector<int16_t>& track, int64_t from, int64_t to, int volume) {
  std::vector<int16_t> out;
  float gain = float(volume / 100.0);
  for (int64_t i = from * 2; i < to * 2; i++)
    out.push_back(int16_t(std::nearbyint(float(track[(size_t)i]) * gain)));
  return out;
}

// Pixels of a decoded 0xRRGGBB picture that differ from the current frame.
int64_t DifferencesFromFrame(const std::vector<uint32_t>& picture) {
  FrameBlock block = ReadFrameBlock(0, 0, 1920, 1080);
  if (block.pixels.size() != picture.size()) return -1;
  int64_t differ = 0;
  for (size_t i = 0; i < picture.size(); i++) {
    Colour c = block.pixels[i];
    uint32_t rgb = (uint32_t)RedOf(c) << 16 | (uint32_t)GreenOf(c) << 8 | (uint32_t)BlueOf(c);
    differ += rgb != picture[i];
  }
  return differ;
}
}  // namespace

TEST(Capture, LosslessFramesAndMusicAreTheShowsOwn) {
  const std::string dir = TestScratchFolder("capture-lossless");
  std::remove((dir + "three.mkv").c_str());
  RunResult run = RunCapture(dir, "-o " + dir + "three.mkv --lossless --fps 5 --to 3 --seed 21");
  ASSERT_EQ(run.exitCode, 0) << run.errors;

  ASSERT_TRUE(OpenTestDisplay());
  StartShowForTest(0, 21);
  EnterShowAt(0);
  int64_t n = 0;
  ReadBack file = ReadVideo(dir + "three.mkv", [&](const AVFrame* f) {
    ASSERT_EQ(f->width, 1920);
    ASSERT_EQ(f->height, 1080);
    ASSERT_EQ(f->format, AV_PIX_FMT_BGR0);
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
  const std::string dir = TestScratchFolder("capture-seed");
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
  const std::string dir = TestScratchFolder("capture-lossy");
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
  const std::string dir = TestScratchFolder("capture-scale");
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
  const std::string dir = TestScratchFolder("capture-bad");
  for (const std::string& name : FilesIn(dir)) std::remove((dir + name).c_str());
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

TEST(Capture, AnInterruptedCaptureLeavesNoFile) {
  const std::string dir = TestScratchFolder("capture-interrupt");
  for (const std::string& name : FilesIn(dir)) std::remove((dir + name).c_str());
  for (int sig : {SIGINT, SIGTERM}) {
    pid_t pid = fork();
    if (pid == 0) {
      setenv("TMPDIR", PrivateTemp(dir).c_str(), 1);
      std::string path = dir + "long.mkv";
      execl(ZYNTRAX_CAPTURE, ZYNTRAX_CAPTURE, "-o", path.c_str(), "--fps", "10", "--to", "120", (char*)nullptr);
      _exit(127);
    }
    ASSERT_GT(pid, 0);
    // Wait for the file under its temporary name, then interrupt.
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (FilesIn(dir).empty() && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_FALSE(FilesIn(dir).empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    kill(pid, sig);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << sig;
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_TRUE(FilesIn(dir).empty()) << "signal " << sig;
  }
}

TEST(Capture, StartsInTheRowThatTheRepeatingTimelineGives) {
  UseTimelineRow(0);
  const int64_t pass = TimelinePassMs();
  ASSERT_EQ(pass, 373500);
  struct Case {
    int64_t at, row, rowStart;
  } cases[] = {
      {0, 0, 0},
      {17000, 0, 0},  // equal is not yet over
      {17001, 1, 17000},
      {40000, 4, 32000},
      {pass, 19, 153500},  // the last row holds on the pass's last millisecond
      {pass + 1, 0, pass},
      {pass + 26500, 3, pass + 24700},
      {1000 * pass + 100000, 12, 1000 * pass + 96000},
      {7LL * 24 * 3600 * 1000, 12, 1619 * pass + 96000},  // a week: 1619 passes and 103.5 s
  };
  for (const Case& c : cases) {
    EnterShowAt(c.at);
    EXPECT_EQ(currentScene, c.row) << c.at;
    EXPECT_EQ(sceneStart, c.rowStart) << c.at;
    EXPECT_EQ(ElapsedMs(), c.at);
    EXPECT_EQ(showStartMs, 0);
  }
  // The flash of a row entered this way is as old as the row.
  EnterShowAt(17100);
  EXPECT_EQ(sceneFlashStartMs, 17000);
  TestUseRealClock();
}
