// Presenting through OpenGL, for machines with a hardware GL renderer: the
// finished frame goes up as one texture and is drawn as one quad with nearest
// filtering, then the buffers are swapped. Every GL call of the program is here.
#include <GL/gl.h>

#include <cstring>

#include "platform/desktop/presenter.h"
#include "platform/desktop/video.h"

#ifndef GL_TEXTURE_RECTANGLE
#define GL_TEXTURE_RECTANGLE 0x84F5
#endif
#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif
#ifndef GL_UNSIGNED_INT_8_8_8_8_REV
#define GL_UNSIGNED_INT_8_8_8_8_REV 0x8367
#endif

namespace {
SDL_GLContext context = nullptr;
GLuint texture = 0;
int textureW = 0, textureH = 0;

// Mesa's software rasterisers: present through the window surface instead.
bool SoftwareRenderer() {
  const char* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (!name) return true;
  for (const char* soft : {"llvmpipe", "softpipe", "Software Rasterizer", "SWR"})
    if (std::strstr(name, soft)) return true;
  return false;
}

void DropErrors() {
  while (glGetError() != GL_NO_ERROR) {
  }
}
}  // namespace

bool GlPresenterStart(SDL_Window* window, bool hardwareOnly) {
  GlPresenterStop();
  context = VideoCreateContext(window);
  if (!context) return false;
  if (hardwareOnly && SoftwareRenderer()) {
    GlPresenterStop();
    return false;
  }
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_RECTANGLE);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 1, 0, 1, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_RECTANGLE, texture);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  textureW = textureH = 0;
  if (glGetError() != GL_NO_ERROR) {
    GlPresenterStop();
    return false;
  }
  return true;
}

void GlPresenterStop() {
  if (!context) return;
  if (texture) glDeleteTextures(1, &texture);
  texture = 0;
  textureW = textureH = 0;
  VideoDestroyContext(context);
  context = nullptr;
}

bool GlPresent(SDL_Window* window, const PixelView& frame, const PictureRect& rect) {
  if (!context || !frame.pixels) return false;
  DropErrors();
  int drawW = 0, drawH = 0;
  VideoDrawableSize(window, drawW, drawH);
  // Whatever the picture leaves uncovered is black.
  if (rect.x != 0 || rect.y != 0 || rect.width != drawW || rect.height != drawH) {
    glViewport(0, 0, drawW, drawH);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  glViewport(rect.x, drawH - rect.y - rect.height, rect.width, rect.height);
  glBindTexture(GL_TEXTURE_RECTANGLE, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, frame.stride / 4);
  if (textureW != frame.width || textureH != frame.height) {
    glTexImage2D(GL_TEXTURE_RECTANGLE, 0, GL_RGB8, frame.width, frame.height, 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, frame.pixels);
    textureW = frame.width;
    textureH = frame.height;
  } else {
    glTexSubImage2D(GL_TEXTURE_RECTANGLE, 0, 0, 0, frame.width, frame.height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                    frame.pixels);
  }
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  // Texture row 0 is the frame's top row: it goes to the top of the viewport.
  const float w = (float)frame.width, h = (float)frame.height;
  glBegin(GL_QUADS);
  glTexCoord2f(0, h);
  glVertex2f(0, 0);
  glTexCoord2f(w, h);
  glVertex2f(1, 0);
  glTexCoord2f(w, 0);
  glVertex2f(1, 1);
  glTexCoord2f(0, 0);
  glVertex2f(0, 1);
  glEnd();
  VideoSwap(window);
  return glGetError() == GL_NO_ERROR;
}

int GlSetSwapInterval(int interval) { return context ? VideoSetSwapInterval(interval) : 0; }
