// A plain 24-bit picture in memory made the current drawing output, so that
// scene painting can be checked pixel by pixel without a display.
#pragma once
#include <cstdint>
#include <vector>

#include "render/colour.h"
#include "render/draw.h"

struct MemoryOutput {
  int width, height;
  std::vector<uint8_t> bytes;  // blue, green, red; top row first
  MemoryOutput(int w, int h, uint8_t fill) : width(w), height(h), bytes((size_t)w * h * 3, fill) {}
  bool Begin() { return BeginBufferDrawing(bytes.data(), width, height, 3, width * 3, false) != 0; }
  Colour At(int x, int y) const {
    const uint8_t* p = &bytes[((size_t)y * width + x) * 3];
    return Rgb(p[2], p[1], p[0]);
  }
};
