// The capture's frame source: the show's own frame in memory (opened by the
// start-up), painted at a driven moment and copied out. No window and no
// display are needed.
#include "tools/capture/frame_source.h"

#include "driver/driver.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "render/sprite.h"

bool PaintShowFrame(int64_t showMs, uint32_t* pixels) {
  ReplayShowFrame(showMs);
  FrameView frame = FinishedFrame();
  if (!frame.pixels || frame.width != FRAME_WIDTH || frame.height != FRAME_HEIGHT) return false;
  // The encoder reads opaque 0xFFRRGGBB words.
  ConvertPixels(frame, PixelView{reinterpret_cast<uint8_t*>(pixels), FRAME_WIDTH, FRAME_HEIGHT, FRAME_WIDTH * 4,
                                 PixelLayout::ARGB8888});
  return true;
}

void ReplayShowFrame(int64_t showMs) {
  DriveClock(showMs);
  UpdateSceneTime();
  DrawFrame();
}

void CloseFrameSource() { CloseShowScreen(); }
