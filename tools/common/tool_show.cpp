// Start-up shared by the benchmark, the soak run and the contact sheet (see tool_show.h).
#include "tools/common/tool_show.h"

#include <cstdio>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "render/sprite.h"

bool StartToolShow(const char* tool, const char* title, int winW, int winH, bool fullScreen) {
  SetStartValues();
  InitSprites();
  TestCaptureMessages(true);
  ExtractAssetPack();
  BuildTimeline();
  screenWidth = fullScreen ? winW : DESIGN_WIDTH;
  screenHeight = fullScreen ? winH : DESIGN_HEIGHT;
  const bool opened = fullScreen ? OpenFullscreenDisplay(winW, winH, 32, title)
                                 : OpenHostWindow(1, 0, 0, winW, winH, title, HOST_STYLE_CAPTION) &&
                                       OpenWindowDisplay(1, 0, 0, (int)screenWidth, (int)screenHeight,
                                                         winW != 1920 || winH != 1080);
  if (!opened) {
    std::fprintf(stderr, "%s: cannot open the display\n", tool);
    return false;
  }
  SetSwapInterval(0);
  LoadShowAssets();
  if (!TestCapturedMessages().empty()) std::fprintf(stderr, "%s", TestCapturedMessages().c_str());
  SeedStarfield();
  return true;
}
