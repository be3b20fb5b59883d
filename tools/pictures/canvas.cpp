// Canvases, masks and the painting operations the picture makers share:
// compositing, shape coverage, blur, dilation, glows and shaded lettering.
#include "tools/pictures/canvas.h"

#include <algorithm>

Px Ramp::operator()(float t) const {
  if (stops.empty()) return {};
  if (t <= stops.front().first) return stops.front().second;
  for (size_t i = 1; i < stops.size(); i++) {
    if (t <= stops[i].first) {
      float span = stops[i].first - stops[i - 1].first;
      float k = span > 0 ? (t - stops[i - 1].first) / span : 1.0f;
      return Mix(stops[i - 1].second, stops[i].second, k);
    }
  }
  return stops.back().second;
}

Canvas::Canvas(int width, int height, Px fill) : w(width), h(height), px(size_t(width) * height, fill) {}

void Over(Px& dst, Px c, float coverage) {
  float sa = Clamp01(c.a * coverage);
  if (sa <= 0) return;
  float outA = sa + dst.a * (1 - sa);
  float keep = dst.a * (1 - sa);
  dst.r = (c.r * sa + dst.r * keep) / outA;
  dst.g = (c.g * sa + dst.g * keep) / outA;
  dst.b = (c.b * sa + dst.b * keep) / outA;
  dst.a = outA;
}

void AddLight(Px& dst, Px c, float amount) {
  if (amount <= 0) return;
  // Light adds in premultiplied terms, so a glow over transparent ground keeps its colour.
  float outA = Clamp01(dst.a + amount * c.a);
  if (outA <= 0) return;
  dst.r = Clamp01((dst.r * dst.a + c.r * amount) / outA);
  dst.g = Clamp01((dst.g * dst.a + c.g * amount) / outA);
  dst.b = Clamp01((dst.b * dst.a + c.b * amount) / outA);
  dst.a = outA;
}

Mask ShapeMask(int w, int h, const Sdf& sdf) {
  Mask m(w, h);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) m.ref(x, y) = Clamp01(0.5f - sdf(x + 0.5f, y + 0.5f));
  return m;
}

static void BoxPass(const std::vector<float>& src, std::vector<float>& dst, int w, int h, int r, bool horizontal) {
  int len = horizontal ? w : h, lines = horizontal ? h : w;
  float norm = 1.0f / (2 * r + 1);
  for (int l = 0; l < lines; l++) {
    auto idx = [&](int i) { return horizontal ? size_t(l) * w + i : size_t(i) * w + l; };
    auto get = [&](int i) { return (i < 0 || i >= len) ? 0.0f : src[idx(i)]; };
    float sum = 0;
    for (int i = -r; i <= r; i++) sum += get(i);
    for (int i = 0; i < len; i++) {
      dst[idx(i)] = sum * norm;
      sum += get(i + r + 1) - get(i - r);
    }
  }
}

Mask Blur(const Mask& m, int radius) {
  Mask out = m;
  if (radius <= 0) return out;
  std::vector<float> tmp(out.v.size());
  int r = std::max(1, radius / 2);
  for (int pass = 0; pass < 3; pass++) {
    BoxPass(out.v, tmp, m.w, m.h, r, true);
    BoxPass(tmp, out.v, m.w, m.h, r, false);
  }
  return out;
}

Mask Dilate(const Mask& m, int radius) {
  std::vector<std::pair<int, int>> disc;
  for (int dy = -radius; dy <= radius; dy++)
    for (int dx = -radius; dx <= radius; dx++)
      if (dx * dx + dy * dy <= radius * radius + radius) disc.push_back({dx, dy});
  Mask out(m.w, m.h);
  for (int y = 0; y < m.h; y++)
    for (int x = 0; x < m.w; x++) {
      float best = 0;
      for (auto [dx, dy] : disc) best = std::max(best, m.at(x + dx, y + dy));
      out.ref(x, y) = best;
    }
  return out;
}

Mask Shifted(const Mask& m, int dx, int dy) {
  Mask out(m.w, m.h);
  for (int y = 0; y < m.h; y++)
    for (int x = 0; x < m.w; x++) out.ref(x, y) = m.at(x - dx, y - dy);
  return out;
}

Mask Minus(const Mask& a, const Mask& b) {
  Mask out = a;
  for (size_t i = 0; i < out.v.size(); i++) out.v[i] *= 1 - b.v[i];
  return out;
}

Mask Times(const Mask& a, const Mask& b) {
  Mask out = a;
  for (size_t i = 0; i < out.v.size(); i++) out.v[i] *= b.v[i];
  return out;
}

void FillMask(Canvas& c, const Mask& m, const Paint& paint, int ox, int oy) {
  for (int y = 0; y < m.h; y++) {
    int cy = y + oy;
    if (cy < 0 || cy >= c.h) continue;
    for (int x = 0; x < m.w; x++) {
      int cx = x + ox;
      float cov = m.v[size_t(y) * m.w + x];
      if (cx < 0 || cx >= c.w || cov <= 0) continue;
      Over(c.at(cx, cy), paint(cx + 0.5f, cy + 0.5f), cov);
    }
  }
}

void FillShapeIn(Canvas& c, Rect r, const Sdf& sdf, const Paint& paint) {
  for (int y = std::max(0, r.y0); y < std::min(c.h, r.y1); y++)
    for (int x = std::max(0, r.x0); x < std::min(c.w, r.x1); x++) {
      float fx = x + 0.5f, fy = y + 0.5f;
      float cov = Clamp01(0.5f - sdf(fx, fy));
      if (cov > 0) Over(c.at(x, y), paint(fx, fy), cov);
    }
}

