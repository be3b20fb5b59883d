// Pixels in memory: the layouts the program uses, named once; a plain view of
// a picture (pointer, size, stride, layout) that the layers hand down to the
// display and the window system; and the one conversion between layouts.
#pragma once
#include <cstdint>

enum class PixelLayout : uint8_t {
  // 32-bit words 0xXXRRGGBB in host order (bytes B, G, R, unused on x86 and
  // WebAssembly): the show frame, SDL's window surface, cairo's RGB24, GL's BGRA upload.
  XRGB8888,
  // 32-bit words 0xAARRGGBB (bytes B, G, R, A): sprite texels, decoded 32-bit
  // pictures, the capture's frames.
  ARGB8888,
  // Bytes R, G, B, A: a browser canvas's ImageData.
  RGBA8888,
  // Bytes B, G, R: the launcher's canvases, decoded 24-bit pictures.
  BGR888,
};

constexpr int BytesPerPixel(PixelLayout layout) { return layout == PixelLayout::BGR888 ? 3 : 4; }

// A picture in memory, rows top to bottom, stride bytes apart. Null pixels:
// no picture.
struct PixelView {
  uint8_t* pixels = nullptr;
  int width = 0, height = 0;
  int stride = 0;
  PixelLayout layout = PixelLayout::XRGB8888;
};

// Start of row y.
inline uint8_t* PixelRow(const PixelView& v, int y) { return v.pixels + (intptr_t)y * v.stride; }

// Writes `from` into `to`, pixel for pixel over the size both share, in to's
// layout. Colours are copied as they are; the fourth byte of the target is the
// source's alpha where both layouts carry one (ARGB8888, RGBA8888), 0xFF
// (opaque) otherwise.
void ConvertPixels(const PixelView& from, const PixelView& to);
