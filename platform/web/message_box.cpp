// Message boxes in a web page: the <dialog id="message"> with the title and the
// text, shown one after another, always above the show. A page cannot wait for the box to close, so
// the program goes on at once; the capture buffer for tests as on the desktop.
#include <emscripten.h>

#include "platform/platform.h"

namespace {
bool captureMessages = false;
std::string capturedMessages;
}  // namespace

// The waiting boxes stay in Module.zyntraxMessages, the shown one first.
EM_JS(void, JsMessageBox, (const char* title, const char* text), {
  var box = document.getElementById("message");
  var queue = Module.zyntraxMessages || (Module.zyntraxMessages = []);
  var showFirst = function() {
    if (!queue.length) return;
    document.getElementById("message-title").textContent = queue[0].title;
    document.getElementById("message-text").textContent = queue[0].text;
    if (!box.open) box.showModal();
  };
  if (!box.zyntraxWatched) {
    box.zyntraxWatched = true;
    box.zyntraxRestacks = 0;
    box.addEventListener("close", function() {
      if (box.zyntraxRestacks > 0) {
        box.zyntraxRestacks--;
        return;
      }
      queue.shift();
      showFirst();
    });
    // The browser's top layer shows what entered it last: a box opened before
    // the show took the full screen goes back on top of it.
    document.addEventListener("fullscreenchange", function() {
      if (!box.open || !document.fullscreenElement) return;
      box.zyntraxRestacks++;
      box.close();
      box.showModal();
    });
  }
  queue.push({title: UTF8ToString(title), text: UTF8ToString(text)});
  if (queue.length == 1) showFirst();
});

void MessageBox(const std::string& title, const std::string& text) {
  if (captureMessages) {
    capturedMessages += title + "|" + text + "\n";
    return;
  }
  JsMessageBox(title.c_str(), text.c_str());
}

void TestCaptureMessages(bool on) { captureMessages = on; }
const std::string& TestCapturedMessages() { return capturedMessages; }
void TestClearMessages() { capturedMessages.clear(); }
