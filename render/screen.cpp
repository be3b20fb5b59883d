// The show frame in memory: opening and closing it, the view of the finished
// picture that the display presents, and the drawing pair, which makes the
// frame itself the output of the primitives (nothing is copied).
#include "render/screen.h"

#include <algorithm>
#include <new>

#include "render/draw_internal.h"
#include "render/frame_bands.h"
#include "render/screen_state.h"
#include "render/sprite.h"

ShowFrame showFrame;

namespace {
void EndDrawingOnFrame() {
  if (HasCurrentOutput() && CurrentOutput()->pixels == (uint8_t*)showFrame.pixels.data()) EndScreenDrawing();
}
}  // namespace

int OpenFrame(int width, int height) {
  if (width <= 0 || height <= 0 || width > MAX_FRAME_SIDE || height > MAX_FRAME_SIDE ||
      (int64_t)width * height > MAX_FRAME_PIXELS)
    return 0;
  if (showFrame.width == width && showFrame.height == height) return 1;
  // A frame the memory cannot hold is refused; the old one is kept as it was.
  std::vector<uint32_t> fresh;
  try {
    fresh.assign((size_t)width * (size_t)height, 0u);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  EndDrawingOnFrame();
  DropKeptFrame();
  showFrame.pixels.swap(fresh);
  showFrame.width = width;
  showFrame.height = height;
  return 1;
}

void CloseFrame() {
  EndDrawingOnFrame();
  DropKeptFrame();
  showFrame.pixels.clear();
  showFrame.pixels.shrink_to_fit();
  showFrame.width = showFrame.height = 0;
}

FrameView FinishedFrame() {
  FrameView v;
  if (!FrameIsOpen()) return v;
  PaintKeptFrame();
  v.pixels = reinterpret_cast<uint8_t*>(showFrame.pixels.data());
  v.width = showFrame.width;
  v.height = showFrame.height;
  v.stride = showFrame.width * 4;
  v.layout = PixelLayout::XRGB8888;
  return v;
}

void ClearFrameBlack() {
  if (KeepingFrame())
    KeepClear();
  else
    std::fill(showFrame.pixels.begin(), showFrame.pixels.end(), 0u);
}

int BeginScreenDrawing() {
  if (!FrameIsOpen()) return 0;
  if (!BeginBufferDrawing(reinterpret_cast<uint8_t*>(showFrame.pixels.data()), showFrame.width, showFrame.height, 4,
                          showFrame.width * 4, false))
    return 0;
  // The fourth byte of a frame pixel means nothing: reads give colours without alpha.
  CurrentOutput()->readsAlpha = false;
  if (KeepingFrame()) {
    KeepBegin();
    CurrentOutput()->kept = true;
  }
  return 1;
}
