// zyntrax-capture: plays the show on a driven frame grid, frame n at
// n x 1000 / fps milliseconds, and writes it with its music to a video file.
// The file is written under a temporary name beside the target and renamed
// only once it is complete.
#include <signal.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "tools/capture/encoder_thread.h"
#include "tools/capture/frame_source.h"
#include "tools/capture/options.h"
#include "tools/capture/part_file.h"
#include "tools/capture/progress.h"
#include "tools/capture/soundtrack.h"
#include "tools/capture/video_file.h"
#include "zyntrax_version.h"

namespace {
// The signal that asked the capture to stop (0: none).
volatile sig_atomic_t stopSignal = 0;

void OnStopSignal(int sig) { stopSignal = sig; }

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
}

bool Stopped() { return stopSignal != 0 || QuitRequested(); }

// The conventional status of a run ended by a signal: 128 + its number.
int StoppedStatus() { return 128 + (stopSignal != 0 ? (int)stopSignal : SIGINT); }

int Fail(const std::string& message) {
  std::fprintf(stderr, "zyntrax-capture: %s\n", message.c_str());
  return 1;
}

// The one start-up without display or music device (the frame in memory),
// the generator seeded; then the soundtrack decoded.
bool StartCapture(const CaptureOptions& options, std::string& error) {
  ShowStart how;
  how.display = ShowStart::Display::NONE;
  how.music = false;
  how.seeded = true;
  how.seed = options.seed;
  how.entry = ShowStart::Entry::CALLER;
  if (!StartShowAlone(how)) {
    error = "cannot make a 1920 x 1080 frame in memory";
    return false;
  }
  if (!LoadSoundtrack(AssetPath("music.ogg"), options.volume))
    std::fprintf(stderr, "zyntrax-capture: the music cannot be decoded: the video is silent\n");
  return true;
}

double NowSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Sample frame of the show's sound at which frame n of the picture starts.
int64_t SoundFrameAt(int64_t n, const FrameGrid& grid) { return n * SOUNDTRACK_RATE * grid.den / grid.num; }

// Processor time of the whole process so far (every thread, user and system).
double ProcessorSeconds() {
  rusage use {};
  getrusage(RUSAGE_SELF, &use);
  return (double)use.ru_utime.tv_sec + use.ru_utime.tv_usec * 1e-6 + (double)use.ru_stime.tv_sec +
         use.ru_stime.tv_usec * 1e-6;
}

// Where the painting starts so that the first captured frame is the one a
// capture from 0 shows. In the first two passes: from frame 0, every frame
// painted (so per-frame state and random numbers are the same, byte for byte).
// Later: from the frame on which the current pass began, which then plays as
// the first pass did. Returns that frame; the show stands just before it.
int64_t ReplayStart(const CaptureOptions& options) {
  int64_t passFrame = EnterShowAt(options.grid, options.firstFrame);
  int64_t from = passCount <= 2 ? 0 : passFrame;
  EnterShowAt(options.grid, from);
  return from;
}

// Paints frames from .. to - 1 without encoding them; false when stopped.
bool Replay(const CaptureOptions& options, int64_t from, int64_t to) {
  Progress progress(to - from, "replaying");
  for (int64_t n = from; n < to; n++) {
    if (Stopped()) return false;
    ReplayShowFrame(GridFrameMs(options.grid, n));
    progress.Update(n - from + 1);
  }
  progress.Done();
  return true;
}

int Capture(const CaptureOptions& options) {
  const double started = NowSeconds();
  std::string error;
  const std::string& target = options.output;
  if (!CheckTarget(target, error)) return Fail("cannot write " + target + ": " + error);
  std::string temporary;
  int fd = CreatePartFile(target, temporary, error);
  if (fd < 0) return Fail("cannot write " + target + ": " + error);
  VideoFileSettings settings;
  settings.container = options.container;
  settings.width = FRAME_WIDTH;
  settings.height = FRAME_HEIGHT;
  settings.scale = options.scale;
  settings.rate = options.grid;
  settings.sampleRate = SOUNDTRACK_RATE;
  settings.channels = SOUNDTRACK_CHANNELS;
  settings.crf = options.crf;
  settings.preset = options.preset;
  settings.yuv444 = options.yuv444;
  if (!OpenVideoFile(fd, temporary, settings, error)) {
    DropPartFile(fd, temporary);
    return Fail("cannot write " + target + ": " + error);
  }
  bool encoding = false;
  auto giveUp = [&](const std::string& message, int status) {
    double ignored = 0;
    if (encoding) StopEncoderThread(true, ignored);
    AbandonVideoFile();
    DropPartFile(fd, temporary);
    CloseFrameSource();
    Fail(message);
    return status;
  };
  if (!StartCapture(options, error)) return giveUp(error, 1);
  const double startUp = NowSeconds() - started;

  int64_t replayFrom = ReplayStart(options);
  double t0 = NowSeconds();
  if (!Replay(options, replayFrom, options.firstFrame)) return giveUp("interrupted: no file written", StoppedStatus());
  const double replaySeconds = NowSeconds() - t0;

  const int64_t total = options.endFrame - options.firstFrame;
  Progress progress(total, "frame");
  double paintSeconds = 0, encodeSeconds = 0;
  StartEncoderThread();
  encoding = true;
  for (int64_t n = options.firstFrame; n < options.endFrame; n++) {
    if (Stopped()) return giveUp("interrupted: no file written", StoppedStatus());
    uint32_t* frame = FreeFrameBuffer();
    if (!frame) return giveUp("cannot write " + target + ": " + VideoFileError(), 1);
    t0 = NowSeconds();
    if (!PaintShowFrame(GridFrameMs(options.grid, n), frame)) return giveUp("cannot read the painted frame", 1);
    paintSeconds += NowSeconds() - t0;
    QueueFrame(frame, SoundFrameAt(n, options.grid), SoundFrameAt(n + 1, options.grid));
    progress.Update(n - options.firstFrame + 1);
  }
  if (Stopped()) return giveUp("interrupted: no file written", StoppedStatus());
  encoding = false;
  if (!StopEncoderThread(false, encodeSeconds)) return giveUp("cannot write " + target + ": " + VideoFileError(), 1);
  t0 = NowSeconds();
  bool finished = FinishVideoFile(error);
  encodeSeconds += NowSeconds() - t0;
  progress.Done();
  CloseFrameSource();
  if (!finished) {
    DropPartFile(fd, temporary);
    return Fail("cannot write " + target + ": " + error);
  }
  if (!CommitPartFile(fd, temporary, target, error)) return Fail("cannot write " + target + ": " + error);
  // Painting and encoding overlap: their sum may exceed the time after start-up.
  std::printf(
      "wrote %s: %lld frames in %.1f s (start-up %.1f s, replay %.1f s of %lld frames, painting %.1f s, encoding "
      "%.1f s, processor %.1f s)\n",
      target.c_str(), (long long)total, NowSeconds() - started, startUp, replaySeconds,
      (long long)(options.firstFrame - replayFrom), paintSeconds, encodeSeconds, ProcessorSeconds());
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  StartPlatform();
  // Ctrl+C, SIGTERM and SIGHUP stop the capture between two frames; the exit
  // status then names the signal (130 for Ctrl+C).
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
