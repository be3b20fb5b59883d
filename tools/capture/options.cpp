// Parsing and checking the capture tool's options; every mistake gets a reason
// that names the option, and nothing is opened or written here.
#include "tools/capture/options.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
bool ParseInt(const char* text, int64_t lo, int64_t hi, int64_t& out) {
  if (!text || !*text) return false;
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(text, &end, 10);
  if (errno || *end || v < lo || v > hi) return false;
  out = v;
  return true;
}

bool ParseSeed(const char* text, uint64_t& out) {
  if (!text || !std::isdigit((unsigned char)text[0])) return false;
  char* end = nullptr;
  errno = 0;
  unsigned long long v = std::strtoull(text, &end, 10);
  if (errno || *end) return false;
  out = v;
  return true;
}

// Seconds with up to millisecond precision, as whole milliseconds.
bool ParseSeconds(const char* text, int64_t maxMs, int64_t& out) {
  if (!text || !*text || std::isspace((unsigned char)text[0])) return false;
  char* end = nullptr;
  errno = 0;
  double s = std::strtod(text, &end);
  if (errno || *end || !std::isfinite(s) || s < 0) return false;
  double ms = std::nearbyint(s * 1000.0);
  if (ms > (double)maxMs) return false;
  out = (int64_t)ms;
  return true;
}

// Frames per second as N or N/D (24000/1001), from 1 to 240.
bool ParseRate(const char* text, FrameGrid& out) {
  if (!text || !std::isdigit((unsigned char)text[0])) return false;
  std::string s(text);
  size_t slash = s.find('/');
  int64_t num = 0, den = 1;
  if (slash == std::string::npos) {
    if (!ParseInt(text, 1, 240, num)) return false;
  } else {
    std::string top = s.substr(0, slash), bottom = s.substr(slash + 1);
    if (top.empty() || bottom.empty() || !std::isdigit((unsigned char)bottom[0])) return false;
    if (!ParseInt(top.c_str(), 1, 240000, num) || !ParseInt(bottom.c_str(), 1, 1001, den)) return false;
    if (num < den || num > 240 * den) return false;
  }
  out.num = num;
  out.den = den;
  return true;
}

bool EndsWith(const std::string& s, const char* tail) {
  size_t n = std::strlen(tail);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; i++)
    if (std::tolower((unsigned char)s[s.size() - n + i]) != tail[i]) return false;
  return true;
}
}  // namespace

const char* const DEFAULT_MP4_PRESET = "veryfast";

const char* CaptureUsage() {
  return "usage: zyntrax-capture -o FILE [options]\n"
         "Plays the show on a driven clock and writes it, with its music, to FILE.\n"
         "Options take their value as the next argument or after '=' (--fps=30).\n"
         "  -o FILE        .mp4 (H.264 and AAC), .webm (VP9 and Opus) or\n"
         "                 .mkv (lossless: FFV1 in RGB and FLAC); any name, no URLs\n"
         "  --fps N        frames per second: 1 to 240, or 24000/1001, 30000/1001,\n"
         "                 60000/1001 (any N/D up to D = 1001) (default 60)\n"
         "  --from S       start, in seconds of the show (default 0; up to 604800)\n"
         "  --to S         end, in seconds of the show (default: the end of the pass\n"
         "                 that --from falls in, the frame before the show starts\n"
         "                 again; from 0 that is one whole pass, which loops seamlessly)\n"
         "  --seed N       random seed (default 5: two runs give the same frames)\n"
         "  --scale 2      3840 x 2160, each pixel doubled (default 1)\n"
         "  --volume N     music volume, 0 to 100 (default 100)\n"
         "  --crf N        quality: H.264 0 to 51 (default 18; 0 is lossless),\n"
         "                 VP9 0 to 63 (default 28); lower is better and larger\n"
         "  --preset NAME  x264 preset of .mp4 files, ultrafast to placebo\n"
         "                 (default veryfast)\n"
         "  --yuv444       .mp4 with full colour resolution (H.264 High 4:4:4;\n"
         "                 not every player takes it) (default 4:2:0)\n"
         "  --lossless     ask for the lossless .mkv\n"
         "  -y, --overwrite\n"
         "                 replace FILE if it exists (default: refuse at once)\n"
         "  --version      print the version\n"
         "Every start is exact: the rows and clocks land where a capture from 0\n"
         "has them. A start within the first two passes (up to about 747 s) gives\n"
         "the very frames of a capture from 0, byte for byte; it replays the show\n"
         "from 0 without encoding first. A later start replays only its own pass,\n"
         "which plays as the first pass did.\n"
         "The file is named only once it is complete. Ctrl+C, SIGTERM and SIGHUP\n"
         "leave nothing behind and end the tool by that signal; exit status 1\n"
         "when nothing could be written, 2 for a bad option.\n";
}

namespace {
bool IsPreset(const std::string& name) {
  static const char* const presets[] = {"ultrafast", "superfast", "veryfast", "faster", "fast",
                                        "medium",    "slow",      "slower",   "veryslow", "placebo"};
  for (const char* p : presets)
    if (name == p) return true;
  return false;
}
}  // namespace

