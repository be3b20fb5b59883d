// The software rasteriser: the calling thread's current drawing output, its
// colour and mode state, and the boxes, lines, discs, picture blits and pixel
// reads that paint on it. Text lives in system_text.cpp.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/divide255.h"
#include "render/draw_internal.h"
#include "render/frame_bands.h"
#include "render/picture_store.h"

namespace {
// The calling thread's drawing state, in one thread-local object: mingw-w64
// reaches each thread_local through a library call, once per draw this way.
struct ThreadDrawing {
  DrawingOutput output;
  bool hasOutput = false;
  long conversions = 0;
};
thread_local ThreadDrawing current;

constexpr int EXCLUSIVE_MODE_BITS = 0x1C2;
constexpr int BLEND_MODE_BITS = 0x30;

// ---- span writers, chosen once per mode ----

void SetSpan3(uint8_t* p, int n, const DrawingOutput& o) {
  for (; n >= 4; n -= 4, p += 12) std::memcpy(p, o.pattern, 12);
  for (; n > 0; --n, p += 3) std::memcpy(p, o.pattern, 3);
}

void SetSpan4(uint8_t* p, int n, const DrawingOutput& o) {
  for (; n >= 4; n -= 4, p += 16) std::memcpy(p, o.pattern, 16);
  for (; n > 0; --n, p += 4) std::memcpy(p, o.pattern, 4);
}

// Long spans go sixteen pixels at a time as a row of bytes, each byte with its
// own factor and premultiplied addend (the alpha byte of 4-byte outputs keeps
// its value); short spans and the rest pixel by pixel.
template <int BYTES>
void BlendSpan(uint8_t* __restrict p, int n, const DrawingOutput& o) {
  const uint16_t channelFactor[4] = {o.frontInverseAlpha, o.frontInverseAlpha, o.frontInverseAlpha, 255};
  const uint16_t channelAddend[4] = {o.frontBlue, o.frontGreen, o.frontRed, 0};
  constexpr int PIXELS = 16, CHUNK = PIXELS * BYTES;
  if (n >= PIXELS) {
    uint16_t factor[CHUNK], addend[CHUNK];
    for (int k = 0; k < CHUNK; ++k) {
      factor[k] = channelFactor[k % BYTES];
      addend[k] = channelAddend[k % BYTES];
    }
    for (; n >= PIXELS; n -= PIXELS, p += CHUNK)
      for (int k = 0; k < CHUNK; ++k) p[k] = (uint8_t)Div255Down((uint16_t)(p[k] * factor[k] + addend[k]));
  }
  for (; n > 0; --n, p += BYTES)
    for (int k = 0; k < 3; ++k) p[k] = (uint8_t)Div255Down((uint16_t)(p[k] * channelFactor[k] + channelAddend[k]));
}

// Blending with alpha 0 leaves every pixel as it is.
void NoSpan(uint8_t*, int, const DrawingOutput&) {}

void ChooseWriter(DrawingOutput& o);

void ConvertFront(DrawingOutput& o) {
  ++current.conversions;
  Colour c = o.front;
  unsigned a = c >> 24;
  unsigned m = o.blend ? a : 1;
  o.frontAlpha = (uint8_t)a;
  o.frontInverseAlpha = (uint8_t)(255 - a);
  o.frontRed = (uint16_t)(RedOf(c) * m);
  o.frontGreen = (uint16_t)(GreenOf(c) * m);
  o.frontBlue = (uint16_t)(BlueOf(c) * m);
  uint8_t px[4] = {(uint8_t)BlueOf(c), (uint8_t)GreenOf(c), (uint8_t)RedOf(c), (uint8_t)a};
  for (int i = 0; i < 4; ++i) std::memcpy(o.pattern + i * o.bytesPerPixel, px, (size_t)o.bytesPerPixel);
  ChooseWriter(o);
}

void ConvertBack(DrawingOutput& o) {
  ++current.conversions;
  Colour c = o.back;
  unsigned a = c >> 24;
  unsigned m = o.blend ? a : 1;
  o.backAlpha = (uint8_t)a;
  o.backInverseAlpha = (uint8_t)(255 - a);
  o.backRed = (uint16_t)(RedOf(c) * m);
  o.backGreen = (uint16_t)(GreenOf(c) * m);
  o.backBlue = (uint16_t)(BlueOf(c) * m);
}

// Picks the span writer for the mode, with the two blend alphas whose result
// is known: 0 keeps the old pixel and, on 3-byte outputs, 255 is a plain set.
void ChooseWriter(DrawingOutput& o) {
  if (!o.blend)
    o.span = o.bytesPerPixel == 4 ? SetSpan4 : SetSpan3;
  else if (o.frontAlpha == 0)
    o.span = NoSpan;
  else if (o.frontAlpha == 255 && o.bytesPerPixel == 3)
    o.span = SetSpan3;
  else
    o.span = o.bytesPerPixel == 4 ? BlendSpan<4> : BlendSpan<3>;
}

// Fills row y, columns x0..x1 inclusive, clipped. Coordinates are 64-bit so
// that far-away shapes cannot overflow.
void Span(DrawingOutput& o, int64_t y, int64_t x0, int64_t x1) {
  y += o.originY;
  x0 += o.originX;
  x1 += o.originX;
  if (y < 0 || y >= o.clipHeight) return;
  x0 = std::max<int64_t>(x0, 0);
  x1 = std::min<int64_t>(x1, o.clipWidth - 1);
  if (x0 > x1) return;
  o.span(OutputRow(o, (int)y) + x0 * o.bytesPerPixel, (int)(x1 - x0 + 1), o);
}

// Column x, rows y0..y1 inclusive, clipped.
void Column(DrawingOutput& o, int64_t x, int64_t y0, int64_t y1) {
  x += o.originX;
  y0 += o.originY;
  y1 += o.originY;
  if (x < 0 || x >= o.clipWidth) return;
  y0 = std::max<int64_t>(y0, 0);
  y1 = std::min<int64_t>(y1, o.clipHeight - 1);
  for (int64_t y = y0; y <= y1; ++y) o.span(OutputRow(o, (int)y) + x * o.bytesPerPixel, 1, o);
}

// Disc of radius r by the midpoint rule, each pixel once. Rows are added above
// and below the centre while the edge is steep; the caps are then filled as
// columns from the outside in.
void MidpointDisc(DrawingOutput& o, int64_t cx, int64_t cy, int64_t r) {
  const int64_t r4 = 4 * r * r;
  int64_t x = r, y = 0;
  Span(o, cy, cx - r, cx + r);
  while (y < x) {
    // Midpoint between columns x - 1 and x on the next row, times four.
    int64_t d = (2 * x - 1) * (2 * x - 1) + 4 * (y + 1) * (y + 1) - r4;
    ++y;
    if (d > 0) --x;
    Span(o, cy - y, cx - x, cx + x);
    Span(o, cy + y, cx - x, cx + x);
  }
  const int64_t lastRow = y;
  while (x > 0) {
    // Midpoint between rows y and y + 1 on the next column inwards, times four.
    int64_t d = 4 * (x - 1) * (x - 1) + (2 * y + 1) * (2 * y + 1) - r4;
    --x;
    if (d < 0) ++y;
    if (y <= lastRow) continue;
    Column(o, cx - x, cy - y, cy - lastRow - 1);
    Column(o, cx - x, cy + lastRow + 1, cy + y);
    if (x != 0) {
      Column(o, cx + x, cy - y, cy - lastRow - 1);
      Column(o, cx + x, cy + lastRow + 1, cy + y);
    }
  }
}

// Largest s with s * s <= v.
uint64_t IntSqrt(unsigned __int128 v) {
  uint64_t s = (uint64_t)std::sqrt((long double)v);
  while ((unsigned __int128)s * s > v) --s;
  while ((unsigned __int128)(s + 1) * (s + 1) <= v) ++s;
  return s;
}

// Very large discs: one span per visible row, half-width from the same
// pixel-centre rule as the rows of the midpoint disc, so no work is spent on
// rows outside the output.
void LargeDisc(DrawingOutput& o, int64_t cx, int64_t cy, int64_t r) {
  int64_t top = std::max<int64_t>(cy - r, -(int64_t)o.originY);
  int64_t bottom = std::min<int64_t>(cy + r, (int64_t)o.clipHeight - 1 - o.originY);
  for (int64_t row = top; row <= bottom; ++row) {
    __int128 dy = row - cy;
    unsigned __int128 room = (unsigned __int128)(4 * ((__int128)r * r - dy * dy));
    int64_t half = (int64_t)((IntSqrt(room) + 1) / 2);
    Span(o, row, cx - half, cx + half);
  }
}

int64_t FloorDiv(__int128 a, __int128 b) {  // b > 0
  __int128 q = a / b;
  if ((a % b) != 0 && a < 0) --q;
  return (int64_t)q;
}

// General line from (x0, y0) to (x1, y1), both ends included, stepped along
// its major axis. Only the steps that land inside the clip rectangle are
// walked, and they are exactly the pixels the unclipped line would draw.
void SteppedLine(DrawingOutput& o, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  x0 += o.originX;
  x1 += o.originX;
  y0 += o.originY;
  y1 += o.originY;
  bool steep = std::llabs(y1 - y0) > std::llabs(x1 - x0);
  // Work in (major, minor) coordinates.
  int64_t a0 = steep ? y0 : x0, a1 = steep ? y1 : x1;
  int64_t b0 = steep ? x0 : y0, b1 = steep ? x1 : y1;
  int64_t majorLimit = steep ? o.clipHeight : o.clipWidth;
  int64_t minorLimit = steep ? o.clipWidth : o.clipHeight;
  int64_t sa = a1 >= a0 ? 1 : -1, sb = b1 >= b0 ? 1 : -1;
  int64_t n = std::llabs(a1 - a0), m = std::llabs(b1 - b0);
  // Step i is at major a0 + sa*i, minor b0 + sb*floor((2*i*m + n) / (2*n)).
  int64_t first = 0, last = n;
  auto keepMajor = [&](int64_t lo, int64_t hi) {  // a0 + sa*i within lo..hi
    int64_t iLo = sa > 0 ? lo - a0 : a0 - hi, iHi = sa > 0 ? hi - a0 : a0 - lo;
    first = std::max(first, iLo);
    last = std::min(last, iHi);
  };
  keepMajor(0, majorLimit - 1);
  if (m > 0) {
    // Minor offset k = floor((2im + n) / 2n) must stay within kLo..kHi.
    int64_t kLo = sb > 0 ? -b0 : b0 - (minorLimit - 1);
    int64_t kHi = sb > 0 ? minorLimit - 1 - b0 : b0;
    if (kLo > 0) first = std::max(first, -FloorDiv(-((__int128)2 * n * kLo - n), (__int128)2 * m));
    last = std::min(last, FloorDiv((__int128)2 * n * kHi + n - 1, (__int128)2 * m));
    if (kHi < 0) last = -1;
  } else if (b0 < 0 || b0 >= minorLimit) {
    return;
  }
  if (first > last) return;
  // Error term e = (2im + n) mod 2n, kept incrementally from the first step.
  __int128 start = (__int128)2 * first * m + n;
  int64_t k = (int64_t)(start / (2 * (__int128)n));
  int64_t e = (int64_t)(start % (2 * (__int128)n));
  int64_t a = a0 + sa * first, b = b0 + sb * k;
  const int64_t twoM = 2 * m, twoN = 2 * n;
  for (int64_t i = first; i <= last; ++i) {
    int64_t px = steep ? b : a, py = steep ? a : b;
    o.span(OutputRow(o, (int)py) + px * o.bytesPerPixel, 1, o);
    a += sa;
    e += twoM;
    if (e >= twoN) {
      e -= twoN;
      b += sb;
    }
  }
}

}  // namespace

