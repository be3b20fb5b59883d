// The capture's frame source on the show's GL surface: a 1920 x 1080 window on
// the X display (a virtual one such as Xvfb will do), the show's own frame
// painted on it at a driven moment, and the back buffer read into memory.
#include "tools/capture/frame_source.h"

#include <GL/gl.h>
#include <SDL.h>

#include <vector>

#include "driver/driver.h"
#include "platform/platform.h"
#include "platform/video.h"
#include "render/screen_state.h"
#include "render/sprite.h"

#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif

namespace {
std::vector<uint32_t> bottomUp;
}

bool OpenFrameSource(std::string& error) {
  InitSprites();
  if (!OpenHostWindow(1, 0, 0, FRAME_WIDTH, FRAME_HEIGHT, "zyntrax-capture", HOST_STYLE_CAPTION) ||
      !OpenWindowDisplay(1, 0, 0, FRAME_WIDTH, FRAME_HEIGHT, 0)) {
    error = "cannot open a 1920 x 1080 OpenGL window (is an X display, such as Xvfb, running?)";
    CloseFrameSource();
    return false;
  }
  SetSwapInterval(0);
  return true;
}

bool PaintShowFrame(int64_t showMs, uint32_t* pixels) {
  // The window's events are taken and dropped, so a desktop never finds it
  // unresponsive; closing it does not stop the capture (Ctrl+C does).
  if (VideoRunning()) VideoDrainEvents();
  DriveClock(showMs);
  UpdateSceneTime();
  DrawFrame();
  const ScreenState& s = screenState;
  if (!s.context) return false;
  while (glGetError() != GL_NO_ERROR) {
  }
  bottomUp.resize((size_t)FRAME_WIDTH * FRAME_HEIGHT);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadBuffer(GL_BACK);
  glReadPixels(s.viewportX, s.viewportY, FRAME_WIDTH, FRAME_HEIGHT, GL_BGRA, GL_UNSIGNED_BYTE, bottomUp.data());
  if (glGetError() != GL_NO_ERROR) return false;
  for (int y = 0; y < FRAME_HEIGHT; y++) {
    const uint32_t* src = bottomUp.data() + (size_t)(FRAME_HEIGHT - 1 - y) * FRAME_WIDTH;
    uint32_t* dst = pixels + (size_t)y * FRAME_WIDTH;
    for (int x = 0; x < FRAME_WIDTH; x++) dst[x] = src[x] | 0xFF000000u;
  }
  return true;
}

void CloseFrameSource() {
  CloseScreen();
  SDL_Quit();
}
