// Contact sheet of the whole show: steps the real driver through every timeline
// row on a driven clock (16 ms per frame), writes one screenshot per row and a
// sheet of all twenty.   make_shots <output folder> [row]
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/sprite.h"
#include "tools/common/tool_show.h"

namespace {
struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

Picture GrabFrame() {
  Picture p;
  if (!BeginScreenDrawing()) return p;
  p.width = OutputWidth();
  p.height = OutputHeight();
  p.rgb.resize((size_t)p.width * p.height * 3);
  for (int y = 0; y < p.height; y++)
    for (int x = 0; x < p.width; x++) {
      Colour c = ReadPixel(x, y);
      uint8_t* d = &p.rgb[((size_t)y * p.width + x) * 3];
      d[0] = (uint8_t)RedOf(c);
      d[1] = (uint8_t)GreenOf(c);
      d[2] = (uint8_t)BlueOf(c);
    }
  EndScreenDrawing();
  return p;
}

bool SavePng(const std::string& path, const Picture& p) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, p.width, p.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < p.height; y++) png_write_row(png, (png_bytep)&p.rgb[(size_t)y * p.width * 3]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return true;
}

// Moment of a row worth showing: well past the flash and the entrance slides.
int64_t ShotTime(int64_t durationMs) {
  int64_t t = durationMs * 6 / 10;
  return t > 6000 ? 6000 : t;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_shots <output folder> [row]\n");
    return 2;
  }
  std::string out = argv[1];
  int only = argc > 2 ? std::atoi(argv[2]) : -1;
  TestSetClock(0);
  if (!StartToolShow("make_shots", "Velda Party 5 contact sheet", 1920, 1080)) return 1;
  EnterScene(0);
  showStartMs = ElapsedMs();

  const int cols = 5, thumbW = 384, thumbH = 216;
  Picture sheet;
  sheet.width = cols * thumbW;
  // As many sheet rows as the timeline needs (four for the show's twenty).
  sheet.height = (int)((lastSceneIndex + cols) / cols) * thumbH;
  sheet.rgb.assign((size_t)sheet.width * sheet.height * 3, 0);
  for (int row = 0; row <= lastSceneIndex; row++) {
    EnterScene(row);
    int64_t until = sceneStart + ShotTime(timeline[row].durationMs);
    bool wanted = only < 0 || only == row;
    // Rows we skip still play a few frames, so later rows find their state set up.
    if (!wanted) until = sceneStart + 160;
    while (ElapsedMs() < until) {
      DrawFrame();
      PresentFrame();
      TestAdvanceClock(16);
    }
    DrawFrame();
    if (!wanted) continue;
    Picture shot = GrabFrame();
    if (shot.width == 0) continue;
    char name[64];
    std::snprintf(name, sizeof name, "/row%02d.png", row);
    SavePng(out + name, shot);
    std::printf("row %2d effect %2lld -> %s%s\n", row, (long long)timeline[row].effectNumber, out.c_str(), name);
    int ox = (row % cols) * thumbW, oy = (row / cols) * thumbH;
    for (int y = 0; y < thumbH; y++)
      for (int x = 0; x < thumbW; x++) {
        const uint8_t* s = &shot.rgb[((size_t)(y * shot.height / thumbH) * shot.width + x * shot.width / thumbW) * 3];
        uint8_t* d = &sheet.rgb[((size_t)(oy + y) * sheet.width + ox + x) * 3];
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
      }
    PresentFrame();
  }
  if (only < 0) SavePng(out + "/contact_sheet.png", sheet);
  CloseScreen();
  ShutdownPlatform();
  return 0;
}