DrawingOutput* CurrentOutput() { return current.hasOutput ? &current.output : nullptr; }

long ColourConversions() { return current.conversions; }

void UseFrontColour(DrawingOutput& o, Colour colour) {
  if (colour == o.front) return;
  o.front = colour;
  ConvertFront(o);
}

void UseBackColour(DrawingOutput& o, Colour colour) {
  if (colour == o.back) return;
  o.back = colour;
  ConvertBack(o);
}

bool StartOutput(DrawingOutput& o, uint8_t* pixels, int width, int height, int bytesPerPixel, int rowStride,
                 bool bottomUp) {
  if (!pixels || width <= 0 || height <= 0 || (bytesPerPixel != 3 && bytesPerPixel != 4) ||
      rowStride < width * bytesPerPixel)
    return false;
  o = DrawingOutput{};
  o.pixels = pixels;
  o.width = width;
  o.height = height;
  o.bytesPerPixel = bytesPerPixel;
  o.rowStride = rowStride;
  o.bottomUp = bottomUp;
  o.clipWidth = width;
  o.clipHeight = height;
  // Both colours start unset (-1); their stored form is made to match, so a
  // first colour of -1 is drawn correctly too.
  ConvertFront(o);
  ConvertBack(o);
  return true;
}

int BeginBufferDrawing(uint8_t* pixels, int width, int height, int bytesPerPixel, int rowStride, bool bottomUp,
                       OutputRelease release, void* context) {
  // A new output replaces the current one, which is ended properly first.
  if (current.hasOutput) EndScreenDrawing();
  if (!StartOutput(current.output, pixels, width, height, bytesPerPixel, rowStride, bottomUp)) return 0;
  current.output.release = release;
  current.output.context = context;
  current.hasOutput = true;
  return 1;
}

