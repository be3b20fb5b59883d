// The CPU presenter on Windows: the frame's XRGB rows are already a 32-bit
// top-down DIB, put on the window with StretchDIBits (COLORONCOLOR: nearest
// pixel when stretched); the rest of the client area is painted black.
#include "platform/windows/presenters.h"

namespace {
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

bool DibPresent(HWND window, const FrameView& frame, const PictureRect& rect) {
  if (!frame.pixels || frame.stride % 4 != 0) return false;
  HDC dc = GetDC(window);
  if (!dc) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = frame.stride / 4;
  info.bmiHeader.biHeight = -frame.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  FillBorders(dc, window, rect);
  int lines;
  if (rect.width == frame.width && rect.height == frame.height) {
    lines = SetDIBitsToDevice(dc, rect.x, rect.y, frame.width, frame.height, 0, 0, 0, frame.height, frame.pixels,
                              &info, DIB_RGB_COLORS);
  } else {
    SetStretchBltMode(dc, COLORONCOLOR);
    lines = StretchDIBits(dc, rect.x, rect.y, rect.width, rect.height, 0, 0, frame.width, frame.height, frame.pixels,
                          &info, DIB_RGB_COLORS, SRCCOPY);
  }
  GdiFlush();
  ReleaseDC(window, dc);
  return lines > 0;
}
