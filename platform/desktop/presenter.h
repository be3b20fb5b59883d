// The desktop's two ways of putting a finished frame (an XRGB8888 pixel view)
// on a window, used by display.cpp: an OpenGL texture drawn as one quad
// (presenter_gl.cpp) and SDL's window surface written by the CPU
// (presenter_surface.cpp). Both scale a stretched picture by its nearest pixel.
#pragma once
#include <SDL.h>

#include "platform/pixels.h"
#include "platform/target.h"  // PictureRect

// Makes a GL context on the window. With hardwareOnly, a software renderer
// (llvmpipe, softpipe) counts as no GL: the context is dropped again. False
// when there is no usable context.
bool GlPresenterStart(SDL_Window* window, bool hardwareOnly);
void GlPresenterStop();
bool GlPresent(SDL_Window* window, const PixelView& frame, const PictureRect& rect);
// Non-zero when the driver accepted the swap interval.
int GlSetSwapInterval(int interval);

// Readies the window surface (framebuffer acceleration off); false on failure.
bool SurfacePresenterStart(SDL_Window* window);
bool SurfacePresent(SDL_Window* window, const PixelView& frame, const PictureRect& rect);
