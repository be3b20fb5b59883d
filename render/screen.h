// The show frame: one picture in memory at the logical size, 32 bits a pixel,
// that sprites, primitives and text paint on in call order and that the
// display presents once a frame. It needs no window, so tools can paint into it.
#pragma once
#include <cstdint>

// Bytes of a pixel in memory: blue, green, red, then one unused byte (a
// little-endian 0xXXRRGGBB word, "XRGB8888"). Rows run top to bottom.
struct FrameView {
  const uint8_t* pixels = nullptr;  // null when no frame is open
  int width = 0, height = 0;
  int stride = 0;  // bytes from one row to the next
};

// Makes a black width x height frame the target of every sprite and drawing
// pair; an open frame of the same size is kept as it is. 0 on failure.
int OpenFrame(int width, int height);
void CloseFrame();
// The frame as painted so far (at the end of a frame: the finished picture).
FrameView FinishedFrame();
// Paints the whole frame black.
void ClearFrameBlack();
