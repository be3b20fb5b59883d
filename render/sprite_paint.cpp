// The sprite quad painter. A pixel belongs to the quad when its centre lies
// inside it (left and top edges in, right and bottom out); it takes the texel
// at the floor of the texture coordinate found at that centre, clamped to the
// picture, so the picture is sampled by its nearest texel. Rows are walked as
// spans with the coordinates stepped in 32.32 fixed point.
#include "render/sprite_paint.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/divide255.h"
#include "render/screen_state.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
constexpr double FIXED_ONE = 4294967296.0;  // 2^32

// src over dst with alpha a (0..255); the fourth byte of dst is kept.
inline uint32_t Blend(uint32_t src, uint32_t dst, uint32_t a) {
  uint32_t ia = 255 - a;
  uint32_t rb = Div255NearestPair((src & 0x00FF00FFu) * a + (dst & 0x00FF00FFu) * ia);
  uint32_t g = Div255NearestPair(((src >> 8) & 0xFFu) * a + ((dst >> 8) & 0xFFu) * ia);
  return (dst & 0xFF000000u) | rb | (g << 8);
}

struct Steps {
  double sx, sy, s0;  // s = s0 + sx * X + sy * Y at frame point (X, Y)
  double tx, ty, t0;
};

// The affine texture mapping of the quad, from corners 0, 1 and 3.
bool MapOf(const SpriteQuad& q, Steps& m) {
  double e1x = (double)q.x[1] - q.x[0], e1y = (double)q.y[1] - q.y[0];
  double e2x = (double)q.x[3] - q.x[0], e2y = (double)q.y[3] - q.y[0];
  double det = e1x * e2y - e1y * e2x;
  if (det == 0.0 || !std::isfinite(det)) return false;
  double ds1 = (double)q.s[1] - q.s[0], ds3 = (double)q.s[3] - q.s[0];
  double dt1 = (double)q.t[1] - q.t[0], dt3 = (double)q.t[3] - q.t[0];
  m.sx = (ds1 * e2y - ds3 * e1y) / det;
  m.sy = (ds3 * e1x - ds1 * e2x) / det;
  m.tx = (dt1 * e2y - dt3 * e1y) / det;
  m.ty = (dt3 * e1x - dt1 * e2x) / det;
  m.s0 = q.s[0] - m.sx * q.x[0] - m.sy * q.y[0];
  m.t0 = q.t[0] - m.tx * q.x[0] - m.ty * q.y[0];
  return true;
}

// Columns first..last of the row whose centre line is yc, or false when the
// line misses the quad.
bool RowSpan(const SpriteQuad& q, double yc, int width, int& first, int& last) {
  double lo = HUGE_VAL, hi = -HUGE_VAL;
  for (int i = 0; i < 4; ++i) {
    double ax = q.x[i], ay = q.y[i], bx = q.x[(i + 1) & 3], by = q.y[(i + 1) & 3];
    if (ay == by || yc < std::min(ay, by) || yc > std::max(ay, by)) continue;
    double x = ax + (yc - ay) * (bx - ax) / (by - ay);
    lo = std::min(lo, x);
    hi = std::max(hi, x);
  }
  if (lo > hi) return false;
  // Centres c + 0.5 with lo <= c + 0.5 < hi.
  double f = std::ceil(lo - 0.5), l = std::ceil(hi - 0.5) - 1;
  f = std::max(f, 0.0);
  l = std::min(l, (double)width - 1);
  if (f > l) return false;
  first = (int)f;
  last = (int)l;
  return true;
}

// Puts one texel down on one frame pixel.
template <SpriteMode MODE>
inline void Put(uint32_t& pixel, uint32_t texel, uint32_t intensity, uint32_t tint) {
  if constexpr (MODE == SpriteMode::Opaque) {
    pixel = texel;  // the fourth byte means nothing on the frame
  } else {
    uint32_t a = Div255Nearest((texel >> 24) * intensity);
    if (a == 0) return;
    pixel = Blend(MODE == SpriteMode::Tinted ? tint : texel, pixel, a);
  }
}