void EndScreenDrawing() {
  if (!current.hasOutput) return;
  OutputRelease release = current.output.release;
  void* context = current.output.context;
  current.hasOutput = false;
  current.output = DrawingOutput{};
  if (release) release(context);
}

bool HasCurrentOutput() { return current.hasOutput; }

void ApplyDrawingMode(DrawingOutput& o, int mode) {
  o.mode = mode;
  o.blend = (mode & BLEND_MODE_BITS) != 0 && (mode & EXCLUSIVE_MODE_BITS) == 0;
  ConvertFront(o);
  ConvertBack(o);
}

void SetDrawingMode(int mode) {
  if (!current.hasOutput) return;
  if (current.output.kept) KeepMode(mode);
  ApplyDrawingMode(current.output, mode);
}

// Each primitive either paints now or, on a frame painted later in strips,
// is kept with its arguments (render/frame_bands.h).
void DrawBox(int x, int y, int width, int height, Colour colour) {
  if (!current.hasOutput) return;
  if (current.output.kept) return KeepBox(x, y, width, height, colour);
  PaintBox(current.output, x, y, width, height, colour);
}

void DrawLine(int x, int y, int width, int height, Colour colour) {
  if (!current.hasOutput) return;
  if (current.output.kept) return KeepLine(x, y, width, height, colour);
  PaintLine(current.output, x, y, width, height, colour);
}

