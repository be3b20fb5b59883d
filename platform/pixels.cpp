// The one conversion between pixel layouts: a general path through one
// 0xAARRGGBB word per pixel, and fast paths for the pairs that run every frame
// (the show frame onto a browser canvas or into the capture's frames).
#include "platform/pixels.h"

#include <algorithm>
#include <cstring>

#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

namespace {
constexpr uint32_t OPAQUE = 0xFF000000u;

bool CarriesAlpha(PixelLayout layout) {
  return layout == PixelLayout::ARGB8888 || layout == PixelLayout::RGBA8888;
}

// One pixel as 0xAARRGGBB; a layout without alpha reads as opaque.
uint32_t Read(const uint8_t* p, PixelLayout layout) {
  switch (layout) {
    case PixelLayout::XRGB8888: {
      uint32_t v;
      std::memcpy(&v, p, 4);
      return v | OPAQUE;
    }
    case PixelLayout::ARGB8888: {
      uint32_t v;
      std::memcpy(&v, p, 4);
      return v;
    }
    case PixelLayout::RGBA8888:
      return (uint32_t)p[3] << 24 | (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
    case PixelLayout::BGR888:
      return OPAQUE | (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0];
  }
  return OPAQUE;
}

void Write(uint8_t* p, PixelLayout layout, uint32_t argb) {
  switch (layout) {
    case PixelLayout::XRGB8888:
    case PixelLayout::ARGB8888:
      std::memcpy(p, &argb, 4);
      return;
    case PixelLayout::RGBA8888:
      p[0] = (uint8_t)(argb >> 16);
      p[1] = (uint8_t)(argb >> 8);
      p[2] = (uint8_t)argb;
      p[3] = (uint8_t)(argb >> 24);
      return;
    case PixelLayout::BGR888:
      p[0] = (uint8_t)argb;
      p[1] = (uint8_t)(argb >> 8);
      p[2] = (uint8_t)(argb >> 16);
      return;
  }
}

// 32-bit words with blue and red swapped, alpha set: XRGB onto a canvas.
void XrgbToRgbaRow(const uint32_t* src, uint32_t* out, int width) {
  int x = 0;
#ifdef __wasm_simd128__
  const v128_t opaque = wasm_i32x4_splat((int32_t)OPAQUE);
  for (; x + 4 <= width; x += 4) {
    v128_t p = wasm_v128_load(src + x);
    p = wasm_i8x16_shuffle(p, p, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    wasm_v128_store(out + x, wasm_v128_or(p, opaque));
  }
#endif
  for (; x < width; x++) {
    uint32_t p = src[x];
    out[x] = OPAQUE | (p & 0x0000FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
  }
}

// The same words with alpha set: XRGB into ARGB (or XRGB) pictures.
void SetAlphaRow(const uint32_t* src, uint32_t* out, int width) {
  for (int x = 0; x < width; x++) out[x] = src[x] | OPAQUE;
}
}  // namespace

void ConvertPixels(const PixelView& from, const PixelView& to) {
  if (!from.pixels || !to.pixels) return;
  const int width = std::min(from.width, to.width), height = std::min(from.height, to.height);
  const bool keepAlpha = CarriesAlpha(from.layout) && CarriesAlpha(to.layout);
  const int inStep = BytesPerPixel(from.layout), outStep = BytesPerPixel(to.layout);
  for (int y = 0; y < height; y++) {
    const uint8_t* in = PixelRow(from, y);
    uint8_t* out = PixelRow(to, y);
    if (from.layout == PixelLayout::XRGB8888 && to.layout == PixelLayout::RGBA8888) {
      XrgbToRgbaRow(reinterpret_cast<const uint32_t*>(in), reinterpret_cast<uint32_t*>(out), width);
    } else if (from.layout == PixelLayout::XRGB8888 &&
               (to.layout == PixelLayout::ARGB8888 || to.layout == PixelLayout::XRGB8888)) {
      SetAlphaRow(reinterpret_cast<const uint32_t*>(in), reinterpret_cast<uint32_t*>(out), width);
    } else {
      for (int x = 0; x < width; x++, in += inStep, out += outStep) {
        uint32_t argb = Read(in, from.layout);
        Write(out, to.layout, keepAlpha ? argb : argb | OPAQUE);
      }
    }
  }
}
