// A sum of 8-bit products divided by 255 without a division, by the renderer's
// two rules: rounded down (boxes, lines, discs and system text) and rounded to
// the nearest (sprites). Each is exact for every x up to 255 x 255.
#pragma once
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// x / 255 rounded down; T is the caller's lane type (16-bit lanes vectorise).
template <class T>
inline T Div255Down(T x) {
  return (T)((x + 1 + (x >> 8)) >> 8);
}

// x / 255 rounded to the nearest.
inline uint32_t Div255Nearest(uint32_t x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
}
// The same for two values in the 16-bit halves of a word.
inline uint32_t Div255NearestPair(uint32_t x) {
  x += 0x00800080u;
  return ((x + ((x >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}
#if defined(__SSE2__)
// The same for eight 16-bit lanes.
inline __m128i Div255Nearest8(__m128i x) {
  x = _mm_add_epi16(x, _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}
#endif
