// The CPU presenter on Windows: the frame's XRGB rows are already a 32-bit
// top-down DIB, put unscaled on the window with SetDIBitsToDevice. A stretched
// picture is first scaled on the CPU by the nearest pixel (the pixel whose
// centre is nearest, as on the other targets and the GL path; GDI's own
// stretching picks other pixels). The rest of the client area is painted black.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/windows/presenters.h"

namespace {
std::vector<uint32_t> scaled;  // the stretched picture, rect.width x rect.height
std::vector<int> columns;      // source column of each picture column

inline int Nearest(int64_t i, int64_t n, int64_t source) { return (int)((2 * i + 1) * source / (2 * n)); }

void Stretch(const PixelView& frame, const PictureRect& r) {
  scaled.resize((size_t)r.width * (size_t)r.height);
  columns.resize((size_t)r.width);
  for (int x = 0; x < r.width; x++) columns[(size_t)x] = Nearest(x, r.width, frame.width);
  int lastSource = -1;
  for (int y = 0; y < r.height; y++) {
    uint32_t* out = scaled.data() + (size_t)y * (size_t)r.width;
    const int sy = Nearest(y, r.height, frame.height);
    if (sy == lastSource) {  // a row that repeats the one above
      std::copy(out - r.width, out, out);
      continue;
    }
    const uint32_t* src = reinterpret_cast<const uint32_t*>(frame.pixels + (size_t)sy * (size_t)frame.stride);
    for (int x = 0; x < r.width; x++) out[x] = src[columns[(size_t)x]];
    lastSource = sy;
  }
}

void FillBorders(HDC dc, HWND window, const PictureRect& r) {
  RECT client;
  if (!GetClientRect(window, &client)) return;
  HBRUSH black = (HBRUSH)GetStockObject(BLACK_BRUSH);
  RECT parts[4] = {{0, 0, client.right, r.y},
                   {0, r.y + r.height, client.right, client.bottom},
                   {0, r.y, r.x, r.y + r.height},
                   {r.x + r.width, r.y, client.right, r.y + r.height}};
  for (const RECT& p : parts)
    if (p.right > p.left && p.bottom > p.top) FillRect(dc, &p, black);
}
}  // namespace

bool DibPresent(HWND window, const PixelView& frame, const PictureRect& rect) {
  if (!frame.pixels || frame.stride % 4 != 0) return false;
  HDC dc = GetDC(window);
  if (!dc) return false;
  const bool exact = rect.width == frame.width && rect.height == frame.height;
  if (!exact) Stretch(frame, rect);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = exact ? frame.stride / 4 : rect.width;
  info.bmiHeader.biHeight = -rect.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  FillBorders(dc, window, rect);
  const int lines = SetDIBitsToDevice(dc, rect.x, rect.y, rect.width, rect.height, 0, 0, 0, rect.height,
                                      exact ? (const void*)frame.pixels : scaled.data(), &info, DIB_RGB_COLORS);
  GdiFlush();
  ReleaseDC(window, dc);
  return lines > 0;
}
