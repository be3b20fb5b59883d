// The capture tool's command line: what it may be asked for, the checks on it,
// and the frame numbering that follows from --fps, --from and --to.
#pragma once
#include <cstdint>
#include <string>

#include "driver/driver.h"

enum class Container { Mp4, Webm, Mkv };

constexpr uint64_t DEFAULT_SEED = 5;
constexpr int64_t ONE_PASS_MS = 373500;          // one pass through the timeline
constexpr int64_t LATEST_START_MS = 7LL * 24 * 3600 * 1000;  // a week
constexpr int DEFAULT_MP4_CRF = 18;
constexpr int DEFAULT_WEBM_CRF = 28;
extern const char* const DEFAULT_MP4_PRESET;

struct CaptureOptions {
  std::string output;
  Container container = Container::Mp4;
  FrameGrid grid;  // --fps: num / den frames per second
  int64_t fromMs = 0;
  int64_t toMs = ONE_PASS_MS;
  uint64_t seed = DEFAULT_SEED;
  int scale = 1;
  bool lossless = false;
  int volume = 100;
  int crf = -1;            // -1: the container's default
  std::string preset;      // empty: the default x264 preset
  bool yuv444 = false;
  bool showVersion = false;
  bool showHelp = false;
  // Frames firstFrame .. endFrame - 1 are written: frame n shows the show at
  // GridFrameMs(grid, n) milliseconds after its start.
  int64_t firstFrame = 0, endFrame = 0;
};

// Reads argv into out; false with a one-line reason in error. Options take
// their value as the next argument or after '=' (--fps=30).
bool ParseCaptureOptions(int argc, char** argv, CaptureOptions& out, std::string& error);
// The usage text of --help.
const char* CaptureUsage();
