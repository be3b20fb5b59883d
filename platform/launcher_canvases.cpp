// The launcher canvases' pixels for every target: one BGR888 picture per
// canvas, which driver/launcher.cpp paints and the target's
// LauncherShowCanvas puts on the window.
#include "platform/launcher_window.h"
#include "platform/target.h"

#include <map>
#include <vector>

namespace {
struct CanvasBuffer {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;
};
std::map<int, CanvasBuffer> canvases;

PixelView ViewOf(CanvasBuffer& c) {
  return PixelView{c.pixels.data(), c.width, c.height, c.width * 3, PixelLayout::BGR888};
}
}  // namespace

PixelView MakeCanvasBuffer(int id, int width, int height) {
  CanvasBuffer& c = canvases[id];
  c.width = width > 0 ? width : 0;
  c.height = height > 0 ? height : 0;
  c.pixels.assign((size_t)c.width * 3 * (size_t)c.height, 0);
  return ViewOf(c);
}

void ForgetCanvasBuffers() { canvases.clear(); }

PixelView LauncherCanvas(int id) {
  auto it = canvases.find(id);
  return it == canvases.end() || it->second.pixels.empty() ? PixelView{} : ViewOf(it->second);
}
