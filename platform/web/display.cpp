// The show's display in a web page: the canvas element #show at the frame's
// size, placed like the desktop's window (inside the page, stretched over it, or
// in the browser's full screen), scaled by the nearest pixel, and the finished
// frame put on it once an animation frame.
#include "platform/display.h"

#include <emscripten.h>
#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

#include <map>
#include <vector>

#include "platform/web/page.h"
#include "render/screen.h"
#include "render/sprite.h"

namespace {
struct HostWindow {
  int x = 0, y = 0, width = 0, height = 0;
};
std::map<int, HostWindow> hosts;

struct DisplayState {
  bool open = false;
  bool windowed = false;
  int logicalWidth = 0, logicalHeight = 0;
  int pictureX = 0, pictureY = 0, pictureWidth = 0, pictureHeight = 0;
};
DisplayState display;
std::vector<uint32_t> rgba;  // the frame in the canvas's byte order

// Canvas placement modes: a box of the page, the browser's full screen, or
// stretched over the whole page (following it when the page changes size).
constexpr int PLACE_BOX = 0, PLACE_FULLSCREEN = 1, PLACE_PAGE = 2;
}  // namespace

EM_JS(int, JsPageWidth, (), { return window.innerWidth | 0; });
EM_JS(int, JsPageHeight, (), { return window.innerHeight | 0; });

// Shows the canvas at width x height pixels, in a CSS box of the page or in the
// browser's full screen. Leaving that full screen later counts as Escape.
EM_JS(void, JsOpenCanvas, (int width, int height, int place, int x, int y, int w, int h, const char* title), {
  var canvas = document.getElementById("show");
  if (!canvas) return;
  canvas.width = width;
  canvas.height = height;
  var s = canvas.style;
  s.display = "block";
  s.position = "fixed";
  s.left = x + "px";
  s.top = y + "px";
  s.width = place == 2 ? "100vw" : w + "px";
  s.height = place == 2 ? "100vh" : h + "px";
  document.title = UTF8ToString(title);
  document.body.classList.add("in-show");
  var keys = Module.zyntraxKeys;
  if (keys) keys.escape = false;
  Module.zyntraxFullscreen = false;
  if (place == 1 && canvas.requestFullscreen) {
    var request = canvas.requestFullscreen({navigationUI: "hide"});
    if (request && request.catch) request.catch(function() {});
  }
});

EM_JS(void, JsCloseCanvas, (), {
  Module.zyntraxFullscreen = false;
  if (document.fullscreenElement && document.exitFullscreen) {
    var left = document.exitFullscreen();
    if (left && left.catch) left.catch(function() {});
  }
  var canvas = document.getElementById("show");
  if (canvas) canvas.style.display = "none";
  document.body.classList.remove("in-show");
  document.body.style.cursor = "";
});

EM_JS(void, JsShowCursor, (int show), {
  var canvas = document.getElementById("show");
  if (canvas) canvas.style.cursor = show ? "" : "none";
});

namespace {
bool Open(int width, int height, int place, int x, int y, int w, int h, const std::string& title) {
  if (width <= 0 || height <= 0 || !OpenFrame(width, height)) return false;
  ClearFrameBlack();
  DisplayState& d = display;
  d.open = true;
  d.logicalWidth = width;
  d.logicalHeight = height;
  d.pictureX = x;
  d.pictureY = y;
  d.pictureWidth = w;
  d.pictureHeight = h;
  JsOpenCanvas(width, height, place, x, y, w, h, title.c_str());
  return true;
}

std::string hostTitle;
}  // namespace

int DesktopWidth() { return JsPageWidth(); }
int DesktopHeight() { return JsPageHeight(); }

int OpenFullscreenDisplay(int width, int height, int depth, const std::string& title) {
  CloseScreen();
  // The browser scales the canvas to its screen, keeping the picture's shape.
  if (!Open(width, height, PLACE_FULLSCREEN, 0, 0, JsPageWidth(), JsPageHeight(), title)) return 0;
  JsShowCursor(0);
  return 1;
}

int OpenHostWindow(int number, int x, int y, int width, int height, const std::string& title, int style) {
  if (width <= 0 || height <= 0) return 0;
  hosts[number] = HostWindow{x, y, width, height};
  hostTitle = title;
  return 1;
}

int OpenWindowDisplay(int hostWindow, int x, int y, int width, int height, int autoStretch, int rightOffset,
                      int bottomOffset) {
  CloseScreen();
  auto it = hosts.find(hostWindow);
  if (it == hosts.end() || width <= 0 || height <= 0) return 0;
  const HostWindow& host = it->second;
  int w = width, h = height;
  if (autoStretch) {
    w = host.width - (x + rightOffset);
    h = host.height - (y + bottomOffset);
    if (w < 1) w = 1;
    if (h < 1) h = 1;
  }
  const bool wholePage = autoStretch && host.x + x == 0 && host.y + y == 0 && rightOffset == 0 && bottomOffset == 0 &&
                         host.width == JsPageWidth() && host.height == JsPageHeight();
  if (!Open(width, height, wholePage ? PLACE_PAGE : PLACE_BOX, host.x + x, host.y + y, w, h, hostTitle)) return 0;
  display.windowed = true;
  return 1;
}

void CloseScreen() {
  FreeAllSprites();
  CloseFrame();
  if (display.open) JsCloseCanvas();
  display = DisplayState{};
}

void ShowDisplayCursor(bool show) { JsShowCursor(show ? 1 : 0); }

// How long presenting took (the byte reorder and the canvas put), kept on
// the page for the benchmark.
EM_JS(void, JsPresentTime, (double ms), { Module.zyntraxPresentMs = ms; });

// XRGB words (B, G, R, X in memory) become R, G, B, A bytes.
int PresentFrame() {
  if (!display.open) return 0;
  FrameView f = FinishedFrame();
  if (!f.pixels) return 0;
  const double start = emscripten_get_now();
  rgba.resize((size_t)f.width * (size_t)f.height);
  for (int y = 0; y < f.height; y++) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(f.pixels + (size_t)y * (size_t)f.stride);
    uint32_t* out = rgba.data() + (size_t)y * (size_t)f.width;
    int x = 0;
#ifdef __wasm_simd128__
    // Four pixels at a time: swap blue and red in each word, set alpha.
    const v128_t opaque = wasm_i32x4_splat((int32_t)0xFF000000u);
    for (; x + 4 <= f.width; x += 4) {
      v128_t p = wasm_v128_load(src + x);
      p = wasm_i8x16_shuffle(p, p, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
      wasm_v128_store(out + x, wasm_v128_or(p, opaque));
    }
#endif
    for (; x < f.width; x++) {
      uint32_t p = src[x];
      out[x] = 0xFF000000u | (p & 0x0000FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
    }
  }
  PutCanvasPicture("show", rgba.data(), f.width, f.height);
  JsPresentTime(emscripten_get_now() - start);
  return 1;
}

// The browser paces the loop to its display: an animation frame at a time.
int SetSwapInterval(int interval) { return display.open ? 1 : 0; }

void ChoosePresenter(int presenter) {}

DisplayInfo CurrentDisplay() {
  const DisplayState& d = display;
  DisplayInfo info;
  info.open = d.open;
  info.windowed = d.windowed;
  info.presenter = PRESENTER_SURFACE;
  info.logicalWidth = d.logicalWidth;
  info.logicalHeight = d.logicalHeight;
  info.pictureX = d.pictureX;
  info.pictureY = d.pictureY;
  info.pictureWidth = d.pictureWidth;
  info.pictureHeight = d.pictureHeight;
  info.refreshHz = 60;
  return info;
}
