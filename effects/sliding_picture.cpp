// The sliding picture shared by the starfield, the wave bars and the twisters:
// where it stands at the current clock and its draw. Keeps no state; the tuning
// belongs to each scene.
#include "effects/sliding_picture.h"

#include <algorithm>

#include "driver/driver.h"
#include "driver/scene_area.h"
#include "platform/platform.h"
#include "render/sprite.h"

float SlideLeftEdge(const Slide& slide) {
  const float p = std::clamp((float)(ElapsedMs() - sceneStart) * slide.rate, 0.0f, 1.0f);
  const float u = 1.0f - p;
  const float e = 1.0f - u * u * u;
  const float W = (float)screenWidth;
  return W * slide.from + (W * slide.to - W * slide.from) * e;
}

void DrawSlide(const Slide& slide) {
  const SpriteId id = slide.sprite;
  if (!SpriteExists(id)) return;
  const float y = (float)SceneHeight() * slide.centre - (float)SpriteHeight(id) / 2.0f + (float)SCENE_TOP;
  DrawSpriteBlended(id, SlideLeftEdge(slide), y, (int)slide.intensity);
}
