// Pictures onto the page's canvas elements through their 2D contexts, which
// are kept per element.
#include "platform/web/page.h"

#include <emscripten.h>

EM_JS(void, JsPutCanvasPicture, (const char* id, const uint32_t* rgba, int width, int height), {
  var name = UTF8ToString(id);
  var cache = Module.zyntraxContexts || (Module.zyntraxContexts = {});
  var entry = cache[name];
  var canvas = document.getElementById(name);
  if (!canvas) return;
  if (!entry || entry.canvas !== canvas) {
    entry = cache[name] = {canvas: canvas, context: canvas.getContext("2d", {alpha: false})};
  }
  var pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
  entry.context.putImageData(new ImageData(pixels, width, height), 0, 0);
});

void PutCanvasPicture(const std::string& elementId, const uint32_t* rgba, int width, int height) {
  if (!rgba || width <= 0 || height <= 0) return;
  JsPutCanvasPicture(elementId.c_str(), rgba, width, height);
}
