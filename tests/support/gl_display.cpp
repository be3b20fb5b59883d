// The test display, frame pixels, frame snapshots and test PNG files.
#include "support/gl_display.h"

#ifdef _WIN32
#include "platform/windows/win32.h"
#else
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif
#include <png.h>

#include <filesystem>

#include <cstdio>

#include "driver/driver.h"
#include "platform/display.h"
#include "render/draw.h"
#include "render/sprite.h"

namespace {
bool spritesStarted = false;
int openW = 0, openH = 0;

bool WritePng(const std::string& path, int width, int height, int channels, const uint8_t* pixels) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8,
               channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; y++) png_write_row(png, pixels + (size_t)y * width * channels);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}
}  // namespace

bool OpenTestDisplay(int windowW, int windowH) {
  if (!spritesStarted) {
    InitSprites();
    spritesStarted = true;
  }
  DisplayInfo d = CurrentDisplay();
  if (d.open && d.windowed && openW == windowW && openH == windowH) return true;
  openW = openH = 0;
  if (!OpenHostWindow(1, 0, 0, windowW, windowH, "ZYNTRAX test", HOST_STYLE_CAPTION)) return false;
  if (!OpenWindowDisplay(1, 0, 0, 1920, 1080, windowW != 1920 || windowH != 1080) || !OpenDisplayFrame()) return false;
  SetSwapInterval(0);
  openW = windowW;
  openH = windowH;
  return true;
}

Colour FramePixel(int x, int y) {
  if (!BeginScreenDrawing()) return 0xFFFFFFFFu;
  Colour c = ReadPixel(x, y);
  EndScreenDrawing();
  return c;
}

#ifdef _WIN32
// Built for Windows: the client area copied out of the window's device context.
WindowShot PresentAndGrabWindow() {
  WindowShot shot;
  HWND window = (HWND)(uintptr_t)CurrentDisplay().windowId;
  RECT client;
  if (!window || !GetClientRect(window, &client)) return shot;
  for (int i = 0; i < 2; i++) {
    if (!PresentShowFrame()) return shot;
    Sleep(20);
  }
  const int w = client.right, h = client.bottom;
  HDC dc = GetDC(window);
  HDC memory = CreateCompatibleDC(dc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    GdiFlush();
    shot.width = w;
    shot.height = h;
    shot.pixels.resize((size_t)w * h);
    const uint32_t* p = (const uint32_t*)bits;
    for (size_t i = 0; i < shot.pixels.size(); i++) shot.pixels[i] = Rgb((int)(p[i] >> 16) & 255, (int)(p[i] >> 8) & 255, (int)p[i] & 255);
    SelectObject(memory, old);
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, dc);
  return shot;
}
#else
WindowShot PresentAndGrabWindow() {
  WindowShot shot;
  SDL_Window* window = SDL_GetWindowFromID(CurrentDisplay().windowId);
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return shot;
  Display* x = info.info.x11.display;
  // What is put on a window before the server has mapped it is lost: wait
  // for the window to be viewable, then present twice for the shot.
  XWindowAttributes attributes;
  for (int i = 0; i < 300; i++) {
    SDL_PumpEvents();
    XSync(x, False);
    if (!XGetWindowAttributes(x, info.info.x11.window, &attributes)) return shot;
    if (attributes.map_state == IsViewable) break;
    SDL_Delay(10);
  }
  for (int i = 0; i < 2; i++) {
    if (!PresentShowFrame()) return shot;
    XSync(x, False);
    SDL_Delay(20);
  }
  XImage* image = XGetImage(x, info.info.x11.window, 0, 0, (unsigned)attributes.width, (unsigned)attributes.height,
                            AllPlanes, ZPixmap);
  if (!image) return shot;
  shot.width = attributes.width;
  shot.height = attributes.height;
  shot.pixels.resize((size_t)shot.width * shot.height);
  for (int py = 0; py < shot.height; py++)
    for (int px = 0; px < shot.width; px++) {
      unsigned long v = XGetPixel(image, px, py);
      shot.pixels[(size_t)py * shot.width + px] = Rgb((int)(v >> 16) & 255, (int)(v >> 8) & 255, (int)v & 255);
    }
  XDestroyImage(image);
  return shot;
}
#endif

void ClearFrame(Colour colour) {
  if (!BeginScreenDrawing()) return;
  SetDrawingMode(DRAW_MODE_DEFAULT);
  DrawBox(0, 0, OutputWidth(), OutputHeight(), colour);
  EndScreenDrawing();
}

bool SaveFramePng(const std::string& path) {
  if (!BeginScreenDrawing()) return false;
  int w = OutputWidth(), h = OutputHeight();
  std::vector<uint8_t> rgb((size_t)w * h * 3);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      Colour c = ReadPixel(x, y);
      uint8_t* p = &rgb[((size_t)y * w + x) * 3];
      p[0] = (uint8_t)RedOf(c);
      p[1] = (uint8_t)GreenOf(c);
      p[2] = (uint8_t)BlueOf(c);
    }
  EndScreenDrawing();
  return WritePng(path, w, h, 3, rgb.data());
}

bool WriteTestPng(const std::string& path, int width, int height, int channels, const std::vector<uint8_t>& pixels) {
  if (width <= 0 || height <= 0 || (channels != 3 && channels != 4) ||
      pixels.size() < (size_t)width * height * channels)
    return false;
  return WritePng(path, width, height, channels, pixels.data());
}

std::vector<uint8_t> SolidPixels(int width, int height, int channels, Colour colour, int alpha) {
  std::vector<uint8_t> px;
  for (int i = 0; i < width * height; i++) {
    px.push_back((uint8_t)RedOf(colour));
    px.push_back((uint8_t)GreenOf(colour));
    px.push_back((uint8_t)BlueOf(colour));
    if (channels == 4) px.push_back((uint8_t)alpha);
  }
  return px;
}

std::string TestScratchFolder(const std::string& name) {
  std::string dir = std::string(ZYNTRAX_TEST_SCRATCH) + "/" + name;
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  return dir + "/";
}
