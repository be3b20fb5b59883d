// Keys and window events in a web page: an Escape press on the page, or the
// browser's full screen left while the show had it, reads as Escape held for
// one frame. A page has no close box: there are no close requests.
#include <emscripten.h>

#include "platform/platform.h"
#include "platform/target.h"

// Escape pressed while a message box is open only closes the box, as on the desktop.
EM_JS(void, JsWatchKeys, (), {
  if (Module.zyntraxKeys) return;
  var keys = Module.zyntraxKeys = {escape: false};
  window.addEventListener("keydown", function(e) {
    if (e.key !== "Escape" && e.code !== "Escape") return;
    var box = document.getElementById("message");
    if (box && box.open) return;
    keys.escape = true;
  });
  document.addEventListener("fullscreenchange", function() {
    var canvas = document.getElementById("show");
    if (document.fullscreenElement && document.fullscreenElement === canvas) {
      Module.zyntraxFullscreen = true;
    } else if (Module.zyntraxFullscreen) {
      Module.zyntraxFullscreen = false;
      keys.escape = true;
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

bool ReadEscape() { return JsTakeEscape() != 0; }
