// The show frame: one picture in memory at the logical size, 32 bits a pixel,
// that sprites, primitives and text paint on in call order. The driver hands
// it to the display once a frame; it needs no window, so tools can paint into it.
#pragma once
#include <cstdint>

#include "platform/pixels.h"

// The frame as the display takes it: PixelLayout::XRGB8888, rows top to bottom.
using FrameView = PixelView;

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
