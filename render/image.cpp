// The numbered in-memory pictures: loading them from PNG files, their sizes,
// drawing passes on their own pixels, region copies and freeing. Pictures stay
// in main memory and are never uploaded to GL.
#include <algorithm>
#include <cstring>
#include <new>
#include <map>

#include "platform/platform.h"
#include "render/draw_internal.h"
#include "render/frame_bands.h"
#include "render/image.h"
#include "render/picture_store.h"

namespace {
std::map<int, Picture> pictures;

int PaddedStride(int width, int bytesPerPixel) { return (width * bytesPerPixel + 3) & ~3; }

// A picture about to be replaced or freed must not stay the target of a
// drawing pass: that pass is ended first.
void ReleaseIfDrawing(const Picture& p) {
  PaintKeptFrame();  // a kept draw on the show frame reads the picture
  DrawingOutput* out = CurrentOutput();
  if (out && !p.pixels.empty() && out->pixels == p.pixels.data()) EndScreenDrawing();
}

Picture* Lookup(int number) {
  auto it = pictures.find(number);
  return it == pictures.end() ? nullptr : &it->second;
}
}  // namespace

const Picture* FindPicture(int number) { return Lookup(number); }

// A picture too large to hold (an allocation that fails) is a failed load.
int LoadImageFile(int number, const std::string& path) try {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return 0;
  return LoadImageBytes(number, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
} catch (const std::bad_alloc&) {
  return 0;
}

int LoadImageBytes(int number, const uint8_t* bytes, size_t size) try {
  DecodedImage img;
  if (!DecodeImage(bytes, size, img)) return 0;
  if (img.width <= 0 || img.height <= 0 || (img.depth != 24 && img.depth != 32)) return 0;
  const int bpp = img.depth / 8;
  const size_t srcStride = (size_t)img.width * (size_t)bpp;
  if (img.pixels.size() < srcStride * (size_t)img.height) return 0;
  Picture pic;
  pic.width = img.width;
  pic.height = img.height;
  pic.depth = img.depth;
  pic.rowStride = PaddedStride(img.width, bpp);
  pic.pixels.assign((size_t)pic.rowStride * (size_t)pic.height, 0);
  for (int y = 0; y < pic.height; ++y)
    std::memcpy(pic.pixels.data() + (size_t)(pic.height - 1 - y) * (size_t)pic.rowStride,
                img.pixels.data() + (size_t)y * srcStride, srcStride);
  PaintKeptFrame();  // kept draws of this number saw the picture it had
  if (Picture* old = Lookup(number)) ReleaseIfDrawing(*old);
  pictures[number] = std::move(pic);
  return 1;
} catch (const std::bad_alloc&) {
  return 0;
}

int ImageExists(int number) { return Lookup(number) ? 1 : 0; }

int ImageWidth(int number) {
  const Picture* p = Lookup(number);
  return p ? p->width : 0;
}

int ImageHeight(int number) {
  const Picture* p = Lookup(number);
  return p ? p->height : 0;
}

int BeginImageDrawing(int number) {
  PaintKeptFrame();  // the pass may change a picture that a kept draw reads
  Picture* p = Lookup(number);
  if (!p) {
    // A failed begin leaves no current output.
    EndScreenDrawing();
    return 0;
  }
  return BeginBufferDrawing(p->pixels.data(), p->width, p->height, p->depth / 8, p->rowStride, true);
}

int CopyImageRegion(int dst, int src, int x, int y, int width, int height) {
  const Picture* s = Lookup(src);
  if (!s || width <= 0 || height <= 0) return 0;
  int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
  int64_t x1 = std::min<int64_t>((int64_t)x + width, s->width);
  int64_t y1 = std::min<int64_t>((int64_t)y + height, s->height);
  if (x0 >= x1 || y0 >= y1) return 0;
  const int bpp = s->depth / 8;
  Picture copy;
  copy.width = (int)(x1 - x0);
  copy.height = (int)(y1 - y0);
  copy.depth = s->depth;
  copy.rowStride = PaddedStride(copy.width, bpp);
  Picture* d = Lookup(dst);
  // Reuse the destination's buffer when it is not the source: the launcher
  // copies a strip every other row, every frame.
  if (d && d != s) {
    ReleaseIfDrawing(*d);
    copy.pixels.swap(d->pixels);
  }
  copy.pixels.resize((size_t)copy.rowStride * (size_t)copy.height);
  for (int r = 0; r < copy.height; ++r)
    std::memcpy(copy.pixels.data() + (size_t)(copy.height - 1 - r) * (size_t)copy.rowStride,
                PictureRow(*s, (int)(y0 + r)) + x0 * bpp, (size_t)copy.width * (size_t)bpp);
  if (d == s) ReleaseIfDrawing(*d);
  PaintKeptFrame();
  pictures[dst] = std::move(copy);
  return 1;
}

void FreeImage(int number) {
  auto it = pictures.find(number);
  if (it == pictures.end()) return;
  ReleaseIfDrawing(it->second);
  pictures.erase(it);
}
