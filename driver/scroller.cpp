// The bottom scroller: the long scroll text crossing the scroller band once,
// on its own clock from the show start. Owns the scroll position.
#include "driver/driver.h"
#include "driver/scene_area.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/font.h"
#include "render/sprite.h"

std::u16string measuredText;
int64_t measuredWidth = 0;
float scrollX = 0.0f;

void DrawBottomScroller() {
  if (BeginScreenDrawing()) {
    DrawBox(0, (int)ScrollerTop(), (int)screenWidth, (int)BAND_HEIGHT, Rgb(0, 0, 0));
    EndScreenDrawing();
  }
  if (scrollText != measuredText || measuredWidth <= 0) {
    measuredWidth = MeasureFontText(scrollText, 1.0f);
    measuredText = scrollText;
  }
  float p = (float)(ElapsedMs() - showStartMs) / (float)SCROLL_CROSS_MS;
  if (p < 0.0f) p = 0.0f;
  if (p > 1.0f) p = 1.0f;
  float w = (float)screenWidth;
  scrollX = w - (w + (float)measuredWidth) * p;
  DrawFontText(scrollText, scrollX, (float)(ScrollerTop() + 80), Rgb(200, 255, 255), 255, 1.0f);
}
