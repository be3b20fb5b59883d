// Built for Windows: paints the show at the given clocks with a seed, the
// native test side's way (web/native_show.h), and writes each frame as raw
// 0x00RRGGBB words, so that the test tree can compare them with the frames it
// paints itself.
//   paint_frames <seed> <folder> <ms>...   writes <folder>/<ms>.rgb
#include <cstdio>
#include <cstdlib>
#include <string>

#include "web/native_show.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: paint_frames <seed> <folder> <ms>...\n");
    return 2;
  }
  const uint64_t seed = std::strtoull(argv[1], nullptr, 10);
  int failures = 0;
  for (int i = 3; i < argc; i++) {
    NativeFrame frame = NativeFrameAt(std::strtoll(argv[i], nullptr, 10), seed);
    std::string path = std::string(argv[2]) + "/" + argv[i] + ".rgb";
    FILE* f = frame.pixels.empty() ? nullptr : std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(frame.pixels.data(), 4, frame.pixels.size(), f) == frame.pixels.size();
    if (f) ok = std::fclose(f) == 0 && ok;
    if (!ok || !frame.messages.empty()) {
      std::fprintf(stderr, "paint_frames: frame at %s ms failed %s\n", argv[i], frame.messages.c_str());
      failures++;
    }
    std::printf("%s %lld\n", argv[i], (long long)frame.row);
  }
  return failures ? 1 : 0;
}
