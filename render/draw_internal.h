// The drawing output's inside, shared by the primitives (draw.cpp) and the
// system-font text (system_text.cpp); nothing outside render/ includes this.
#pragma once
#include <cstddef>
#include <cstdint>
#include "render/draw.h"

struct DrawingOutput;
// Writes `count` pixels of the current front colour starting at `pixel`.
using SpanWriter = void (*)(uint8_t* pixel, int count, const DrawingOutput& out);

// How a primitive is about to use a band of output rows: only look at them,
// change some of their pixels, or set every pixel of every row opaquely.
enum class RowUse { Read, Change, Replace };
// Told before the rows first..last (output rows, inclusive, inside the output)
// are used, so an output that fills its buffer lazily can fetch them first.
using RowHook = void (*)(void* context, int first, int last, RowUse use);

struct DrawingOutput {
  uint8_t* pixels = nullptr;
  int width = 0, height = 0;
  int bytesPerPixel = 3;
  int rowStride = 0;
  bool bottomUp = true;
  int originX = 0, originY = 0;
  int clipWidth = 0, clipHeight = 0;
  Colour front = 0xFFFFFFFFu, back = 0xFFFFFFFFu;
  Colour pendingBack = Rgba(0, 0, 0, 255);
  int mode = DRAW_MODE_DEFAULT;
  bool blend = false;
  // Channels of the front / back colour, premultiplied by alpha in blend mode.
  uint16_t frontRed = 0, frontGreen = 0, frontBlue = 0;
  uint8_t frontAlpha = 0, frontInverseAlpha = 0;
  uint16_t backRed = 0, backGreen = 0, backBlue = 0;
  uint8_t backAlpha = 0, backInverseAlpha = 0;
  // The front colour as four pixels in a row, for fast opaque spans.
  uint8_t pattern[16] = {};
  SpanWriter span = nullptr;
  OutputRelease release = nullptr;
  void* context = nullptr;
  RowHook rowHook = nullptr;  // null: the buffer always holds the whole picture
};

// The calling thread's current output, or null.
DrawingOutput* CurrentOutput();
// Stores and converts the front / back colour when it differs from the stored one.
void UseFrontColour(DrawingOutput& out, Colour colour);
void UseBackColour(DrawingOutput& out, Colour colour);
// Start of drawing row y (already offset by the origin) in the buffer.
inline uint8_t* OutputRow(const DrawingOutput& out, int y) {
  int row = out.bottomUp ? out.height - 1 - y : y;
  return out.pixels + (ptrdiff_t)row * out.rowStride;
}
// Announces rows first..last (drawing rows, already offset by the origin) to
// the output's row hook, clipped to the output; nothing when the band is empty.
inline void TouchRows(const DrawingOutput& out, int64_t first, int64_t last, RowUse use) {
  if (!out.rowHook) return;
  if (first < 0) first = 0;
  if (last > out.height - 1) last = out.height - 1;
  if (first <= last) out.rowHook(out.context, (int)first, (int)last, use);
}
// Gives the current output a row hook (the show frame's lazy read-back).
void SetOutputRowHook(RowHook hook);
// True when the current span writer sets pixels opaquely, ignoring what was there.
bool SpanReplaces(const DrawingOutput& out);
// How many times a colour has been converted on this thread (for tests).
long ColourConversions();
