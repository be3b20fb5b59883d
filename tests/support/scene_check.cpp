// Scene test helpers: asset sprites, frame blocks, the fresh-copy comparison.
#include "support/scene_check.h"

#include "driver/driver.h"
#include "render/draw.h"
#include "support/gl_display.h"

bool LoadAssetSprite(SpriteId id, const std::string& file) {
  if (!LoadSpriteFile(id, std::string(ZYNTRAX_ASSET_DIR) + "/" + file, SPRITE_KEEP_ALPHA)) return false;
  if (id >= 0 && id < 64) {
    cachedSpriteWidth[id] = SpriteWidth(id);
    cachedSpriteHeight[id] = SpriteHeight(id);
  }
  return true;
}

int FrameBlock::CountNot(Colour colour) const {
  int n = 0;
  for (Colour c : pixels) n += (c & 0xFFFFFF) != (colour & 0xFFFFFF);
  return n;
}

FrameBlock ReadFrameBlock(int x, int y, int w, int h) {
  FrameBlock block;
  block.x = x;
  block.y = y;
  if (!BeginScreenDrawing()) return block;
  block.w = w;
  block.h = h;
  block.pixels.reserve((size_t)w * h);
  for (int py = y; py < y + h; py++)
    for (int px = x; px < x + w; px++) block.pixels.push_back(ReadPixel(px, py));
  EndScreenDrawing();
  return block;
}

bool DrawsLikeFreshCopy(SpriteId id, const std::string& file) {
  const SpriteId fresh = 63;
  if (!LoadSpriteFile(fresh, std::string(ZYNTRAX_ASSET_DIR) + "/" + file, SPRITE_KEEP_ALPHA)) return false;
  int w = SpriteWidth(fresh), h = SpriteHeight(fresh);
  if (SpriteWidth(id) != w || SpriteHeight(id) != h) return false;
  const int margin = 24, left = 100, right = 100 + w + 3 * margin, top = 300;
  ClearFrame(Rgb(0, 0, 0));
  DrawSpriteOpaque(id, (float)left, (float)top);
  DrawSpriteOpaque(fresh, (float)right, (float)top);
  FrameBlock a = ReadFrameBlock(left - margin, top - margin, w + 2 * margin, h + 2 * margin);
  FrameBlock b = ReadFrameBlock(right - margin, top - margin, w + 2 * margin, h + 2 * margin);
  return !a.pixels.empty() && a.pixels == b.pixels;
}

void UseTimelineRow(int row) {
  timeline.clear();
  lastSceneIndex = -1;
  BuildTimeline();
  currentScene = row;
  sceneStart = 0;
}