void DrawCircle(int x, int y, int radius, Colour colour) {
  if (!current.hasOutput) return;
  if (current.output.kept) return KeepCircle(x, y, radius, colour);
  PaintCircle(current.output, x, y, radius, colour);
}

void DrawImageAt(int image, int x, int y, int width, int height) {
  if (!current.hasOutput) return;
  if (current.output.kept) return KeepImage(image, x, y, width, height);
  PaintImage(current.output, image, x, y, width, height);
}

void PaintBox(DrawingOutput& o, int x, int y, int width, int height, Colour colour) {
  if (width == 0 || height == 0) return;
  UseFrontColour(o, colour);
  int64_t x0 = x, y0 = y, w = width, h = height;
  if (w < 0) x0 += w, w = -w;
  if (h < 0) y0 += h, h = -h;
  x0 += o.originX;
  y0 += o.originY;
  int64_t x1 = std::min<int64_t>(x0 + w, o.clipWidth), y1 = std::min<int64_t>(y0 + h, o.clipHeight);
  x0 = std::max<int64_t>(x0, 0);
  y0 = std::max<int64_t>(y0, 0);
  if (x0 >= x1 || y0 >= y1) return;
  const int count = (int)(x1 - x0);
  const ptrdiff_t offset = x0 * o.bytesPerPixel;
  for (int64_t row = y0; row < y1; ++row) o.span(OutputRow(o, (int)row) + offset, count, o);
}

