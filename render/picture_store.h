// The numbered in-memory pictures as the drawing code sees them: owned by
// image.cpp, read by DrawImageAt. Rows are stored bottom-up like a drawing output.
#pragma once
#include <cstdint>
#include <vector>

struct Picture {
  int width = 0, height = 0;
  int depth = 24;  // 24 (B G R) or 32 (B G R A)
  int rowStride = 0;
  std::vector<uint8_t> pixels;  // last picture row first
};

// The picture under `number`, or null.
const Picture* FindPicture(int number);
// Start of picture row y (top-down numbering).
inline const uint8_t* PictureRow(const Picture& p, int y) {
  return p.pixels.data() + (size_t)(p.height - 1 - y) * (size_t)p.rowStride;
}
