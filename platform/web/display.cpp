// The show's display in a web page: the canvas element #show at the frame's
// size, placed in device pixels like the desktop's window (inside the page,
// stretched over it, or fitted into the browser's full screen), scaled by the
// nearest pixel, and the frame the driver hands down put on it once an
// animation frame.
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

// The page's size in device pixels: the desktop of the show's geometry.
EM_JS(int, JsPageWidth, (), { return Math.round(window.innerWidth * (window.devicePixelRatio || 1)); });
EM_JS(int, JsPageHeight, (), { return Math.round(window.innerHeight * (window.devicePixelRatio || 1)); });

// The canvas lives in #stage, the black layer over the page that also takes
// the browser's full screen. Module.zyntraxPlace says where the canvas goes,
// in device pixels: a box (x, y, w, h), fitted into the full screen, or
// stretched over the page. Its CSS box is that divided by devicePixelRatio,
// so every edge falls on a device pixel; it is worked out again whenever the
// page's size or its pixel ratio changes.
EM_JS(void, JsWatchPlacement, (), {
  if (Module.zyntraxPlaceCanvas) return;
  var lastKey = "";
  var place = Module.zyntraxPlaceCanvas = function(force) {
    var p = Module.zyntraxPlace, canvas = document.getElementById("show");
    if (!p || !canvas) return;
    var ratio = window.devicePixelRatio || 1;
    var pageW = Math.round(window.innerWidth * ratio), pageH = Math.round(window.innerHeight * ratio);
    var key = [ratio, pageW, pageH, p.kind, p.x, p.y, p.w, p.h].join(" ");
    if (!force && key === lastKey) return;
    lastKey = key;
    var x = p.x, y = p.y, w = p.w, h = p.h;
    if (p.kind == 2) {
      x = 0; y = 0; w = pageW; h = pageH;
    } else if (p.kind == 1) {
      var scale = Math.min(pageW / canvas.width, pageH / canvas.height);
      w = Math.max(1, Math.round(canvas.width * scale));
      h = Math.max(1, Math.round(canvas.height * scale));
      x = Math.floor((pageW - w) / 2);
      y = Math.floor((pageH - h) / 2);
    }
    var s = canvas.style;
    s.left = x / ratio + "px";
    s.top = y / ratio + "px";
    s.width = w / ratio + "px";
    s.height = h / ratio + "px";
  };
  window.addEventListener("resize", function() { place(false); });
  document.addEventListener("fullscreenchange", function() { place(false); });
});

// Shows the canvas at width x height pixels, placed as place says (x, y, w, h:
// device pixels of the page). Full screen was asked for by the Launch click.
EM_JS(void, JsOpenCanvas, (int width, int height, int place, int x, int y, int w, int h, const char* title), {
  var canvas = document.getElementById("show");
  if (!canvas) return;
  canvas.width = width;
  canvas.height = height;
  Module.zyntraxPlace = {kind: place, x: x, y: y, w: w, h: h};
  Module.zyntraxPlaceCanvas(true);
  document.title = UTF8ToString(title);
  document.body.classList.add("in-show");
  var keys = Module.zyntraxKeys;
  if (keys) keys.escape = false;
});

EM_JS(void, JsCloseCanvas, (), {
  var f = Module.zyntraxFullscreen;
  if (f) f.state = "none";
  if (document.fullscreenElement && document.exitFullscreen) {
    var left = document.exitFullscreen();
    if (left && left.catch) left.catch(function() {});
  }
  var stage = document.getElementById("stage");
  if (stage) stage.style.cursor = "";
  Module.zyntraxPlace = null;
  document.body.classList.remove("in-show");
});