void PaintLine(DrawingOutput& o, int x, int y, int width, int height, Colour colour) {
  if (width == 0 || height == 0) return;
  UseFrontColour(o, colour);
  int64_t x1 = (int64_t)x + width + (width > 0 ? -1 : 1);
  int64_t y1 = (int64_t)y + height + (height > 0 ? -1 : 1);
  if (height == 1 || height == -1)
    Span(o, y, std::min<int64_t>(x, x1), std::max<int64_t>(x, x1));
  else if (width == 1 || width == -1)
    Column(o, x, std::min<int64_t>(y, y1), std::max<int64_t>(y, y1));
  else
    SteppedLine(o, x, y, x1, y1);
}

void PaintCircle(DrawingOutput& o, int x, int y, int radius, Colour colour) {
  if (radius < 0) return;
  UseFrontColour(o, colour);
  int64_t cx = x, cy = y, r = radius;
  // Nothing to do when the disc's bounding box misses the clip rectangle.
  if (cx + r + o.originX < 0 || cx - r + o.originX >= o.clipWidth || cy + r + o.originY < 0 ||
      cy - r + o.originY >= o.clipHeight)
    return;
  if (radius <= 700)
    MidpointDisc(o, cx, cy, r);
  else
    LargeDisc(o, cx, cy, r);
}

Colour ReadPixel(int x, int y) {
  if (!current.hasOutput) return 0;
  if (current.output.kept) PaintKeptFrame();  // what was drawn so far must be on the frame
  const DrawingOutput& o = current.output;
  int64_t px = (int64_t)x + o.originX, py = (int64_t)y + o.originY;
  if (px < 0 || py < 0 || px >= o.width || py >= o.height) return 0;
  const uint8_t* p = OutputRow(o, (int)py) + px * o.bytesPerPixel;
  Colour c = Rgb(p[2], p[1], p[0]);
  if (o.bytesPerPixel == 4 && o.readsAlpha) c |= (Colour)p[3] << 24;
  return c;
}

int OutputWidth() { return current.hasOutput ? current.output.width : 0; }
int OutputHeight() { return current.hasOutput ? current.output.height : 0; }

void PaintImage(DrawingOutput& o, int image, int x, int y, int width, int height) {
  if (width <= 0 || height <= 0) return;
  const Picture* pic = FindPicture(image);
  if (!pic || pic->width <= 0 || pic->height <= 0) return;
  int64_t dx0 = std::max<int64_t>(0, -((int64_t)x + o.originX));
  int64_t dx1 = std::min<int64_t>(width, (int64_t)o.clipWidth - x - o.originX);
  int64_t dy0 = std::max<int64_t>(0, -((int64_t)y + o.originY));
  int64_t dy1 = std::min<int64_t>(height, (int64_t)o.clipHeight - y - o.originY);
  if (dx0 >= dx1 || dy0 >= dy1) return;
  const int sb = pic->depth / 8, db = o.bytesPerPixel;
  for (int64_t dy = dy0; dy < dy1; ++dy) {
    // Nearest neighbour: the source pixel under the centre of the target pixel.
    int64_t sy = (2 * dy + 1) * pic->height / (2 * (int64_t)height);
    const uint8_t* src = PictureRow(*pic, (int)sy);
    uint8_t* dst = OutputRow(o, (int)(y + o.originY + dy)) + (x + o.originX + dx0) * db;
    for (int64_t dx = dx0; dx < dx1; ++dx, dst += db) {
      int64_t sx = (2 * dx + 1) * pic->width / (2 * (int64_t)width);
      const uint8_t* s = src + sx * sb;
      dst[0] = s[0];
      dst[1] = s[1];
      dst[2] = s[2];
      if (db == 4) dst[3] = sb == 4 ? s[3] : 255;
    }
  }
}
