// make_music: composes and synthesizes the show's track and writes it as Ogg
// Vorbis to the path given. The same bytes come out on every run.
#include <cstdio>
#include <memory>

#include "tools/music/music.h"

namespace {
constexpr float VORBIS_QUALITY = 0.55f;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_music <output.ogg>\n");
    return 2;
  }
  auto song = std::make_unique<Song>();
  ComposeSong(*song);
  std::vector<float> master;
  MixDown(*song, master);
  song.reset();
  if (!WriteOggVorbis(argv[1], master, VORBIS_QUALITY)) {
    std::fprintf(stderr, "make_music: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
