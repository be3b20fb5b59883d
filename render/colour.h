// Packed colours: red | green << 8 | blue << 16 | alpha << 24.
#pragma once
#include <cstdint>

using Colour = uint32_t;

constexpr Colour Rgb(int r, int g, int b) {
  return (Colour)(r & 0xFF) | ((Colour)(g & 0xFF) << 8) | ((Colour)(b & 0xFF) << 16);
}
constexpr Colour Rgba(int r, int g, int b, int a) {
  return Rgb(r, g, b) | ((Colour)(a & 0xFF) << 24);
}
constexpr int RedOf(Colour c) { return (int)(c & 0xFF); }
constexpr int GreenOf(Colour c) { return (int)((c >> 8) & 0xFF); }
constexpr int BlueOf(Colour c) { return (int)((c >> 16) & 0xFF); }
