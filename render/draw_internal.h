// The drawing output's inside, shared by the primitives (draw.cpp) and the
// system-font text (system_text.cpp); nothing outside render/ includes this.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include "render/draw.h"

struct DrawingOutput;
// Writes `count` pixels of the current front colour starting at `pixel`.
using SpanWriter = void (*)(uint8_t* pixel, int count, const DrawingOutput& out);

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
  bool readsAlpha = true;  // false: ReadPixel leaves the fourth byte out
  bool kept = false;       // true: draws are kept and painted later (render/frame_bands.h)
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
// How many times a colour has been converted on this thread (for tests).
long ColourConversions();

// The primitives on a given output rather than the current one: what the
// public operations do, and what a frame painted in strips runs for each strip.
bool StartOutput(DrawingOutput& o, uint8_t* pixels, int width, int height, int bytesPerPixel, int rowStride,
                 bool bottomUp);
void ApplyDrawingMode(DrawingOutput& o, int mode);
void PaintBox(DrawingOutput& o, int x, int y, int width, int height, Colour colour);
void PaintLine(DrawingOutput& o, int x, int y, int width, int height, Colour colour);
void PaintCircle(DrawingOutput& o, int x, int y, int radius, Colour colour);
void PaintImage(DrawingOutput& o, int image, int x, int y, int width, int height);
// Returns x plus the text's width, as DrawTextAt does.
double PaintText(DrawingOutput& o, double x, double y, const std::u16string& text, Colour colour);
