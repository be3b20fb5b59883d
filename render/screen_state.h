// The display's one global record and the little the sprite layer needs from
// the screen: whether a GL context exists, the logical size, and the flag that
// tells the drawing bridge its copy of the frame is stale.
#pragma once
#include <SDL.h>
#include <GL/gl.h>

#include <cstdint>

#ifndef GL_TEXTURE_RECTANGLE
#define GL_TEXTURE_RECTANGLE 0x84F5
#endif

struct ScreenState {
  int logicalWidth = 0, logicalHeight = 0;  // every drawing coordinate refers to this size
  int windowWidth = 0, windowHeight = 0;    // size of the area the picture is shown in
  uint32_t colourDepth = 32;
  uint32_t textureTarget = GL_TEXTURE_RECTANGLE;
  bool windowed = false;
  bool autoStretch = false;
  int x = 0, y = 0, rightOffset = 0, bottomOffset = 0;  // placement inside the host window
  int viewportX = 0, viewportY = 0;                      // GL (bottom-left) origin of the picture
  SDL_Window* parentWindow = nullptr;
  SDL_Window* surfaceWindow = nullptr;
  SDL_GLContext context = nullptr;
  int swapInterval = 1;
};

extern ScreenState screenState;

inline bool ScreenHasContext() { return screenState.context != nullptr; }
// Something was drawn on the GL side: the bridge must read the frame back.
void MarkFrameChanged();
// Deletes the bridge's write-back texture (the display is closing).
void DropBridgeTexture();
