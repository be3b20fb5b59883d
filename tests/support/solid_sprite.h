// Test pictures of one flat colour loaded as sprites, so that scene geometry
// can be checked by exact pixels whatever the shipped pictures look like.
#pragma once
#include "render/colour.h"
#include "render/sprite.h"

// Loads a width x height picture of colour c under id: 32-bit with full alpha
// and SPRITE_KEEP_ALPHA, or 24-bit without flags (as the backgrounds are).
bool LoadSolidSprite(SpriteId id, int width, int height, Colour c, bool keepAlpha = true);