#if defined(__SSE2__)
// Four pixels at once with the same arithmetic as Put: alpha from the texels
// and the intensity, each channel out = (src a + dst (255 - a)) / 255 rounded,
// the fourth byte of dst kept. An alpha of 0 gives dst back exactly.
inline __m128i Blend4(__m128i src, __m128i texels, __m128i dst, __m128i intensity) {
  const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(255);
  // Alpha in 32-bit lanes whose high halves stay 0.
  __m128i a = Div255Nearest8(_mm_mullo_epi16(_mm_srli_epi32(texels, 24), intensity));
  __m128i a16 = _mm_unpacklo_epi16(_mm_packs_epi32(a, a), _mm_packs_epi32(a, a));  // a0 a0 a1 a1 a2 a2 a3 a3
  __m128i aLo = _mm_unpacklo_epi32(a16, a16), aHi = _mm_unpackhi_epi32(a16, a16);
  auto half4 = [&](__m128i s16, __m128i d16, __m128i al) {
    return Div255Nearest8(_mm_add_epi16(_mm_mullo_epi16(s16, al), _mm_mullo_epi16(d16, _mm_sub_epi16(full, al))));
  };
  __m128i lo = half4(_mm_unpacklo_epi8(src, zero), _mm_unpacklo_epi8(dst, zero), aLo);
  __m128i hi = half4(_mm_unpackhi_epi8(src, zero), _mm_unpackhi_epi8(dst, zero), aHi);
  const __m128i keep = _mm_set1_epi32((int)0xFF000000u);
  return _mm_or_si128(_mm_andnot_si128(keep, _mm_packus_epi16(lo, hi)), _mm_and_si128(keep, dst));
}
#endif

// One span. CLAMP: some coordinate of the span leaves the picture and is held
// at its edge. STILL_T: t does not change along the row (no rotation), so the
// texel row is found once.
template <SpriteMode MODE, bool CLAMP, bool STILL_T>
void PaintRow(const SpriteQuad& q, uint32_t* __restrict dst, int count, int64_t s, int64_t t, int64_t ds,
              int64_t dt) {
  const int64_t maxS = q.texWidth - 1, maxT = q.texHeight - 1;
  const uint32_t* __restrict tex = q.texels;
  const uint32_t intensity = (uint32_t)q.intensity, tint = q.tint;
  const size_t w = (size_t)q.texWidth;
  int64_t fixedRow = t >> 32;
  if constexpr (CLAMP) fixedRow = std::clamp<int64_t>(fixedRow, 0, maxT);
  const uint32_t* __restrict still = tex + (size_t)fixedRow * w;
  auto fetch = [&](int64_t fs, int64_t ft) {
    int64_t si = fs >> 32;
    if constexpr (CLAMP) si = std::clamp<int64_t>(si, 0, maxS);
    if constexpr (STILL_T) {
      return still[si];
    } else {
      int64_t ti = ft >> 32;
      if constexpr (CLAMP) ti = std::clamp<int64_t>(ti, 0, maxT);
      return tex[(size_t)ti * w + (size_t)si];
    }
  };
  int i = 0;
  if constexpr (MODE == SpriteMode::Opaque) {
    // Texel for pixel along the row: a plain copy.
    if (!CLAMP && STILL_T && ds == ((int64_t)1 << 32)) {
      std::memcpy(dst, still + (s >> 32), (size_t)count * 4);
      return;
    }
  }
#if defined(__SSE2__)
  if constexpr (MODE != SpriteMode::Opaque) {
    const __m128i factor = _mm_set1_epi32((int)intensity), tintColour = _mm_set1_epi32((int)tint);
    for (; i + 4 <= count; i += 4) {
      uint32_t t0 = fetch(s, t), t1 = fetch(s + ds, t + dt), t2 = fetch(s + 2 * ds, t + 2 * dt),
               t3 = fetch(s + 3 * ds, t + 3 * dt);
      s += 4 * ds;
      t += 4 * dt;
      if ((t0 | t1 | t2 | t3) < 0x01000000u) continue;  // all four transparent
      __m128i texels = _mm_set_epi32((int)t3, (int)t2, (int)t1, (int)t0);
      __m128i src = MODE == SpriteMode::Tinted ? tintColour : texels;
      __m128i* p = reinterpret_cast<__m128i*>(dst + i);
      _mm_storeu_si128(p, Blend4(src, texels, _mm_loadu_si128(p), factor));
    }
  }
#endif
  for (; i < count; ++i, s += ds, t += dt) Put<MODE>(dst[i], fetch(s, t), intensity, tint);
}

