// The benchmark's chart, painted with the program's own drawing primitives and
// system-font text on a plain 24-bit picture, then written with libpng.
#include "tools/bench/plot.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "render/draw.h"

namespace {
constexpr int WIDTH = 1200, HEIGHT = 600;
constexpr int LEFT = 70, RIGHT = 20, TOP = 50, BOTTOM = 60;

std::u16string Text(const std::string& s) { return std::u16string(s.begin(), s.end()); }

bool SavePng(const std::string& path, const std::vector<uint8_t>& bgr) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, WIDTH, HEIGHT, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_bgr(png);
  png_write_info(png, info);
  for (int y = 0; y < HEIGHT; y++) png_write_row(png, (png_bytep)&bgr[(size_t)y * WIDTH * 3]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}
}  // namespace

bool WritePlot(const std::string& path, const std::vector<RowTiming>& rows, const std::string& title) {
  std::vector<uint8_t> bgr((size_t)WIDTH * HEIGHT * 3, 255);
  if (!BeginBufferDrawing(bgr.data(), WIDTH, HEIGHT, 3, WIDTH * 3, false)) return false;
  SetDrawingMode(DRAW_MODE_TRANSPARENT_TEXT);
  double top = 20.0;
  for (const RowTiming& r : rows) top = std::max(top, r.p95);
  top = std::ceil(top / 5.0) * 5.0;
  const int plotH = HEIGHT - TOP - BOTTOM, plotW = WIDTH - LEFT - RIGHT;
  auto yOf = [&](double ms) { return TOP + plotH - (int)std::lround(ms / top * plotH); };
  const Colour grey = Rgb(200, 200, 200), black = Rgb(0, 0, 0);
  for (double ms = 0; ms <= top + 0.01; ms += 5) {
    DrawLine(LEFT, yOf(ms), plotW, 1, grey);
    char label[16];
    std::snprintf(label, sizeof label, "%.0f ms", ms);
    DrawTextAt(8, yOf(ms) - 8, Text(label), black);
  }
  const int n = std::max<int>(1, (int)rows.size());
  const int slot = plotW / n, bar = std::max(2, slot * 35 / 100);
  for (size_t i = 0; i < rows.size(); i++) {
    int x = LEFT + (int)i * slot + slot / 2 - bar;
    int ym = yOf(rows[i].median), yp = yOf(rows[i].p95);
    DrawBox(x, ym, bar, TOP + plotH - ym, Rgb(40, 110, 200));
    DrawBox(x + bar, yp, bar, TOP + plotH - yp, Rgb(240, 150, 40));
    DrawTextAt(x + bar - 6, TOP + plotH + 6, Text(std::to_string(rows[i].row)), black);
  }
  DrawLine(LEFT, yOf(16.7), plotW, 1, Rgb(220, 0, 0));
  DrawTextAt(LEFT + plotW - 170, yOf(16.7) - 18, Text("16.7 ms (60 Hz)"), Rgb(220, 0, 0));
  DrawLine(LEFT, yOf(10.0), plotW, 1, Rgb(0, 150, 0));
  DrawTextAt(LEFT + plotW - 170, yOf(10.0) - 18, Text("10 ms"), Rgb(0, 150, 0));
  DrawLine(LEFT, yOf(6.9), plotW, 1, Rgb(150, 0, 180));
  DrawTextAt(LEFT + plotW - 170, yOf(6.9) - 18, Text("6.9 ms (144 Hz)"), Rgb(150, 0, 180));
  DrawLine(LEFT, TOP + plotH, plotW, 1, black);
  DrawTextAt(LEFT, 12, Text(title + ": frame time per timeline row (blue median, orange 95th percentile)"), black);
  DrawTextAt(LEFT + plotW / 2 - 40, HEIGHT - 24, Text("timeline row"), black);
  EndScreenDrawing();
  return SavePng(path, bgr);
}
