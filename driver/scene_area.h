// The frame's three bands: the header band on top, the scene area the effects
// draw in, and the scroller band at the bottom, from the screen size. Every
// place that needs a band's edge or the scene centre reads it here.
#pragma once
#include <cstdint>

#include "driver/driver.h"
#include "render/colour.h"
#include "render/draw.h"

constexpr int64_t BAND_HEIGHT = 200;         // the header band, and the scroller band
constexpr int64_t SCENE_TOP = BAND_HEIGHT;   // first line of the scene area
// Lines in the scene area.
inline int64_t SceneHeight() { return screenHeight - 2 * BAND_HEIGHT; }
// First line of the scroller band, just below the scene area.
inline int64_t ScrollerTop() { return screenHeight - BAND_HEIGHT; }
// The scene centre, in whole pixels.
inline int64_t SceneCentreX() { return screenWidth / 2; }
inline int64_t SceneCentreY() { return SceneHeight() / 2 + SCENE_TOP; }
// The whole scene area as one box, inside a drawing pair.
inline void FillSceneArea(Colour colour) { DrawBox(0, (int)SCENE_TOP, (int)screenWidth, (int)SceneHeight(), colour); }
