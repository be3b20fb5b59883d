// Software drawing primitives over a pixel buffer (the "drawing output"): boxes,
// lines, circles and system-font text, on the show frame, on in-memory pictures
// and on plain 24-bit buffers such as the launcher's canvases.
#pragma once
#include <cstdint>
#include <string>
#include "render/colour.h"

constexpr int DRAW_MODE_DEFAULT = 0;
constexpr int DRAW_MODE_TRANSPARENT_TEXT = 1;
constexpr int DRAW_MODE_ALPHA_BLEND = 16;

// Makes a buffer the calling thread's current output. bytesPerPixel is 3 (BGR)
// or 4 (BGRA); bottomUp stores drawing row y at buffer row height - 1 - y.
// release (may be null) runs when the output is ended. 0 on failure.
using OutputRelease = void (*)(void* context);
int BeginBufferDrawing(uint8_t* pixels, int width, int height, int bytesPerPixel, int rowStride,
                       bool bottomUp, OutputRelease release = nullptr, void* context = nullptr);
// Ends the current output, whatever began it, and runs its release action.
void EndScreenDrawing();
// True while the calling thread has a current output.
bool HasCurrentOutput();

void SetDrawingMode(int mode);
void DrawBox(int x, int y, int width, int height, Colour colour);
void DrawLine(int x, int y, int width, int height, Colour colour);
void DrawCircle(int x, int y, int radius, Colour colour);
double DrawTextAt(double x, double y, const std::u16string& text, Colour colour);
int TextWidth(const std::u16string& text);
Colour ReadPixel(int x, int y);
int OutputWidth();
int OutputHeight();
// Draws in-memory picture `image` (render/image.h) scaled to width x height.
void DrawImageAt(int image, int x, int y, int width, int height);
