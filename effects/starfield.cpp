// Rotating starfield: 400 stars flying at the viewer while the field turns about
// the scene centre, and the tall picture that glides in from the right. Owns the
// star tables, which live from start-up seeding to the end of the process.
#include "effects/starfield.h"

#include <cmath>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/sprite.h"

float StarX[STAR_COUNT], StarY[STAR_COUNT], StarZ[STAR_COUNT];
int64_t STAR_PICTURE;
float STAR_SLIDE_RATE, STAR_SLIDE_FROM, STAR_SLIDE_TO, STAR_SLIDE_CENTRE;

void InitStarfield() {
  for (int i = 0; i < STAR_COUNT; i++) StarX[i] = StarY[i] = StarZ[i] = 0.0f;
  STAR_PICTURE = 24;
  STAR_SLIDE_RATE = 0.0001f;
  STAR_SLIDE_FROM = 2.05f;
  STAR_SLIDE_TO = 0.75f;
  STAR_SLIDE_CENTRE = 0.5f;
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
  const float cx = (float)(screenWidth / 2);
  const float cy = (float)((screenHeight - 400) / 2 + 200);
  const float top = 200.0f, bottom = (float)(screenHeight - 200);
  const float dz = s * 10.0f;
  const float ca = std::cos(a), sa = std::sin(a);
  if (draw) DrawBox(0, 200, (int)screenWidth, (int)screenHeight - 400, Rgb(0, 0, 0));
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
    int size = (int)std::nearbyint(5.0f - z / 260.0f);
    if (size < 1) size = 1;
    if (draw && sx >= 0.0f && sx < W && sy >= top && sy < bottom)
      DrawBox((int)std::nearbyint(sx), (int)std::nearbyint(sy), size, size, Rgb(255, 255, 255));
  }
}

void DrawStarfield() {
  const float a = (float)EffectClockMs() * 0.0007f;
  const bool drawing = BeginScreenDrawing() != 0;
  StepStarfield(CurrentSpeedFactor(), a, drawing);
  if (drawing) EndScreenDrawing();
}

float SlidingPictureX() {
  float t = (float)(ElapsedMs() - sceneStart) * STAR_SLIDE_RATE;
  if (t > 1.0f) t = 1.0f;
  const float u = 1.0f - t;
  const float e = 1.0f - u * u * u;
  const float W = (float)screenWidth;
  return STAR_SLIDE_FROM * W + (STAR_SLIDE_TO * W - STAR_SLIDE_FROM * W) * e;
}

void DrawSlidingPicture() {
  const SpriteId id = STAR_PICTURE;
  if (!SpriteExists(id)) return;
  const float y = (float)(screenHeight - 400) * STAR_SLIDE_CENTRE - (float)SpriteHeight(id) / 2.0f + 200.0f;
  DrawSpriteBlended(id, SlidingPictureX(), y, 255);
}