template <SpriteMode MODE>
void PaintSpan(const SpriteQuad& q, uint32_t* dst, int count, int64_t s, int64_t t, int64_t ds, int64_t dt) {
  // Both ends of a span inside the picture keep every texel of it inside.
  const int64_t sEnd = s + ds * (count - 1), tEnd = t + dt * (count - 1);
  const int64_t sLimit = (int64_t)q.texWidth << 32, tLimit = (int64_t)q.texHeight << 32;
  const bool inside = std::min(s, sEnd) >= 0 && std::max(s, sEnd) < sLimit && std::min(t, tEnd) >= 0 &&
                      std::max(t, tEnd) < tLimit;
  if (dt == 0) {
    if (inside) PaintRow<MODE, false, true>(q, dst, count, s, t, ds, dt);
    else PaintRow<MODE, true, true>(q, dst, count, s, t, ds, dt);
  } else {
    if (inside) PaintRow<MODE, false, false>(q, dst, count, s, t, ds, dt);
    else PaintRow<MODE, true, false>(q, dst, count, s, t, ds, dt);
  }
}

// Held within 2^16 either way (four times the widest picture), so a span's
// end, up to 16384 steps, still fits 64 bits; only absurdly small draws of
// huge pictures get there. NaN, which no finite quad gives, counts as 0.
int64_t ToFixed(double v) {
  constexpr double LIMIT = 65536.0;
  if (!(v == v)) return 0;
  return (int64_t)std::floor(std::clamp(v, -LIMIT, LIMIT) * FIXED_ONE);
}

void PaintRows(const SpriteQuad& q, const Steps& m, int rowLo, int rowHi) {
  const int64_t ds = ToFixed(m.sx), dt = ToFixed(m.tx);
  for (int y = rowLo; y <= rowHi; ++y) {
    double yc = y + 0.5;
    int first, last;
    if (!RowSpan(q, yc, showFrame.width, first, last)) continue;
    double xc = first + 0.5;
    int64_t s = ToFixed(m.s0 + m.sx * xc + m.sy * yc);
    int64_t t = ToFixed(m.t0 + m.tx * xc + m.ty * yc);
    uint32_t* dst = FrameRow(y) + first;
    int count = last - first + 1;
    switch (q.mode) {
      case SpriteMode::Opaque: PaintSpan<SpriteMode::Opaque>(q, dst, count, s, t, ds, dt); break;
      case SpriteMode::Blended: PaintSpan<SpriteMode::Blended>(q, dst, count, s, t, ds, dt); break;
      case SpriteMode::Tinted: PaintSpan<SpriteMode::Tinted>(q, dst, count, s, t, ds, dt); break;
    }
  }
}

}  // namespace

void PaintSpriteQuad(const SpriteQuad& q, int firstRow, int lastRow) {
  if (!q.texels || q.texWidth <= 0 || q.texHeight <= 0 || !FrameIsOpen()) return;
  for (int i = 0; i < 4; ++i)
    if (!std::isfinite(q.x[i]) || !std::isfinite(q.y[i])) return;
  if (q.mode != SpriteMode::Opaque && q.intensity <= 0) return;
  Steps m;
  if (!MapOf(q, m)) return;
  double top = std::min({q.y[0], q.y[1], q.y[2], q.y[3]});
  double bottom = std::max({q.y[0], q.y[1], q.y[2], q.y[3]});
  // Rows whose centre y + 0.5 satisfies top <= y + 0.5 < bottom.
  double rowLo = std::max(std::ceil(top - 0.5), (double)std::max(firstRow, 0));
  double rowHi = std::min(std::ceil(bottom - 0.5) - 1, (double)std::min(lastRow, showFrame.height - 1));
  if (!(rowLo <= rowHi)) return;
  PaintRows(q, m, (int)rowLo, (int)rowHi);
}
