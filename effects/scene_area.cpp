// ClearSceneArea, which most scenes start their frame with: the area between
// the header band and the scroller band in one colour.
#include "driver/driver.h"
#include "driver/scene_area.h"
#include "render/draw.h"
#include "render/sprite.h"

void ClearSceneArea(int r, int g, int b) {
  if (!BeginScreenDrawing()) return;
  FillSceneArea(Rgb(r, g, b));
  EndScreenDrawing();
}
