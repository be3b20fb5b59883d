// The capture tool's command line: what it may be asked for, the checks on it,
// and the frame numbering that follows from --fps, --from and --to.
#pragma once
#include <cstdint>
#include <string>

enum class Container { Mp4, Webm, Mkv };

constexpr uint64_t DEFAULT_SEED = 5;
constexpr int64_t ONE_PASS_MS = 373500;          // one pass through the timeline
constexpr int64_t LATEST_START_MS = 7LL * 24 * 3600 * 1000;  // a week

struct CaptureOptions {
  std::string output;
  Container container = Container::Mp4;
  int fps = 60;
  int64_t fromMs = 0;
  int64_t toMs = ONE_PASS_MS;
  uint64_t seed = DEFAULT_SEED;
  int scale = 1;
  bool lossless = false;
  int volume = 100;
  bool showVersion = false;
  bool showHelp = false;
  // Frames firstFrame .. endFrame - 1 are written: frame n shows the show at
  // n / fps seconds after its start.
  int64_t firstFrame = 0, endFrame = 0;
};

// Reads argv into out; false with a one-line reason in error.
bool ParseCaptureOptions(int argc, char** argv, CaptureOptions& out, std::string& error);
// The usage text of --help.
const char* CaptureUsage();
// Milliseconds after the show's start at which frame n is taken (never drifts:
// computed from n alone).
inline int64_t FrameTimeMs(int64_t n, int fps) { return n * 1000 / fps; }
