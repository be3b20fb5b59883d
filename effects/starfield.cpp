// Rotating starfield: 400 stars flying at the viewer while the field turns about
// the scene centre, and the tall picture that glides in from the right. Owns the
// star tables, which live from start-up seeding to the end of the process.
#include "effects/starfield.h"

#include <cmath>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "effects/effects.h"
#include "effects/nearest.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/sprite.h"

float StarX[STAR_COUNT], StarY[STAR_COUNT], StarZ[STAR_COUNT];
Slide STAR_SLIDE;

void InitStarfield() {
  for (int i = 0; i < STAR_COUNT; i++) StarX[i] = StarY[i] = StarZ[i] = 0.0f;
  STAR_SLIDE = {24, 0.0001f, 2.05f, 0.75f, 0.5f, 255};
}

void SeedStarfield() {
  for (int i = 0; i < STAR_COUNT; i++) {
    StarX[i] = (float)(RandomInt(2400) - 1200);
    StarY[i] = (float)(RandomInt(1400) - 700);
    StarZ[i] = (float)(RandomInt(1200) + 80);
  }
}

void StepStarfield(float s, float a, bool draw) {
  const float W = (float)screenWidth;
  const float cx = (float)SceneCentreX();
  const float cy = (float)SceneCentreY();
  const float top = (float)SCENE_TOP, bottom = (float)ScrollerTop();
  const float dz = s * 10.0f;
  const float ca = std::cos(a), sa = std::sin(a);
  if (draw) FillSceneArea(Rgb(0, 0, 0));
  for (int i = 0; i < STAR_COUNT; i++) {
    StarZ[i] = StarZ[i] - dz;
    if (StarZ[i] < 10.0f) {
      StarX[i] = (float)(RandomInt(2400) - 1200);
      StarY[i] = (float)(RandomInt(1400) - 700);
      StarZ[i] = 1200.0f;
    }
    const float x = StarX[i], y = StarY[i], z = StarZ[i];
    const float rx = x * ca - y * sa;
    const float ry = x * sa + y * ca;
    const float sx = cx + rx * 500.0f / z;
    const float sy = cy + ry * 500.0f / z;
    int size = Nearest(5.0f - z / 260.0f);
    if (size < 1) size = 1;
    if (draw && sx >= 0.0f && sx < W && sy >= top && sy < bottom)
      DrawBox(Nearest(sx), Nearest(sy), size, size, Rgb(255, 255, 255));
  }
}

void DrawStarfield() {
  const float a = (float)EffectClockMs() * 0.0007f;
  const bool drawing = BeginScreenDrawing() != 0;
  StepStarfield(CurrentSpeedFactor(), a, drawing);
  if (drawing) EndScreenDrawing();
}

float SlidingPictureX() { return SlideLeftEdge(STAR_SLIDE); }

void DrawSlidingPicture() { DrawSlide(STAR_SLIDE); }
