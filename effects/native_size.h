// A sprite's own size: as start-up cached it after loading, or as the sprite
// reports it where start-up cached nothing.
#pragma once
#include "driver/driver.h"
#include "render/sprite.h"

inline int NativeSpriteWidth(SpriteId id) {
  bool cached = id >= 0 && id < 64 && cachedSpriteWidth[id] >= 1;
  return cached ? (int)cachedSpriteWidth[id] : SpriteWidth(id);
}
inline int NativeSpriteHeight(SpriteId id) {
  bool cached = id >= 0 && id < 64 && cachedSpriteHeight[id] >= 1;
  return cached ? (int)cachedSpriteHeight[id] : SpriteHeight(id);
}
