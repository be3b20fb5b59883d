// Keys and window events in a web page: an Escape press on the page, a tap on
// a touch screen, or the browser's full screen left while the show had it,
// reads as Escape held for one frame. A page has no close box: there are no
// close requests.
#include <emscripten.h>

#include "platform/platform.h"

namespace {
bool escapeDown = false;
bool testEscape = false;
}  // namespace

// Escape pressed while a message box is open only closes the box, as on the
// desktop. On a touch screen, a tap on the show (or a long press) is Escape.
EM_JS(void, JsWatchKeys, (), {
  if (Module.zyntraxKeys) return;
  var keys = Module.zyntraxKeys = {escape: false};
  var boxOpen = function() {
    var box = document.getElementById("message");
    return box && box.open;
  };
  window.addEventListener("keydown", function(e) {
    if (e.key !== "Escape" && e.code !== "Escape") return;
    if (boxOpen()) return;
    keys.escape = true;
  });
  var stage = document.getElementById("stage");
  if (stage) {
    stage.addEventListener("pointerdown", function(e) {
      if (e.pointerType === "touch" && !boxOpen()) keys.escape = true;
    });
    stage.addEventListener("contextmenu", function(e) { e.preventDefault(); });
  }
  // Full screen given and then left (the browser's own Escape, or its
  // controls) ends the show.
  var wasFullscreen = false;
  document.addEventListener("fullscreenchange", function() {
    if (document.fullscreenElement && document.fullscreenElement === stage) {
      wasFullscreen = true;
    } else if (wasFullscreen) {
      wasFullscreen = false;
      var f = Module.zyntraxFullscreen;
      if (f && f.state == "granted") {
        f.state = "none";
        keys.escape = true;
      }
    }
  });
});

EM_JS(int, JsTakeEscape, (), {
  var keys = Module.zyntraxKeys;
  if (!keys || !keys.escape) return 0;
  keys.escape = false;
  return 1;
});

void WatchKeys() { JsWatchKeys(); }

int PollWindowEvent() { return 0; }

void PollKeyboard() { escapeDown = JsTakeEscape() != 0 || testEscape; }

int KeyDown(int scanCode) { return scanCode == KEY_ESCAPE && escapeDown ? 1 : 0; }

void TestPressEscape(bool down) { testEscape = down; }
