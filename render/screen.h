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

// The largest frame: an 8K display (7680 x 4320) or any other of as many
// pixels, no side over 16384.
constexpr int64_t MAX_FRAME_PIXELS = 7680LL * 4320;
constexpr int MAX_FRAME_SIDE = 16384;

// Makes a black width x height frame the target of every sprite and drawing
// pair; an open frame of the same size is kept as it is. 0 on failure (a
// size over the limits, or memory that cannot be had), the old frame kept.
int OpenFrame(int width, int height);
void CloseFrame();
// The frame as painted so far (at the end of a frame: the finished picture);
// draws still kept for two-thread painting are painted first.
FrameView FinishedFrame();
// Paints the whole frame black.
void ClearFrameBlack();
// Runs take(context) on the calling thread and, when two painting threads are
// chosen (render/sprite_paint.h), at the same time on the painting helper;
// returns when both are done. take shares the work out itself: each call
// claims pieces until none is left, so one call alone does all of it.
void ShareWork(void (*take)(void*), void* context);