void FillShape(Canvas& c, const Sdf& sdf, const Paint& paint) { FillShapeIn(c, {0, 0, c.w, c.h}, sdf, paint); }

void Background(Canvas& c, const Paint& paint) {
  for (int y = 0; y < c.h; y++)
    for (int x = 0; x < c.w; x++) c.at(x, y) = paint(x + 0.5f, y + 0.5f);
}

void Glow(Canvas& c, float cx, float cy, float radius, Px colour, float strength) {
  int reach = int(radius * 3) + 1;
  for (int y = std::max(0, int(cy) - reach); y < std::min(c.h, int(cy) + reach); y++)
    for (int x = std::max(0, int(cx) - reach); x < std::min(c.w, int(cx) + reach); x++) {
      float dx = (x + 0.5f - cx) / radius, dy = (y + 0.5f - cy) / radius;
      AddLight(c.at(x, y), colour, strength * std::exp(-(dx * dx + dy * dy)));
    }
}

void Twinkle(Canvas& c, float cx, float cy, float size, Px colour) {
  Glow(c, cx, cy, size * 0.25f, colour, 1.0f);
  int reach = int(size) + 1;
  for (int y = std::max(0, int(cy) - reach); y < std::min(c.h, int(cy) + reach); y++)
    for (int x = std::max(0, int(cx) - reach); x < std::min(c.w, int(cx) + reach); x++) {
      float dx = std::fabs(x + 0.5f - cx), dy = std::fabs(y + 0.5f - cy);
      float ray = std::max(std::exp(-dy * dy / 1.2f) * (1 - dx / size), std::exp(-dx * dx / 1.2f) * (1 - dy / size));
      AddLight(c.at(x, y), colour, std::max(0.0f, ray) * 0.9f);
    }
}

Mask Bevel(const Mask& m, int radius) {
  Mask hgt = Blur(m, radius);
  Mask out(m.w, m.h);
  for (int y = 0; y < m.h; y++)
    for (int x = 0; x < m.w; x++) {
      float gx = hgt.at(x + 1, y) - hgt.at(x - 1, y);
      float gy = hgt.at(x, y + 1) - hgt.at(x, y - 1);
      out.ref(x, y) = std::clamp((gx + gy) * radius * 0.9f, -1.0f, 1.0f);
    }
  return out;
}

void PaintLettering(Canvas& c, const Mask& m, const Lettering& st) {
  Mask body = st.outlineWidth > 0 ? Dilate(m, st.outlineWidth) : m;
  if (st.shadow.a > 0) {
    Mask shadow = Shifted(Blur(body, st.shadowBlur), st.shadowDx, st.shadowDy);
    FillMask(c, shadow, [&](float, float) { return st.shadow; });
  }
  if (st.outlineWidth > 0) FillMask(c, body, [&](float, float) { return st.outline; });
  Mask bevel = Bevel(m, st.bevel);
  float span = st.bottom - st.top;
  FillMask(c, m, [&](float x, float y) {
    Px p = st.face(Clamp01((y - st.top) / span));
    // Light comes from the top-left: edges facing it brighten, the others darken.
    float s = -bevel.at(int(x), int(y)) * st.bevelStrength;
    return s > 0 ? Mix(p, Hex(0xffffff, p.a), s) : Mix(p, Hex(0x000000, p.a), -s);
  });
}

namespace sd {
float Circle(float x, float y, float cx, float cy, float r) { return std::hypot(x - cx, y - cy) - r; }

float Ellipse(float x, float y, float cx, float cy, float rx, float ry) {
  float k = std::hypot((x - cx) / rx, (y - cy) / ry);
  return (k - 1) * std::min(rx, ry);
}

float Box(float x, float y, float cx, float cy, float hw, float hh, float round) {
  float qx = std::fabs(x - cx) - hw + round, qy = std::fabs(y - cy) - hh + round;
  float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - round;
}

float Capsule(float x, float y, float ax, float ay, float bx, float by, float r) {
  float px = x - ax, py = y - ay, ex = bx - ax, ey = by - ay;
  float len2 = ex * ex + ey * ey;
  float t = len2 > 0 ? Clamp01((px * ex + py * ey) / len2) : 0;
  return std::hypot(px - ex * t, py - ey * t) - r;
}

float Polygon(float x, float y, const std::vector<Pt>& v) {
  float d = (x - v[0].x) * (x - v[0].x) + (y - v[0].y) * (y - v[0].y);
  float s = 1;
  for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, i++) {
    float ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
    float wx = x - v[i].x, wy = y - v[i].y;
    float t = Clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey));
    float bx = wx - ex * t, by = wy - ey * t;
    d = std::min(d, bx * bx + by * by);
    bool c1 = y >= v[i].y, c2 = y < v[j].y, c3 = ex * wy > ey * wx;
    if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
  }
  return s * std::sqrt(d);
}

std::vector<Pt> Star(float cx, float cy, float outer, float inner, int points, float turn) {
  std::vector<Pt> pts;
  for (int i = 0; i < points * 2; i++) {
    float a = turn + float(M_PI) * i / points - float(M_PI) / 2;
    float r = (i % 2) ? inner : outer;
    pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  return pts;
}
}  // namespace sd
