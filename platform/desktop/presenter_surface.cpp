// Presenting through SDL's window surface, for machines without a hardware GL
// renderer: the CPU writes the frame into the window's own pixels (shared
// memory with the X server, no GL in between), scaled by the nearest pixel
// when the window shows it at another size, on the shared work's threads.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/desktop/presenter.h"
#include "platform/work_sharing.h"

namespace {
// Source column of each target column of the last stretched width.
std::vector<int> columns;
int columnsFor[2] = {0, 0};  // target and source width the table is for

// Column or row of the source under the centre of target pixel i of n.
inline int Nearest(int64_t i, int64_t n, int64_t source) { return (int)((2 * i + 1) * source / (2 * n)); }

// One frame being put: the target rows y0..y1-1 are shared out in bands
// between the calling thread and the painting helper.
struct Put {
  const PixelView* frame = nullptr;
  uint8_t* dst = nullptr;
  int pitch = 0;
  int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
  PictureRect rect;
  bool exact = false;
  int factor = 0;  // whole-number widening of each row (2 at 3840 from 1920), 0 when none
  std::atomic<int> nextBand{0};
};
constexpr int BAND_ROWS = 64;

const uint32_t* SourceRow(const Put& p, int sy) {
  return reinterpret_cast<const uint32_t*>(p.frame->pixels + (size_t)sy * (size_t)p.frame->stride);
}

// Each source pixel k times in a row.
void Widen(const uint32_t* __restrict src, uint32_t* __restrict out, int count, int k) {
  if (k == 1) {
    std::memcpy(out, src, (size_t)count * 4);
    return;
  }
  int i = 0;
#if defined(__SSE2__)
  // Plain stores: the X server reads the window's pixels right after, and
  // streaming them past the cache measured slower here.
  if (k == 2) {
    for (; i + 4 <= count; i += 4, out += 8) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi32(v, v));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4), _mm_unpackhi_epi32(v, v));
    }
  } else if (k == 4) {
    for (; i < count; ++i, out += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_set1_epi32((int)src[i]));
  }
#endif
  for (; i < count; ++i)
    for (int j = 0; j < k; ++j) *out++ = src[i];
}

// Target row y from its source row.
void PutRow(const Put& p, int y, int sy) {
  const uint32_t* src = SourceRow(p, sy);
  uint32_t* out = reinterpret_cast<uint32_t*>(p.dst + (size_t)y * (size_t)p.pitch);
  if (p.exact) {
    std::memcpy(out + p.x0, src + (p.x0 - p.rect.x), (size_t)(p.x1 - p.x0) * 4);
  } else if (p.factor) {
    Widen(src, out + p.x0, p.frame->width, p.factor);
  } else {
    const int* col = columns.data() - p.rect.x;
    for (int x = p.x0; x < p.x1; ++x) out[x] = src[col[x]];
  }
}

// Takes bands until none is left. A row that shows the same source row as
// the one above it (every second row at 2x) is a copy of that row.
void TakeBands(void* context) {
  Put& p = *static_cast<Put*>(context);
  for (int band; (band = p.nextBand.fetch_add(1)) * BAND_ROWS < p.y1 - p.y0;) {
    const int top = p.y0 + band * BAND_ROWS, bottom = std::min(p.y1, top + BAND_ROWS);
    int lastSource = -1;
    for (int y = top; y < bottom; ++y) {
      int sy = p.exact ? y - p.rect.y : Nearest(y - p.rect.y, p.rect.height, p.frame->height);
      if (sy == lastSource) {
        std::memcpy(p.dst + (size_t)y * (size_t)p.pitch + (size_t)p.x0 * 4,
                    p.dst + (size_t)(y - 1) * (size_t)p.pitch + (size_t)p.x0 * 4, (size_t)(p.x1 - p.x0) * 4);
      } else {
        PutRow(p, y, sy);
      }
      lastSource = sy;
    }
  }
}

// Copies the frame into dst (a 32-bit XRGB picture of dstW x dstH, pitch in
// bytes), its rectangle rect, clipped to the picture.
void PutFrame(const PixelView& frame, uint8_t* dst, int pitch, int dstW, int dstH, const PictureRect& rect) {
  Put p;
  p.frame = &frame;
  p.dst = dst;
  p.pitch = pitch;
  p.x0 = std::max(0, rect.x);
  p.x1 = std::min(dstW, rect.x + rect.width);
  p.y0 = std::max(0, rect.y);
  p.y1 = std::min(dstH, rect.y + rect.height);
  if (p.x0 >= p.x1 || p.y0 >= p.y1) return;
  p.rect = rect;
  p.exact = rect.width == frame.width && rect.height == frame.height;
  const bool whole = p.x0 == rect.x && p.x1 == rect.x + rect.width;
  p.factor = !p.exact && whole && rect.width % frame.width == 0 ? rect.width / frame.width : 0;
  if (!p.exact && !p.factor && (columnsFor[0] != rect.width || columnsFor[1] != frame.width)) {
    columns.resize((size_t)rect.width);
    for (int i = 0; i < rect.width; ++i) columns[(size_t)i] = Nearest(i, rect.width, frame.width);
    columnsFor[0] = rect.width;
    columnsFor[1] = frame.width;
  }
  ShareWork(TakeBands, &p);
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

bool SurfacePresent(SDL_Window* window, const PixelView& frame, const PictureRect& rect) {
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
