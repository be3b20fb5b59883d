// The capture tool's command line: what it may be asked for, the checks on it,
// and the frame numbering that follows from --fps, --from and --to.
#pragma once
#include <cstdint>
#include <string>

#include "driver/driver.h"

enum class Container { Mp4, Webm, Mkv };

constexpr uint64_t DEFAULT_SEED = 5;
constexpr int64_t LATEST_START_MS = 7LL * 24 * 3600 * 1000;  // a week
constexpr int64_t LATEST_END_MS = 2 * LATEST_START_MS;
constexpr int DEFAULT_MP4_CRF = 18;
constexpr int DEFAULT_WEBM_CRF = 28;
extern const char* const DEFAULT_MP4_PRESET;

struct CaptureOptions {
  std::string output;
  Container container = Container::Mp4;
  FrameGrid grid;  // --fps: num / den frames per second
  int64_t fromMs = 0;
  int64_t toMs = -1;  // -1: where the pass that fromMs falls in ends
  uint64_t seed = DEFAULT_SEED;
  int scale = 1;
  bool lossless = false;
  int volume = 100;
  int crf = -1;            // -1: the container's default
  std::string preset;      // empty: the default x264 preset
  bool yuv444 = false;
  bool overwrite = false;  // -y: an existing target may be replaced
  bool showVersion = false;
  bool showHelp = false;
  // Frames firstFrame .. endFrame - 1 are written: frame n shows the show at
  // GridFrameMs(grid, n) milliseconds after its start. Without --to, endFrame
  // stays 0 until ResolveCaptureEnd has the timeline.
  int64_t firstFrame = 0, endFrame = 0;
};

// Reads argv into out; false with a one-line reason in error. Options take
// their value as the next argument or after '=' (--fps=30).
bool ParseCaptureOptions(int argc, char** argv, CaptureOptions& out, std::string& error);
// Without --to: ends the capture on the last frame of the pass that its first
// frame falls in, on the frame grid (the next frame would enter row 0 again),
// so that a capture from 0 loops seamlessly. Needs the timeline.
void ResolveCaptureEnd(CaptureOptions& options);
// The usage text of --help.
const char* CaptureUsage();
