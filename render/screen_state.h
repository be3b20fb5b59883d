// The show frame's inside, shared by the sprite painter and the drawing pair:
// the pixels as 0xXXRRGGBB words, top row first. Owned by screen.cpp.
#pragma once
#include <cstdint>
#include <vector>

struct ShowFrame {
  std::vector<uint32_t> pixels;
  int width = 0, height = 0;
};

extern ShowFrame showFrame;

inline bool FrameIsOpen() { return showFrame.width > 0; }
inline uint32_t* FrameRow(int y) { return showFrame.pixels.data() + (size_t)y * (size_t)showFrame.width; }
