// The sprite quad painter. A pixel belongs to the quad when its centre lies
// inside it (left and top edges in, right and bottom out); it takes the texel
// at the floor of the texture coordinate found at that centre, clamped to the
// picture, so the picture is sampled by its nearest texel. Rows are walked as
// spans with the coordinates stepped in 32.32 fixed point.
#include "render/sprite_paint.h"

#include <algorithm>
#include <cmath>

#include "render/screen_state.h"

namespace {
constexpr double FIXED_ONE = 4294967296.0;  // 2^32

// x / 255 rounded, for two 8-bit products packed in the 16-bit halves of a word.
inline uint32_t Div255Pair(uint32_t x) {
  x += 0x00800080u;
  return ((x + ((x >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// src over dst with alpha a (0..255); the fourth byte of dst is kept.
inline uint32_t Blend(uint32_t src, uint32_t dst, uint32_t a) {
  uint32_t ia = 255 - a;
  uint32_t rb = Div255Pair((src & 0x00FF00FFu) * a + (dst & 0x00FF00FFu) * ia);
  uint32_t g = Div255Pair(((src >> 8) & 0xFFu) * a + ((dst >> 8) & 0xFFu) * ia);
  return (dst & 0xFF000000u) | rb | (g << 8);
}

inline uint32_t Div255(uint32_t x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
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

template <SpriteMode MODE>
void PaintRow(const SpriteQuad& q, uint32_t* dst, int count, int64_t s, int64_t t, int64_t ds, int64_t dt) {
  const int maxS = q.texWidth - 1, maxT = q.texHeight - 1;
  const uint32_t* tex = q.texels;
  const uint32_t intensity = (uint32_t)q.intensity;
  for (int i = 0; i < count; ++i, s += ds, t += dt) {
    int si = (int)std::clamp<int64_t>(s >> 32, 0, maxS);
    int ti = (int)std::clamp<int64_t>(t >> 32, 0, maxT);
    uint32_t texel = tex[(size_t)ti * (size_t)q.texWidth + (size_t)si];
    if constexpr (MODE == SpriteMode::Opaque) {
      dst[i] = texel | 0xFF000000u;
    } else {
      uint32_t a = Div255((texel >> 24) * intensity);
      if (a == 0) continue;
      uint32_t src = MODE == SpriteMode::Tinted ? q.tint : texel;
      dst[i] = Blend(src, dst[i], a);
    }
  }
}

int64_t ToFixed(double v) { return (int64_t)std::floor(v * FIXED_ONE); }
}  // namespace

void PaintSpriteQuad(const SpriteQuad& q, int firstRow, int lastRow) {
  if (!q.texels || q.texWidth <= 0 || q.texHeight <= 0 || !FrameIsOpen()) return;
  if (q.mode != SpriteMode::Opaque && q.intensity <= 0) return;
  Steps m;
  if (!MapOf(q, m)) return;
  double top = std::min({q.y[0], q.y[1], q.y[2], q.y[3]});
  double bottom = std::max({q.y[0], q.y[1], q.y[2], q.y[3]});
  // Rows whose centre y + 0.5 satisfies top <= y + 0.5 < bottom.
  double rowLo = std::max(std::ceil(top - 0.5), (double)std::max(firstRow, 0));
  double rowHi = std::min(std::ceil(bottom - 0.5) - 1, (double)std::min(lastRow, showFrame.height - 1));
  if (!(rowLo <= rowHi)) return;
  const int64_t ds = ToFixed(m.sx), dt = ToFixed(m.tx);
  for (int y = (int)rowLo; y <= (int)rowHi; ++y) {
    double yc = y + 0.5;
    int first, last;
    if (!RowSpan(q, yc, showFrame.width, first, last)) continue;
    double xc = first + 0.5;
    int64_t s = ToFixed(m.s0 + m.sx * xc + m.sy * yc);
    int64_t t = ToFixed(m.t0 + m.tx * xc + m.ty * yc);
    uint32_t* dst = FrameRow(y) + first;
    int count = last - first + 1;
    switch (q.mode) {
      case SpriteMode::Opaque: PaintRow<SpriteMode::Opaque>(q, dst, count, s, t, ds, dt); break;
      case SpriteMode::Blended: PaintRow<SpriteMode::Blended>(q, dst, count, s, t, ds, dt); break;
      case SpriteMode::Tinted: PaintRow<SpriteMode::Tinted>(q, dst, count, s, t, ds, dt); break;
    }
  }
}
