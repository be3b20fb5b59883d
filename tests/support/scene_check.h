// Helpers for the scene tests: the real pictures as sprites, blocks of the
// current frame read in one pass, and a check that a sprite an effect has
// resized or turned draws exactly like a freshly loaded copy again.
#pragma once
#include <string>
#include <vector>

#include "render/colour.h"
#include "render/sprite.h"

// Loads a picture of the asset folder with the alpha option and caches its
// size where start-up would (cachedSpriteWidth / Height). False on failure.
bool LoadAssetSprite(SpriteId id, const std::string& file);

// The w x h block of the current frame at (x, y), row by row.
struct FrameBlock {
  int x = 0, y = 0, w = 0, h = 0;
  std::vector<Colour> pixels;
  Colour At(int px, int py) const { return pixels[(size_t)(py - y) * w + (px - x)]; }
  // Pixels of the block that differ from `colour`.
  int CountNot(Colour colour) const;
};
FrameBlock ReadFrameBlock(int x, int y, int w, int h);

// Draws `id` and a fresh load of `file` side by side, opaque, and compares the
// two blocks (with a margin that would catch a turned corner).
bool DrawsLikeFreshCopy(SpriteId id, const std::string& file);

// The timeline built and `row` made current, without entering it.
void UseTimelineRow(int row);
