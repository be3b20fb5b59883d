// make_pictures <folder>: paints the show's 24 pictures and writes them as PNG
// files into the folder, the same bytes on every run.
// make_pictures --icons <folder> <size>...: writes the desktop icon at each size
// as <folder>/zyntrax-<size>.png.
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "tools/pictures/pictures.h"

namespace {
enum class Format { Rgb, Rgba, Palette };
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
      {"police20.png", Format::Rgba, MakeFontSheet},
      {"billboard.png", Format::Palette, MakeBadge},
      {"Rotozoom.png", Format::Rgb, MakeRotozoomTile},
      {"billboard2.png", Format::Palette, MakeCowHead},
      {"haut1.png", Format::Rgba, [] { return MakeBanner(1); }},
      {"haut2.png", Format::Rgb, [] { return MakeBanner(2); }},
      {"haut3.png", Format::Rgb, [] { return MakeBanner(3); }},
      {"haut4.png", Format::Rgb, [] { return MakeBanner(4); }},
      {"haut5.png", Format::Rgba, [] { return MakeBanner(5); }},
      {"sideimage.png", Format::Rgba, MakePlanet},
      {"launcher.png", Format::Rgb, MakeLauncherBanner},
      {"billboard3.png", Format::Palette, MakeStarBurst},
      {"billboard4.png", Format::Palette, MakeRingDisc},
      {"starfield_image.png", Format::Rgba, MakeRobot},
      {"center_billboard.png", Format::Rgba, MakeTotem},
      {"cyber_bg.png", Format::Rgba, MakeCyberCity},
      {"ship.png", Format::Rgba, MakeShip},
      {"tunnel_bg.png", Format::Rgb, MakeTunnel},
      {"pulse_r.png", Format::Palette, [] { return MakePulse(0); }},
      {"pulse_g.png", Format::Rgb, [] { return MakePulse(1); }},
      {"pulse_b.png", Format::Rgb, [] { return MakePulse(2); }},
      {"twister_image.png", Format::Rgba, MakeRocket},
      {"billboard5.png", Format::Palette, MakeDiamond},
      {"billboard6.png", Format::Palette, MakeShield},
  };
  const std::string folder = AsFolder(argv[1]);
  int failures = 0;
  for (const Picture& p : pictures) {
    Canvas c = p.make();
    std::string path = folder + p.name;
    bool ok = p.format == Format::Rgb    ? WriteRgb(path, c)
              : p.format == Format::Rgba ? WriteRgba(path, c)
                                         : WritePalette(path, c);
    if (!ok) {
      std::fprintf(stderr, "make_pictures: cannot write %s\n", path.c_str());
      failures++;
    }
  }
  CloseFace();
  return failures ? 1 : 0;
}