// Full screen must be asked for inside the click that launches the show
// (browsers honour it only there), so the click on Launch with the
// "Fullscreen" mode chosen asks for it on #stage before the program sees the
// click. Module.zyntraxFullscreen.state: "none", "asked" (no answer yet),
// "granted", or "refused" (also where the browser has no element full screen).
EM_JS(void, JsWatchFullscreenClick, (int fullscreenIndex), {
  if (Module.zyntraxFullscreen) return;
  var f = Module.zyntraxFullscreen = {state: "none", askedAt: 0};
  document.addEventListener("click", function(e) {
    var launch = document.getElementById("launch"), mode = document.getElementById("mode");
    if (!launch || !mode || !launch.contains(e.target) || mode.selectedIndex !== fullscreenIndex) return;
    var stage = document.getElementById("stage");
    f.askedAt = performance.now();
    if (!stage || !stage.requestFullscreen || !document.fullscreenEnabled) {
      f.state = "refused";
      return;
    }
    f.state = "asked";
    document.body.classList.add("in-show");
    var asked;
    try {
      asked = stage.requestFullscreen({navigationUI: "hide"});
    } catch (err) {
      f.state = "refused";
    }
    if (asked && asked.then) {
      asked.then(function() { if (f.state == "asked") f.state = "granted"; },
                 function() { if (f.state == "asked") f.state = "refused"; });
    }
  }, true);
  document.addEventListener("fullscreenerror", function() { if (f.state == "asked") f.state = "refused"; });
  document.addEventListener("fullscreenchange", function() {
    if (document.fullscreenElement && f.state == "asked") f.state = "granted";
  });
});

// 0 while a full-screen request has no answer yet (given up after 3 s).
EM_JS(int, JsFullscreenSettled, (), {
  var f = Module.zyntraxFullscreen;
  if (!f || f.state != "asked") return 1;
  if (performance.now() - f.askedAt < 3000) return 0;
  f.state = "refused";
  return 1;
});

EM_JS(int, JsFullscreenGranted, (), {
  var f = Module.zyntraxFullscreen;
  return f && f.state == "granted" && !!document.fullscreenElement ? 1 : 0;
});

EM_JS(void, JsPlaceBox, (int x, int y, int w, int h), {
  var p = Module.zyntraxPlace;
  if (!p || p.kind != 0) return;
  p.x = x; p.y = y; p.w = w; p.h = h;
  Module.zyntraxPlaceCanvas(false);
});

EM_JS(void, JsShowCursor, (int show), {
  var stage = document.getElementById("stage");
  if (stage) stage.style.cursor = show ? "" : "none";
});

namespace {
bool Open(int width, int height, int place, int x, int y, int w, int h, const std::string& title) {
  if (width <= 0 || height <= 0) return false;
  JsWatchPlacement();
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
  // Only a full screen that the Launch click asked for and the browser gave.
  if (!JsFullscreenGranted()) return 0;
  // The canvas is fitted into the screen, keeping the picture's shape.
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
  const PicturePlace place{x, y, autoStretch != 0, rightOffset, bottomOffset};
  const PictureRect picture = PlacePicture(place, width, height, host.width, host.height);
  const bool wholePage = autoStretch && host.x + x == 0 && host.y + y == 0 && rightOffset == 0 && bottomOffset == 0 &&
                         host.width == JsPageWidth() && host.height == JsPageHeight();
  if (!Open(width, height, wholePage ? PLACE_PAGE : PLACE_BOX, host.x + x, host.y + y, picture.width, picture.height,
            hostTitle))
    return 0;
  display.windowed = true;
  return 1;
}

void CloseScreen() {
  if (display.open) JsCloseCanvas();
  display = DisplayInfo{};
}

void WatchFullscreenClick(int modeIndex) { JsWatchFullscreenClick(modeIndex); }
bool FullscreenRequestSettled() { return JsFullscreenSettled() != 0; }

void PlaceShowWindow(int x, int y, int width, int height) {
  if (display.open && display.windowed && width > 0 && height > 0) {
    display.pictureX = x;
    display.pictureY = y;
    display.pictureWidth = width;
    display.pictureHeight = height;
    JsPlaceBox(x, y, width, height);
  }
}

void ShowDisplayCursor(bool show) { JsShowCursor(show ? 1 : 0); }

// How long presenting took (the byte reorder and the canvas put), kept on
// the page for the benchmark.
EM_JS(void, JsPresentTime, (double ms), { Module.zyntraxPresentMs = ms; });
// A pixel ratio can change without a resize (the window moved to another screen).
EM_JS(void, JsFollowPage, (), { if (Module.zyntraxPlaceCanvas) Module.zyntraxPlaceCanvas(false); });

int PresentFrame(const PixelView& frame) {
  if (!display.open || !frame.pixels) return 0;
  JsFollowPage();
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
