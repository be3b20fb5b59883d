// zyntrax-capture: plays the show on a driven clock, frame n at n / fps seconds,
// and writes it with its music to a video file. The file is written under a
// temporary name beside the target and renamed only once it is complete.
#include <SDL.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "tools/capture/frame_source.h"
#include "tools/capture/options.h"
#include "tools/capture/progress.h"
#include "tools/capture/soundtrack.h"
#include "tools/capture/video_file.h"

#ifndef ZYNTRAX_VERSION
#define ZYNTRAX_VERSION "1.0.0"
#endif

namespace {
volatile std::sig_atomic_t stopRequested = 0;

void OnStopSignal(int) { stopRequested = 1; }

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // SDL would otherwise put its own handlers in and turn the signal into a
  // quit event that nobody reads here.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}

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

// 2 x 2 copies of every pixel.
void DoublePixels(const uint32_t* src, uint32_t* dst) {
  for (int y = 0; y < FRAME_HEIGHT; y++) {
    uint32_t* row = dst + (size_t)y * 2 * FRAME_WIDTH * 2;
    const uint32_t* in = src + (size_t)y * FRAME_WIDTH;
    for (int x = 0; x < FRAME_WIDTH; x++) row[2 * x] = row[2 * x + 1] = in[x];
    std::memcpy(row + FRAME_WIDTH * 2, row, sizeof(uint32_t) * FRAME_WIDTH * 2);
  }
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
  auto giveUp = [&](const std::string& message) {
    AbandonVideoFile();
    std::remove(temporary.c_str());
    CloseFrameSource();
    return Fail(message);
  };
  if (!StartShow(options, error)) return giveUp(error);

  std::vector<uint32_t> frame((size_t)FRAME_WIDTH * FRAME_HEIGHT);
  std::vector<uint32_t> doubled(options.scale == 2 ? frame.size() * 4 : 0);
  std::vector<int16_t> samples;
  const int64_t total = options.endFrame - options.firstFrame;
  Progress progress(total);
  double paintSeconds = 0, encodeSeconds = 0;
  for (int64_t n = options.firstFrame; n < options.endFrame; n++) {
    if (stopRequested) return giveUp("interrupted: no file written");
    double t0 = NowSeconds();
    if (!PaintShowFrame(FrameTimeMs(n, options.fps), frame.data())) return giveUp("cannot read the painted frame");
    double t1 = NowSeconds();
    const uint32_t* picture = frame.data();
    if (options.scale == 2) {
      DoublePixels(frame.data(), doubled.data());
      picture = doubled.data();
    }
    int64_t soundFrom = SoundFrameAt(n, options.fps), soundTo = SoundFrameAt(n + 1, options.fps);
    samples.resize((size_t)(soundTo - soundFrom) * SOUNDTRACK_CHANNELS);
    SoundtrackSamples(soundFrom, (int)(soundTo - soundFrom), samples.data());
    if (!WriteVideoPicture(picture) || !WriteVideoSound(samples.data(), (int)(soundTo - soundFrom)))
      return giveUp("cannot write " + options.output + " (is the disk full?)");
    double t2 = NowSeconds();
    paintSeconds += t1 - t0;
    encodeSeconds += t2 - t1;
    progress.Update(n - options.firstFrame + 1);
  }
  if (stopRequested) return giveUp("interrupted: no file written");
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
  std::printf("wrote %s: %lld frames in %.1f s (painting %.1f s, encoding %.1f s, processor %.1f s)\n",
              options.output.c_str(), (long long)total, NowSeconds() - started, paintSeconds, encodeSeconds,
              ProcessorSeconds());
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  CatchStopSignals();
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