bool ParseCaptureOptions(int argc, char** argv, CaptureOptions& out, std::string& error) {
  bool toGiven = false;
  for (int i = 1; i < argc; i++) {
    std::string arg = argv[i];
    // --opt=value: the name before '=', the rest is the value.
    std::string name = arg, inlineValue;
    bool hasInline = false;
    size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      name = arg.substr(0, eq);
      inlineValue = arg.substr(eq + 1);
      hasInline = true;
    }
    auto takesValue = [&] {
      return name == "-o" || name == "--fps" || name == "--from" || name == "--to" || name == "--seed" ||
             name == "--scale" || name == "--volume" || name == "--crf" || name == "--preset";
    };
    const char* value = nullptr;
    if (hasInline) {
      value = inlineValue.c_str();
    } else if (takesValue() && i + 1 < argc) {
      value = argv[i + 1];
      i++;
    }
    int64_t v = 0;
    auto needs = [&](const char* what) {
      error = name + " needs " + what;
      return false;
    };
    const bool flag = name == "--version" || name == "--help" || name == "-h" || name == "--lossless" ||
                      name == "--yuv444" || name == "--overwrite";
    if (hasInline && flag) {
      error = name + " takes no value";
      return false;
    }
    if (name == "--version") {
      out.showVersion = true;
    } else if (name == "--help" || name == "-h") {
      out.showHelp = true;
    } else if (name == "--lossless") {
      out.lossless = true;
    } else if (name == "--yuv444") {
      out.yuv444 = true;
    } else if (name == "-y" || name == "--overwrite") {
      out.overwrite = true;
    } else if (name == "-o") {
      if (!value || !*value) return needs("a file name");
      out.output = value;
    } else if (name == "--fps") {
      if (!ParseRate(value, out.grid))
        return needs("a whole number of frames per second from 1 to 240, or N/D such as 30000/1001");
    } else if (name == "--from") {
      if (!ParseSeconds(value, LATEST_START_MS, out.fromMs))
        return needs("a time in seconds from 0 to 604800 (a week)");
    } else if (name == "--to") {
      if (!ParseSeconds(value, LATEST_END_MS, out.toMs)) return needs("a time in seconds from 0 to 1209600 (two weeks)");
      toGiven = true;
    } else if (name == "--seed") {
      if (!ParseSeed(value, out.seed)) return needs("a whole number from 0 to 18446744073709551615");
    } else if (name == "--scale") {
      if (!ParseInt(value, 1, 2, v)) return needs("1 or 2");
      out.scale = (int)v;
    } else if (name == "--volume") {
      if (!ParseInt(value, 0, 100, v)) return needs("a whole number from 0 to 100");
      out.volume = (int)v;
    } else if (name == "--crf") {
      if (!ParseInt(value, 0, 63, v)) return needs("a whole number from 0 to 63");
      out.crf = (int)v;
    } else if (name == "--preset") {
      if (!value || !IsPreset(value))
        return needs("an x264 preset: ultrafast, superfast, veryfast, faster, fast, medium, slow, slower, "
                     "veryslow or placebo");
      out.preset = value;
    } else {
      error = "unknown option " + name;
      return false;
    }
  }
  if (out.showVersion || out.showHelp) return true;
  if (out.output.empty()) {
    error = "no output file: give one with -o FILE";
    return false;
  }
  if (EndsWith(out.output, ".mp4")) out.container = Container::Mp4;
  else if (EndsWith(out.output, ".webm")) out.container = Container::Webm;
  else if (EndsWith(out.output, ".mkv")) out.container = Container::Mkv;
  else {
    error = "the output file's name must end in .mp4, .webm or .mkv";
    return false;
  }
  if (out.lossless && out.container != Container::Mkv) {
    error = "--lossless writes .mkv files only";
    return false;
  }
  if (out.crf >= 0 && out.container == Container::Mkv) {
    error = "--crf applies to .mp4 and .webm files (.mkv is always lossless)";
    return false;
  }
  if (out.crf > 51 && out.container == Container::Mp4) {
    error = "--crf needs a whole number from 0 to 51 for .mp4 files";
    return false;
  }
  if (!out.preset.empty() && out.container != Container::Mp4) {
    error = "--preset applies to .mp4 files only";
    return false;
  }
  if (out.yuv444 && out.container != Container::Mp4) {
    error = "--yuv444 applies to .mp4 files only";
    return false;
  }
  if (out.crf < 0) out.crf = out.container == Container::Webm ? DEFAULT_WEBM_CRF : DEFAULT_MP4_CRF;
  if (out.preset.empty()) out.preset = DEFAULT_MP4_PRESET;
  // Frame n lies at GridFrameMs(grid, n): the first at or after --from, the
  // last before --to.
  out.firstFrame = GridFrameAtOrAfter(out.grid, out.fromMs);
  if (!toGiven) {
    out.toMs = -1;
    out.endFrame = 0;
    return true;
  }
  if (out.toMs <= out.fromMs) {
    error = "--to must come after --from";
    return false;
  }
  out.endFrame = GridFrameAtOrAfter(out.grid, out.toMs);
  if (out.endFrame <= out.firstFrame) {
    error = "no frame falls between --from and --to at this frame rate";
    return false;
  }
  return true;
}

void ResolveCaptureEnd(CaptureOptions& options) {
  if (options.toMs >= 0) return;
  // The first frame of the next pass: the frame whose scene switch enters row
  // 0 again. A pass lasts about TimelinePassMs on any grid (each row a frame
  // more at most), so the search starts a pass on and doubles until past it.
  EnterShowAt(options.grid, options.firstFrame);
  const int64_t pass = passCount;
  int64_t inside = options.firstFrame;
  int64_t past = GridFrameAtOrAfter(options.grid, GridFrameMs(options.grid, inside) + TimelinePassMs());
  for (int64_t step = 1;; step *= 2) {
    EnterShowAt(options.grid, past);
    if (passCount != pass) break;
    inside = past;
    past += step;
  }
  while (past - inside > 1) {
    const int64_t mid = inside + (past - inside) / 2;
    EnterShowAt(options.grid, mid);
    (passCount == pass ? inside : past) = mid;
  }
  options.endFrame = past;
  options.toMs = GridFrameMs(options.grid, past);
}
