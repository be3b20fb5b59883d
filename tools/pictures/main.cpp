// make_pictures <folder>: paints the show's 24 pictures (the picture rows of
// driver/carried_files.h) and writes them as PNG files into the folder, the
// same bytes on every run.
// make_pictures --icons <folder> <size>...: writes the desktop icon at each size
// as <folder>/zyntrax-<size>.png.
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "tools/pictures/pictures.h"

namespace {
enum class Format { RGB, RGBA, PALETTE };
struct Picture {
  const char* name;
  Format format;
  std::function<Canvas()> make;
};
const char* const FACE_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* const SHEET_FACE_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";

std::string AsFolder(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// Sizes are whole numbers from 1 to 256 (the icon is reduced, never enlarged).
int WriteIcons(const std::string& folder, int count, char** sizes) {
  int failures = 0;
  for (int i = 0; i < count; i++) {
    char* end = nullptr;
    long size = std::strtol(sizes[i], &end, 10);
    if (*sizes[i] == '\0' || *end != '\0' || size < 1 || size > 256) {
      std::fprintf(stderr, "make_pictures: icon size %s is not a number from 1 to 256\n", sizes[i]);
      return 2;
    }
    std::string path = folder + "zyntrax-" + std::to_string(size) + ".png";
    if (!WriteRgba(path, MakeIcon(int(size)))) {
      std::fprintf(stderr, "make_pictures: cannot write %s\n", path.c_str());
      failures++;
    }
  }
  return failures ? 1 : 0;
}
}  // namespace

int main(int argc, char** argv) {
  const bool icons = argc >= 4 && std::string(argv[1]) == "--icons";
  if (argc != 2 && !icons) {
    std::fprintf(stderr, "usage: make_pictures <output folder>\n"
                         "       make_pictures --icons <output folder> <size>...\n");
    return 2;
  }
  if (!OpenFace(FACE_PATH)) {
    std::fprintf(stderr, "make_pictures: cannot open the font %s\n", FACE_PATH);
    return 1;
  }
  if (icons) {
    int status = WriteIcons(AsFolder(argv[2]), argc - 3, argv + 3);
    CloseFace();
    return status;
  }
  if (!OpenSheetFace(SHEET_FACE_PATH)) {
    std::fprintf(stderr, "make_pictures: cannot open the font %s\n", SHEET_FACE_PATH);
    CloseFace();
    return 1;
  }
  const Picture pictures[] = {
#define CARRIED_MUSIC(...)
#define CARRIED_PICTURE(symbol, name, order, use, number, format, maker) {name, Format::format, [] { return maker; }},
#include "driver/carried_files.h"
  };
  const std::string folder = AsFolder(argv[1]);
  int failures = 0;
  for (const Picture& p : pictures) {
    Canvas c = p.make();
    std::string path = folder + p.name;
    bool ok = p.format == Format::RGB    ? WriteRgb(path, c)
              : p.format == Format::RGBA ? WriteRgba(path, c)
                                         : WritePalette(path, c);
    if (!ok) {
      std::fprintf(stderr, "make_pictures: cannot write %s\n", path.c_str());
      failures++;
    }
  }
  CloseFace();
  return failures ? 1 : 0;
}
