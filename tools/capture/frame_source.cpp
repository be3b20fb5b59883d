// The capture's frame source: the show's own frame in memory, painted at a
// driven moment and copied out. No window and no display are needed.
#include "tools/capture/frame_source.h"

#include "driver/driver.h"
#include "platform/platform.h"
#include "render/frame_bands.h"
#include "render/screen.h"

bool PaintShowFrame(int64_t showMs, uint32_t* pixels) {
  DrawShowFrame(showMs);
  FrameView frame = FinishedFrame();
  if (!frame.pixels || frame.width != FRAME_WIDTH || frame.height != FRAME_HEIGHT) return false;
  // The encoder reads opaque 0xFFRRGGBB words.
  ConvertPixels(frame, PixelView{reinterpret_cast<uint8_t*>(pixels), FRAME_WIDTH, FRAME_HEIGHT, FRAME_WIDTH * 4,
                                 PixelLayout::ARGB8888});
  return true;
}

void DrawShowFrame(int64_t showMs) {
  DriveClock(showMs);
  UpdateSceneTime();
  DrawFrame();
}

void ReplayShowFrame(int64_t showMs) {
  DrawShowFrame(showMs);
  DropKeptFrame();
}

void CloseFrameSource() { CloseShowScreen(); }
