// PNG output of the picture generator: 8-bit RGB, RGBA, and palette pictures
// (median-cut quantised, index 0 transparent through tRNS). No time stamps.
#include <png.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>

#include "tools/pictures/canvas.h"

static uint8_t Byte(float v) { return uint8_t(std::lround(Clamp01(v) * 255.0f)); }

static bool WriteRows(const std::string& path, int w, int h, int colourType, const std::vector<uint8_t>& data,
                      const std::vector<png_color>& palette) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, w, h, 8, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (colourType == PNG_COLOR_TYPE_PALETTE) {
    png_set_PLTE(png, info, palette.data(), int(palette.size()));
    png_byte transparent = 0;
    png_set_tRNS(png, info, &transparent, 1, nullptr);
  }
  png_write_info(png, info);
  size_t stride = data.size() / h;
  for (int y = 0; y < h; y++) png_write_row(png, data.data() + stride * y);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

bool WriteRgb(const std::string& path, const Canvas& c) {
  std::vector<uint8_t> data;
  data.reserve(c.px.size() * 3);
  for (const Px& p : c.px) {
    // Anything not fully opaque is shown as if over black.
    data.push_back(Byte(p.r * p.a));
    data.push_back(Byte(p.g * p.a));
    data.push_back(Byte(p.b * p.a));
  }
  return WriteRows(path, c.w, c.h, PNG_COLOR_TYPE_RGB, data, {});
}

bool WriteRgba(const std::string& path, const Canvas& c) {
  std::vector<uint8_t> data;
  data.reserve(c.px.size() * 4);
  for (const Px& p : c.px) {
    // Colour is kept under zero alpha too: filtered sprites blend towards it
    // at their edges (the font sheet is white throughout for that reason).
    data.push_back(Byte(p.r));
    data.push_back(Byte(p.g));
    data.push_back(Byte(p.b));
    data.push_back(Byte(p.a));
  }
  return WriteRows(path, c.w, c.h, PNG_COLOR_TYPE_RGB_ALPHA, data, {});
}

using Rgb8 = std::array<uint8_t, 3>;
struct Entry {
  Rgb8 colour;
  uint32_t count;
};

// Median cut: split the box with the widest weighted channel range until there
// are `limit` boxes; each box's weighted mean becomes one palette colour.
static std::vector<Rgb8> MedianCut(std::vector<Entry> entries, size_t limit) {
  struct Range {
    size_t begin, end;
  };
  std::vector<Range> boxes{{0, entries.size()}};
  auto spread = [&](const Range& b, int& channel) {
    int best = -1;
    for (int ch = 0; ch < 3; ch++) {
      int lo = 255, hi = 0;
      for (size_t i = b.begin; i < b.end; i++) {
        lo = std::min<int>(lo, entries[i].colour[ch]);
        hi = std::max<int>(hi, entries[i].colour[ch]);
      }
      if (hi - lo > best) best = hi - lo, channel = ch;
    }
    return best;
  };
  while (boxes.size() < limit) {
    long bestScore = 0;
    size_t pick = 0;
    int pickChannel = 0;
    for (size_t i = 0; i < boxes.size(); i++) {
      if (boxes[i].end - boxes[i].begin < 2) continue;
      int ch = 0;
      long weight = 0;
      for (size_t k = boxes[i].begin; k < boxes[i].end; k++) weight += entries[k].count;
      long score = long(spread(boxes[i], ch)) * long(std::sqrt(double(weight)) + 1);
      if (score > bestScore) bestScore = score, pick = i, pickChannel = ch;
    }
    if (bestScore == 0) break;
    Range b = boxes[pick];
    std::stable_sort(entries.begin() + b.begin, entries.begin() + b.end, [&](const Entry& p, const Entry& q) {
      return p.colour[pickChannel] < q.colour[pickChannel];
    });
    long total = 0, half = 0;
    for (size_t k = b.begin; k < b.end; k++) total += entries[k].count;
    size_t cut = b.begin + 1;
    for (size_t k = b.begin; k < b.end - 1; k++) {
      half += entries[k].count;
      cut = k + 1;
      if (half * 2 >= total) break;
    }
    boxes[pick] = {b.begin, cut};
    boxes.push_back({cut, b.end});
  }
  std::vector<Rgb8> palette;
  for (const Range& b : boxes) {
    double sum[3] = {0, 0, 0}, n = 0;
    for (size_t k = b.begin; k < b.end; k++) {
      for (int ch = 0; ch < 3; ch++) sum[ch] += double(entries[k].colour[ch]) * entries[k].count;
      n += entries[k].count;
    }
    palette.push_back({uint8_t(std::lround(sum[0] / n)), uint8_t(std::lround(sum[1] / n)),
                       uint8_t(std::lround(sum[2] / n))});
  }
  return palette;
}

bool WritePalette(const std::string& path, const Canvas& c) {
  std::map<Rgb8, uint32_t> counts;
  std::vector<int> opaque(c.px.size());
  std::vector<Rgb8> colours(c.px.size());
  for (size_t i = 0; i < c.px.size(); i++) {
    const Px& p = c.px[i];
    opaque[i] = p.a >= 0.5f;
    colours[i] = {Byte(p.r), Byte(p.g), Byte(p.b)};
    if (opaque[i]) counts[colours[i]]++;
  }
  std::vector<Entry> entries;
  for (auto& [colour, n] : counts) entries.push_back({colour, n});
  std::vector<Rgb8> palette = entries.empty() ? std::vector<Rgb8>{} : MedianCut(entries, 255);
  std::vector<png_color> plte{{0, 0, 0}};
  for (const Rgb8& p : palette) plte.push_back({p[0], p[1], p[2]});

  std::map<Rgb8, uint8_t> nearest;
  for (auto& [colour, n] : counts) {
    long best = -1;
    uint8_t index = 1;
    for (size_t k = 0; k < palette.size(); k++) {
      long d = 0;
      for (int ch = 0; ch < 3; ch++) d += long(colour[ch] - palette[k][ch]) * (colour[ch] - palette[k][ch]);
      if (best < 0 || d < best) best = d, index = uint8_t(k + 1);
    }
    nearest[colour] = index;
  }
  std::vector<uint8_t> data(c.px.size());
  for (size_t i = 0; i < c.px.size(); i++) data[i] = opaque[i] ? nearest[colours[i]] : 0;
  return WriteRows(path, c.w, c.h, PNG_COLOR_TYPE_PALETTE, data, plte);
}
