// zyntrax-capture: plays the show on a driven frame grid, frame n at
// n x 1000 / fps milliseconds, and writes it with its music to a video file.
// The file is written unnamed beside the target and named only once it is
// complete; an existing target is kept unless -y says otherwise.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "driver/driver.h"
#include "tools/capture/encoder_thread.h"
#include "tools/capture/frame_source.h"
#include "tools/capture/options.h"
#include "tools/capture/part_file.h"
#include "tools/capture/progress.h"
#include "tools/capture/soundtrack.h"
#include "tools/capture/stop_signals.h"
#include "tools/capture/test_hooks.h"
#include "tools/capture/video_file.h"
#include "zyntrax_version.h"

namespace {
bool Stopped() { return StopSignal() != 0; }

int Fail(const std::string& message) {
  std::fprintf(stderr, "zyntrax-capture: %s\n", message.c_str());
  return 1;
}

// The capture's start-up, the show's own: the frame in memory, the seed, every
// picture read in place from the carried files and the music decoded for the
// file at the capture's volume. No launcher, display or sound device, no
// message box, nothing written to disk; a carried file that does not load
// ends the capture with its name.
bool StartCaptureShow(const CaptureOptions& options, std::string& error) {
  ShowStart how;
  how.display = ShowStart::Display::NONE;
  how.music = false;
  how.carriedInMemory = TestCarriedFiles();
  how.takeMusic = LoadSoundtrack;
  how.musicVolume = options.volume;
  how.seeded = true;
  how.seed = options.seed;
  how.entry = ShowStart::Entry::CALLER;
  if (StartShowAlone(how)) return true;
  if (unloadedFile.empty())
    error = "cannot make a 1920 x 1080 frame in memory";
  else
    error = "the carried file " + unloadedFile + " cannot be loaded";
  return false;
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

// Draws frames from .. to - 1 without encoding them, dropping each one's
// draws but the last's; false when stopped.
bool Replay(const CaptureOptions& options, int64_t from, int64_t to) {
  Progress progress(to - from, "replaying");
  for (int64_t n = from; n < to; n++) {
    if (Stopped()) return false;
    if (n + 1 < to)
      ReplayShowFrame(GridFrameMs(options.grid, n));
    else
      DrawShowFrame(GridFrameMs(options.grid, n));
    progress.Update(n - from + 1);
  }
  progress.Done();
  return true;
}

// The progress line of the finishing steps (the encoders' last frames, the
// .mp4 index moved to the front, the sync to disk), in megabytes.
std::unique_ptr<Progress> finishing;
const char* finishingStage = nullptr;

bool ShowFinishing(const char* stage, int64_t done, int64_t total) {
  if (stage != finishingStage) {
    if (finishing) finishing->Done();
    finishing = std::make_unique<Progress>(total >> 20, stage, "MB/s");
    finishingStage = stage;
  }
  finishing->Update(std::min(done, total) >> 20);
  return !Stopped();
}

bool WatchFinish(int64_t done, int64_t total) {
  return ShowFinishing(total > 0 ? "finishing the file (MB)" : "finishing the encoders", done, total);
}

bool WatchSync(int64_t done, int64_t total) { return ShowFinishing("syncing to disk (MB)", done, total); }

void EndFinishing() {
  if (finishing) finishing->Done();
  finishing.reset();
  finishingStage = nullptr;
}

int Capture(CaptureOptions& options) {
  const double started = NowSeconds();
  std::string error;
  const std::string& target = options.output;
  if (!CheckTarget(target, options.overwrite, error)) return Fail("cannot write " + target + ": " + error);
  OutputFile out;
  if (!OpenOutputFile(target, out, error)) return Fail("cannot write " + target + ": " + error);
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
  if (!OpenVideoFile(out.fd, target, settings, error)) {
    DropOutputFile(out);
    return Fail("cannot write " + target + ": " + error);
  }
  bool encoding = false;
  // Every way out before the file is named: nothing is left behind, and a stop
  // by signal ends the process by that signal.
  auto giveUp = [&](const std::string& message) {
    double ignored = 0;
    if (encoding) StopEncoderThread(true, ignored);
    EndFinishing();
    AbandonVideoFile();
    DropOutputFile(out);
    CloseFrameSource();
    if (Stopped()) {
      Fail("interrupted: no file written");
      EndByStopSignal();
    }
    return Fail(message);
  };
  if (!StartCaptureShow(options, error)) return giveUp(error);
  ResolveCaptureEnd(options);
  const double startUp = NowSeconds() - started;

  int64_t replayFrom = ReplayStart(options);
  double t0 = NowSeconds();
  if (!Replay(options, replayFrom, options.firstFrame)) return giveUp("interrupted");
  const double replaySeconds = NowSeconds() - t0;

  const int64_t total = options.endFrame - options.firstFrame;
  Progress progress(total, "frame");
  double paintSeconds = 0, encodeSeconds = 0;
  StartEncoderThread();
  encoding = true;
  for (int64_t n = options.firstFrame; n < options.endFrame; n++) {
    if (Stopped()) return giveUp("interrupted");
    uint32_t* frame = FreeFrameBuffer();
    if (!frame) return giveUp("cannot write " + target + ": " + VideoFileError());
    t0 = NowSeconds();
    if (!PaintShowFrame(GridFrameMs(options.grid, n), frame)) return giveUp("cannot read the painted frame");
    paintSeconds += NowSeconds() - t0;
    QueueFrame(frame, SoundFrameAt(n, options.grid), SoundFrameAt(n + 1, options.grid));
    progress.Update(n - options.firstFrame + 1);
  }
  progress.Done();
  if (Stopped()) return giveUp("interrupted");
  encoding = false;
  if (!StopEncoderThread(false, encodeSeconds)) return giveUp("cannot write " + target + ": " + VideoFileError());
  t0 = NowSeconds();
  bool finished = FinishVideoFile(error, WatchFinish);
  encodeSeconds += NowSeconds() - t0;
  if (!finished) return giveUp("cannot write " + target + ": " + error);
  CloseFrameSource();
  bool committed = CommitOutputFile(out, options.overwrite, WatchSync, error);
  EndFinishing();
  if (!committed && Stopped()) {
    Fail("interrupted: no file written");
    EndByStopSignal();
  }
  if (!committed) return Fail("cannot write " + target + ": " + error);
  // Painting and encoding overlap: their sum may exceed the time after start-up.
  std::printf(
      "wrote %s: %lld frames in %.1f s (start-up %.1f s, replay %.1f s of %lld frames, painting %.1f s, encoding "
      "%.1f s, processor %.1f s)\n",
      target.c_str(), (long long)total, NowSeconds() - started, startUp, replaySeconds,
      (long long)(options.firstFrame - replayFrom), paintSeconds, encodeSeconds, ProcessorSeconds());
  // A stop that came once the file was named: the file is kept, and the shell
  // still learns of the signal.
  if (Stopped()) {
    std::fflush(stdout);
    EndByStopSignal();
  }
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  // Ctrl+C, SIGTERM and SIGHUP stop the capture between two steps; a signal
  // ignored when it started (nohup) stays ignored.
  StartWithStopSignals();
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
