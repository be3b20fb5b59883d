// zyntrax-capture: plays the show on a driven clock, frame n at n / fps seconds,
// and writes it with its music to a video file. The file is written under a
// temporary name beside the target and renamed only once it is complete.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "tools/capture/encoder_thread.h"
#include "tools/capture/frame_source.h"
#include "tools/capture/options.h"
#include "tools/capture/progress.h"
#include "tools/capture/soundtrack.h"
#include "tools/capture/video_file.h"
#include "zyntrax_version.h"


namespace {
// "dir/.name.PID.part" beside the target, so that the rename stays on one disk.
std::string TemporaryName(const std::string& target) {
  size_t slash = target.find_last_of('/');
  std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  return dir + "." + name + "." + std::to_string(getpid()) + ".part";
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "zyntrax-capture: %s\n", message.c_str());
  return 1;
}

// The show's start-up without launcher or music device: start values, the
// carried files, the timeline, the frame source, every picture, the seeded
// starfield, and the row and clock of the first frame.
bool StartShow(const CaptureOptions& options, std::string& error) {
  SetStartValues();
  ExtractAssetPack();
  BuildTimeline();
  screenWidth = DESIGN_WIDTH;
  screenHeight = DESIGN_HEIGHT;
  if (!OpenFrameSource(error)) return false;
  SeedRandom(options.seed);
  LoadShowAssets();
  SeedStarfield();
  EnterShowAt(FrameTimeMs(options.firstFrame, options.fps));
  if (!LoadSoundtrack(AssetPath("music.ogg"), options.volume))
    std::fprintf(stderr, "zyntrax-capture: the music cannot be decoded: the video is silent\n");
  return true;
}

double NowSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Sample frame of the show's sound at which frame n of the picture starts.
int64_t SoundFrameAt(int64_t n, int fps) { return n * SOUNDTRACK_RATE / fps; }

// Processor time of the whole process so far (every thread, user and system).
double ProcessorSeconds() {
  rusage use {};
  getrusage(RUSAGE_SELF, &use);
  return (double)use.ru_utime.tv_sec + use.ru_utime.tv_usec * 1e-6 + (double)use.ru_stime.tv_sec +
         use.ru_stime.tv_usec * 1e-6;
}

int Capture(const CaptureOptions& options) {
  const double started = NowSeconds();
  const std::string temporary = TemporaryName(options.output);
  VideoFileSettings settings;
  settings.container = options.container;
  settings.width = FRAME_WIDTH * options.scale;
  settings.height = FRAME_HEIGHT * options.scale;
  settings.fps = options.fps;
  settings.sampleRate = SOUNDTRACK_RATE;
  settings.channels = SOUNDTRACK_CHANNELS;
  std::string error;
  if (!OpenVideoFile(temporary, settings, error)) {
    std::remove(temporary.c_str());
    return Fail("cannot write " + options.output + ": " + error);
  }
  bool encoding = false;
  auto giveUp = [&](const std::string& message) {
    double ignored = 0;
    if (encoding) StopEncoderThread(true, ignored);
    AbandonVideoFile();
    std::remove(temporary.c_str());
    CloseFrameSource();
    return Fail(message);
  };
  if (!StartShow(options, error)) return giveUp(error);
  const double startUp = NowSeconds() - started;

  const int64_t total = options.endFrame - options.firstFrame;
  Progress progress(total);
  double paintSeconds = 0, encodeSeconds = 0;
  StartEncoderThread(options.scale);
  encoding = true;
  for (int64_t n = options.firstFrame; n < options.endFrame; n++) {
    if (QuitRequested()) return giveUp("interrupted: no file written");
    uint32_t* frame = FreeFrameBuffer();
    if (!frame) return giveUp("cannot write " + options.output + " (is the disk full?)");
    double t0 = NowSeconds();
    if (!PaintShowFrame(FrameTimeMs(n, options.fps), frame)) return giveUp("cannot read the painted frame");
    paintSeconds += NowSeconds() - t0;
    QueueFrame(frame, SoundFrameAt(n, options.fps), SoundFrameAt(n + 1, options.fps));
    progress.Update(n - options.firstFrame + 1);
  }
  if (QuitRequested()) return giveUp("interrupted: no file written");
  encoding = false;
  if (!StopEncoderThread(false, encodeSeconds)) return giveUp("cannot write " + options.output + " (is the disk full?)");
  double t0 = NowSeconds();
  bool finished = FinishVideoFile(error);
  encodeSeconds += NowSeconds() - t0;
  progress.Done();
  CloseFrameSource();
  if (!finished) {
    std::remove(temporary.c_str());
    return Fail("cannot write " + options.output + ": " + error);
  }
  if (std::rename(temporary.c_str(), options.output.c_str()) != 0) {
    std::string reason = std::strerror(errno);
    std::remove(temporary.c_str());
    return Fail("cannot write " + options.output + ": " + reason);
  }
  // Painting and encoding overlap: their sum may exceed the time after start-up.
  std::printf("wrote %s: %lld frames in %.1f s (start-up %.1f s, painting %.1f s, encoding %.1f s, processor %.1f s)\n",
              options.output.c_str(), (long long)total, NowSeconds() - started, startUp, paintSeconds, encodeSeconds,
              ProcessorSeconds());
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  // Ctrl+C, SIGTERM and SIGHUP only raise the quit flag that the frame loop reads.
  StartPlatform();
  CaptureOptions options;
  std::string error;
  if (!ParseCaptureOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "zyntrax-capture: %s\nTry 'zyntrax-capture --help'.\n", error.c_str());
    return 2;
  }
  if (options.showHelp) {
    std::fputs(CaptureUsage(), stdout);
    return 0;
  }
  if (options.showVersion) {
    std::puts("zyntrax-capture " ZYNTRAX_VERSION);
    return 0;
  }
  return Capture(options);
}
