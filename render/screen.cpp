// The show frame in memory: opening and closing it, the view of the finished
// picture that the display presents, and the drawing pair, which makes the
// frame itself the output of the primitives (nothing is copied).
#include "render/screen.h"

#include <algorithm>

#include "render/draw_internal.h"
#include "render/screen_state.h"
#include "render/sprite.h"

ShowFrame showFrame;

// The largest frame accepted: four times a 1920 x 1080 picture.
constexpr int64_t MAX_FRAME_PIXELS = 4LL * 1920 * 1080;

int OpenFrame(int width, int height) {
  if (width <= 0 || height <= 0 || (int64_t)width * height > MAX_FRAME_PIXELS) return 0;
  if (showFrame.width == width && showFrame.height == height) return 1;
  if (HasCurrentOutput() && CurrentOutput()->pixels == (uint8_t*)showFrame.pixels.data()) EndScreenDrawing();
  showFrame.pixels.assign((size_t)width * (size_t)height, 0u);
  showFrame.width = width;
  showFrame.height = height;
  return 1;
}

void CloseFrame() {
  if (HasCurrentOutput() && CurrentOutput()->pixels == (uint8_t*)showFrame.pixels.data()) EndScreenDrawing();
  showFrame.pixels.clear();
  showFrame.pixels.shrink_to_fit();
  showFrame.width = showFrame.height = 0;
}

FrameView FinishedFrame() {
  FrameView v;
  if (!FrameIsOpen()) return v;
  v.pixels = reinterpret_cast<const uint8_t*>(showFrame.pixels.data());
  v.width = showFrame.width;
  v.height = showFrame.height;
  v.stride = showFrame.width * 4;
  return v;
}

void ClearFrameBlack() { std::fill(showFrame.pixels.begin(), showFrame.pixels.end(), 0u); }

int BeginScreenDrawing() {
  if (!FrameIsOpen()) return 0;
  if (!BeginBufferDrawing(reinterpret_cast<uint8_t*>(showFrame.pixels.data()), showFrame.width, showFrame.height, 4,
                          showFrame.width * 4, false))
    return 0;
  // The fourth byte of a frame pixel means nothing: reads give colours without alpha.
  CurrentOutput()->readsAlpha = false;
  return 1;
}
