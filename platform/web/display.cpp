// The show's display in a web page: the canvas element #show at the frame's
// size, placed like the desktop's window (inside the page, stretched over it, or
// in the browser's full screen), scaled by the nearest pixel, and the frame
// the driver hands down put on it once an animation frame.
#include "platform/display.h"

#include <emscripten.h>

#include <map>
#include <vector>

#include "platform/target.h"
#include "platform/web/page.h"

namespace {
struct HostWindow {
  int x = 0, y = 0, width = 0, height = 0;
};
std::map<int, HostWindow> hosts;

// The open display is described in shownDisplay (platform/display_info.cpp).
DisplayInfo& display = shownDisplay;
std::vector<uint32_t> rgba;  // the frame in the canvas's layout (RGBA8888)

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
  if (width <= 0 || height <= 0) return false;
  DisplayInfo& d = display;
  d = DisplayInfo{};
  d.open = true;
  d.presenter = PRESENTER_SURFACE;
  d.refreshHz = 60;
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
  if (display.open) JsCloseCanvas();
  display = DisplayInfo{};
}

void ShowDisplayCursor(bool show) { JsShowCursor(show ? 1 : 0); }

// How long presenting took (the byte reorder and the canvas put), kept on
// the page for the benchmark.
EM_JS(void, JsPresentTime, (double ms), { Module.zyntraxPresentMs = ms; });

int PresentFrame(const PixelView& frame) {
  if (!display.open || !frame.pixels) return 0;
  const double start = emscripten_get_now();
  rgba.resize((size_t)frame.width * (size_t)frame.height);
  PixelView canvas{reinterpret_cast<uint8_t*>(rgba.data()), frame.width, frame.height, frame.width * 4,
                   PixelLayout::RGBA8888};
  ConvertPixels(frame, canvas);
  PutCanvasPicture("show", rgba.data(), frame.width, frame.height);
  JsPresentTime(emscripten_get_now() - start);
  return 1;
}

// The browser paces the loop to its display: an animation frame at a time.
int SetSwapInterval(int interval) { return display.open ? 1 : 0; }

void ChoosePresenter(int presenter) {}
