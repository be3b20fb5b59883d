// What the glitching text drew on its last call, layer by layer, in order.
#pragma once
#include "render/colour.h"

struct GlitchLayer {
  float x, y;
  Colour colour;
};
constexpr int GLITCH_MAX_LAYERS = 16;
extern GlitchLayer glitchLayers[GLITCH_MAX_LAYERS];
extern int glitchLayerCount;
