// The show's sprites: pictures loaded into memory and drawn as quads on the
// show frame (render/screen.h), sized, clipped and turned, opaque, blended or
// as tinted silhouettes. The display they end up on is platform/display.h.
#pragma once
#include <cstdint>
#include <string>
#include "platform/display.h"
#include "render/colour.h"

using SpriteId = int64_t;

constexpr int SPRITE_KEEP_ALPHA = 8;
constexpr int ROTATION_ABSOLUTE = 2;

int InitSprites();

SpriteId LoadSpriteFile(SpriteId id, const std::string& path, int flags);
// The same from PNG bytes in memory (a carried file read in place).
SpriteId LoadSpriteBytes(SpriteId id, const uint8_t* bytes, size_t size, int flags);
int SpriteExists(SpriteId id);
int SpriteWidth(SpriteId id);
int SpriteHeight(SpriteId id);
int SetSpriteSize(SpriteId id, int width, int height);
int SetSpriteRotation(SpriteId id, float degrees, int mode);
int ClipSprite(SpriteId id, int x, int y, int width, int height);
int DrawSpriteOpaque(SpriteId id, float x, float y);
// tint -1 keeps the picture's colours; any other value paints a silhouette.
int DrawSpriteBlended(SpriteId id, float x, float y, int intensity, int64_t tint = -1);
// Makes the show frame the target of the drawing primitives (render/draw.h);
// EndScreenDrawing (in draw.h) ends it. Nothing is copied: the primitives
// paint on the frame itself. 0 when no frame is open.
int BeginScreenDrawing();
void FreeAllSprites();
