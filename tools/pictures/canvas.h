// Painting toolkit of the picture generator: float RGBA canvases, coverage masks,
// signed-distance shapes, colour ramps, blur/dilate and a fixed-seed random source.
// Everything here is deterministic so that every run writes the same bytes.
#pragma once
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

inline constexpr float PI = 3.14159265f;

struct Px {
  float r = 0, g = 0, b = 0, a = 0;  // 0..1, straight (not premultiplied) alpha
};

inline Px Hex(uint32_t rgb, float a = 1.0f) {
  return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f, a};
}
inline Px Mix(Px p, Px q, float t) {
  return {p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t, p.a + (q.a - p.a) * t};
}
inline Px Scale(Px p, float k) { return {p.r * k, p.g * k, p.b * k, p.a}; }
inline float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
// Lightens towards white (k > 0) or darkens towards black (k < 0).
inline Px Shade(Px p, float k) {
  return k > 0 ? Mix(p, Hex(0xffffff, p.a), Clamp01(k)) : Mix(p, Hex(0, p.a), Clamp01(-k));
}
inline float Smooth(float e0, float e1, float v) {
  float t = Clamp01((v - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

// Piecewise-linear colour ramp over 0..1.
struct Ramp {
  std::vector<std::pair<float, Px>> stops;
  Px operator()(float t) const;
};

struct Canvas {
  int w = 0, h = 0;
  std::vector<Px> px;
  Canvas(int width, int height, Px fill = {});
  Px& at(int x, int y) { return px[size_t(y) * w + x]; }
  const Px& at(int x, int y) const { return px[size_t(y) * w + x]; }
};

// Source-over of colour c, weighted by coverage, onto one pixel.
void Over(Px& dst, Px c, float coverage);
// Adds light of colour c (premultiplied: a glow over transparent ground keeps its hue).
void AddLight(Px& dst, Px c, float amount);

// One float per pixel; reads outside give 0.
struct Mask {
  int w = 0, h = 0;
  std::vector<float> v;
  Mask(int width, int height) : w(width), h(height), v(size_t(width) * height, 0.0f) {}
  float at(int x, int y) const { return (x < 0 || y < 0 || x >= w || y >= h) ? 0.0f : v[size_t(y) * w + x]; }
  float& ref(int x, int y) { return v[size_t(y) * w + x]; }
};

using Sdf = std::function<float(float x, float y)>;
using Paint = std::function<Px(float x, float y)>;

// Anti-aliased coverage of a signed-distance shape (negative inside).
Mask ShapeMask(int w, int h, const Sdf& sdf);
Mask Blur(const Mask& m, int radius);        // three box passes, about Gaussian
Mask Dilate(const Mask& m, int radius);      // round max filter
Mask Shifted(const Mask& m, int dx, int dy);
Mask Minus(const Mask& a, const Mask& b);    // a * (1 - b)
Mask Times(const Mask& a, const Mask& b);

// Paints through a mask (the mask's (0, 0) lies at the canvas's (ox, oy)).
void FillMask(Canvas& c, const Mask& m, const Paint& paint, int ox = 0, int oy = 0);
void FillShape(Canvas& c, const Sdf& sdf, const Paint& paint);
// Sets every pixel from the paint (no blending): opaque backgrounds.
void Background(Canvas& c, const Paint& paint);
// The same, looking only at the pixels of the rectangle [x0, x1) x [y0, y1).
struct Rect {
  int x0, y0, x1, y1;
};
void FillShapeIn(Canvas& c, Rect r, const Sdf& sdf, const Paint& paint);
inline void FillShape(Canvas& c, const Sdf& sdf, Px colour) {
  FillShape(c, sdf, [colour](float, float) { return colour; });
}
// Soft round glow added as light, fading as exp(-(d/radius)^2).
void Glow(Canvas& c, float cx, float cy, float radius, Px colour, float strength = 1.0f);
// A four-pointed twinkle star: glowing core and two thin rays.
void Twinkle(Canvas& c, float cx, float cy, float size, Px colour);
// Bevel shading of a mask: -1 (facing away) .. +1 (facing the light at top-left).
Mask Bevel(const Mask& m, int radius);
// Paints a mask with a metallic vertical ramp lit by a bevel, outlined and shadowed.
struct Lettering {
  Ramp face;
  Px outline = Hex(0x000000);
  int outlineWidth = 3;
  Px shadow = Hex(0x000000, 0.7f);
  int shadowDx = 6, shadowDy = 6, shadowBlur = 4;
  int bevel = 3;
  float bevelStrength = 0.35f;
  float top = 0, bottom = 1;  // the face ramp runs over these canvas rows
};
void PaintLettering(Canvas& c, const Mask& m, const Lettering& style);

// Fixed-seed random source (xorshift32).
struct Rng {
  uint32_t s;
  explicit Rng(uint32_t seed) : s(seed ? seed : 1u) {}
  uint32_t Next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
  }
  float Unit() { return (Next() >> 8) / 16777216.0f; }
  float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }
};

// Signed distance helpers.
namespace sd {
float Circle(float x, float y, float cx, float cy, float r);
float Ellipse(float x, float y, float cx, float cy, float rx, float ry);
float Box(float x, float y, float cx, float cy, float hw, float hh, float round = 0);
float Capsule(float x, float y, float ax, float ay, float bx, float by, float r);
struct Pt {
  float x, y;
};
float Polygon(float x, float y, const std::vector<Pt>& pts);
std::vector<Pt> Star(float cx, float cy, float outer, float inner, int points, float turn = 0);
inline float Union(float a, float b) { return a < b ? a : b; }
inline float Cut(float a, float b) { return a > -b ? a : -b; }
inline float Both(float a, float b) { return a > b ? a : b; }
}  // namespace sd

// Text rendered with FreeType from DejaVu Sans Bold; false when the face cannot be opened.
bool OpenFace(const char* path);
// The font sheet's monospaced face, opened beside the lettering face.
bool OpenSheetFace(const char* path);
// Closes both faces.
void CloseFace();
struct Glyph {
  int w = 0, h = 0, left = 0, top = 0;  // bitmap size, offsets from the pen and baseline
  float advance = 0;
  std::vector<uint8_t> cov;
};
Glyph RenderGlyph(uint32_t code, int pixelSize);
// A glyph of the sheet's face, stretched to its own pixel width and height and
// its strokes thickened by boldX pixels across and boldY pixels down.
Glyph RenderSheetGlyph(uint32_t code, int pixelWidth, int pixelHeight, float boldX = 0, float boldY = 0);
// Width of a UTF-8 text in pixels at the size, with extra spacing between letters.
float TextWidth(const std::string& utf8, int pixelSize, float tracking = 0);
// Coverage of a UTF-8 text drawn with its pen starting at (x, baseline).
void DrawText(Mask& m, const std::string& utf8, int pixelSize, float x, float baseline, float tracking = 0);
// Text centred horizontally on cx with its capital height centred on cy.
Mask CentredText(int w, int h, const std::string& utf8, int pixelSize, float cx, float cy, float tracking = 0);

// PNG output (8-bit): RGB, RGBA, or palette with one transparent index.
bool WriteRgb(const std::string& path, const Canvas& c);
bool WriteRgba(const std::string& path, const Canvas& c);
bool WritePalette(const std::string& path, const Canvas& c);
