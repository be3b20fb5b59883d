// Presenting through SDL's window surface, for machines without a hardware GL
// renderer: the CPU writes the frame into the window's own pixels (shared
// memory with the X server, no GL in between), scaled by the nearest pixel
// when the window shows it at another size.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/presenter.h"

namespace {
// Source column of each target column of the last stretched width.
std::vector<int> columns;

// Column or row of the source under the centre of target pixel i of n.
inline int Nearest(int64_t i, int64_t n, int64_t source) { return (int)((2 * i + 1) * source / (2 * n)); }

// Copies the frame into dst (a 32-bit XRGB picture of dstW x dstH, pitch in
// bytes), its rectangle rect, clipped to the picture.
void PutFrame(const FrameView& frame, uint8_t* dst, int pitch, int dstW, int dstH, const PictureRect& rect) {
  const int x0 = std::max(0, rect.x), x1 = std::min(dstW, rect.x + rect.width);
  const int y0 = std::max(0, rect.y), y1 = std::min(dstH, rect.y + rect.height);
  if (x0 >= x1 || y0 >= y1) return;
  const bool exact = rect.width == frame.width && rect.height == frame.height;
  if (!exact) {
    columns.resize((size_t)rect.width);
    for (int i = 0; i < rect.width; ++i) columns[(size_t)i] = Nearest(i, rect.width, frame.width);
  }
  for (int y = y0; y < y1; ++y) {
    int sy = exact ? y - rect.y : Nearest(y - rect.y, rect.height, frame.height);
    const uint32_t* src = reinterpret_cast<const uint32_t*>(frame.pixels + (size_t)sy * (size_t)frame.stride);
    uint32_t* out = reinterpret_cast<uint32_t*>(dst + (size_t)y * (size_t)pitch);
    if (exact) {
      std::memcpy(out + x0, src + (x0 - rect.x), (size_t)(x1 - x0) * 4);
    } else {
      for (int x = x0; x < x1; ++x) out[x] = src[columns[(size_t)(x - rect.x)]];
    }
  }
}

bool IsXrgb(const SDL_Surface* s) {
  return s->format->BytesPerPixel == 4 && s->format->Rmask == 0x00FF0000u && s->format->Gmask == 0x0000FF00u &&
         s->format->Bmask == 0x000000FFu;
}

// A window surface of another layout gets the picture through an XRGB copy.
SDL_Surface* staging = nullptr;
}  // namespace

bool SurfacePresenterStart(SDL_Window* window) {
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (!surface) return false;
  SDL_FillRect(surface, nullptr, 0);
  return true;
}

bool SurfacePresent(SDL_Window* window, const FrameView& frame, const PictureRect& rect) {
  if (!frame.pixels) return false;
  SDL_Surface* surface = SDL_GetWindowSurface(window);  // a new one after a resize
  if (!surface) return false;
  SDL_Surface* target = surface;
  if (!IsXrgb(surface)) {
    if (!staging || staging->w != surface->w || staging->h != surface->h) {
      SDL_FreeSurface(staging);
      staging = SDL_CreateRGBSurfaceWithFormat(0, surface->w, surface->h, 32, SDL_PIXELFORMAT_RGB888);
      if (!staging) return false;
    }
    target = staging;
  }
  if (rect.x > 0 || rect.y > 0 || rect.x + rect.width < target->w || rect.y + rect.height < target->h)
    SDL_FillRect(target, nullptr, 0);
  if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return false;
  PutFrame(frame, static_cast<uint8_t*>(target->pixels), target->pitch, target->w, target->h, rect);
  if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
  if (target != surface && SDL_BlitSurface(target, nullptr, surface, nullptr) != 0) return false;
  return SDL_UpdateWindowSurface(window) == 0;
}
