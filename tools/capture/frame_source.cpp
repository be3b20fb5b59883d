// The capture's frame source: the show's own frame in memory, painted at a
// driven moment and copied out. No window and no display are needed.
#include "tools/capture/frame_source.h"

#include <cstring>

#include "driver/driver.h"
#include "platform/platform.h"
#include "render/frame_bands.h"
#include "render/screen.h"
#include "render/sprite.h"

bool OpenFrameSource(std::string& error) {
  InitSprites();
  if (!OpenFrame(FRAME_WIDTH, FRAME_HEIGHT)) {
    error = "cannot make a 1920 x 1080 frame in memory";
    return false;
  }
  return true;
}

bool PaintShowFrame(int64_t showMs, uint32_t* pixels) {
  DrawShowFrame(showMs);
  FrameView frame = FinishedFrame();
  if (!frame.pixels || frame.width != FRAME_WIDTH || frame.height != FRAME_HEIGHT) return false;
  // The frame's unused fourth byte is set: the encoder reads 0xFFRRGGBB.
  for (int y = 0; y < FRAME_HEIGHT; y++) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(frame.pixels + (size_t)y * (size_t)frame.stride);
    uint32_t* dst = pixels + (size_t)y * FRAME_WIDTH;
    for (int x = 0; x < FRAME_WIDTH; x++) dst[x] = src[x] | 0xFF000000u;
  }
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

void CloseFrameSource() { CloseScreen(); }
