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

bool EndsWith(const std::string& s, const char* tail) {
  size_t n = std::strlen(tail);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; i++)
    if (std::tolower((unsigned char)s[s.size() - n + i]) != tail[i]) return false;
  return true;
}
}  // namespace

const char* CaptureUsage() {
  return "usage: zyntrax-capture -o FILE [options]\n"
         "Plays the show on a driven clock and writes it, with its music, to FILE.\n"
         "  -o FILE       .mp4 (H.264 and AAC), .webm (VP9 and Opus) or\n"
         "                .mkv (lossless: FFV1 in RGB and FLAC)\n"
         "  --fps N       frames per second, 1 to 240 (default 60)\n"
         "  --from S      start, in seconds of the show (default 0; up to 604800)\n"
         "  --to S        end, in seconds of the show (default one pass after --from)\n"
         "  --seed N      random seed (default 5: two runs give the same frames)\n"
         "  --scale 2     3840 x 2160, each pixel doubled\n"
         "  --volume N    music volume, 0 to 100 (default 100)\n"
         "  --lossless    ask for the lossless .mkv\n"
         "  --version     print the version\n";
}

bool ParseCaptureOptions(int argc, char** argv, CaptureOptions& out, std::string& error) {
  bool toGiven = false;
  for (int i = 1; i < argc; i++) {
    const char* a = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    int64_t v = 0;
    auto needs = [&](const char* what) {
      error = std::string(a) + " needs " + what;
      return false;
    };
    if (!std::strcmp(a, "--version")) {
      out.showVersion = true;
    } else if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
      out.showHelp = true;
    } else if (!std::strcmp(a, "--lossless")) {
      out.lossless = true;
    } else if (!std::strcmp(a, "-o")) {
      if (!value || !*value) return needs("a file name");
      out.output = value;
      i++;
    } else if (!std::strcmp(a, "--fps")) {
      if (!ParseInt(value, 1, 240, v)) return needs("a whole number of frames per second from 1 to 240");
      out.fps = (int)v;
      i++;
    } else if (!std::strcmp(a, "--from")) {
      if (!ParseSeconds(value, LATEST_START_MS, out.fromMs))
        return needs("a time in seconds from 0 to 604800 (a week)");
      i++;
    } else if (!std::strcmp(a, "--to")) {
      if (!ParseSeconds(value, LATEST_START_MS + ONE_PASS_MS, out.toMs))
        return needs("a time in seconds from 0 to 605173.5");
      toGiven = true;
      i++;
    } else if (!std::strcmp(a, "--seed")) {
      if (!ParseSeed(value, out.seed)) return needs("a whole number from 0 to 18446744073709551615");
      i++;
    } else if (!std::strcmp(a, "--scale")) {
      if (!ParseInt(value, 1, 2, v)) return needs("1 or 2");
      out.scale = (int)v;
      i++;
    } else if (!std::strcmp(a, "--volume")) {
      if (!ParseInt(value, 0, 100, v)) return needs("a whole number from 0 to 100");
      out.volume = (int)v;
      i++;
    } else {
      error = std::string("unknown option ") + a;
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
  if (!toGiven) out.toMs = out.fromMs + ONE_PASS_MS;
  if (out.toMs <= out.fromMs) {
    error = "--to must come after --from";
    return false;
  }
  // Frame n lies at n / fps seconds: the first at or after --from, the last
  // before --to.
  out.firstFrame = (out.fromMs * out.fps + 999) / 1000;
  out.endFrame = (out.toMs * out.fps + 999) / 1000;
  if (out.endFrame <= out.firstFrame) {
    error = "no frame falls between --from and --to at this frame rate";
    return false;
  }
  return true;
}
