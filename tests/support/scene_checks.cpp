// Colour counts over memory pictures and the show's start-up for scene tests.
#include "support/scene_checks.h"

#include <string>

#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/font.h"

int CountColour(const MemoryOutput& out, Colour c) {
  int n = 0;
  for (int y = 0; y < out.height; y++)
    for (int x = 0; x < out.width; x++) n += out.At(x, y) == c;
  return n;
}

bool RowTouched(const MemoryOutput& out, int y) {
  for (int x = 0; x < out.width; x++)
    if (out.At(x, y) != UNTOUCHED_COLOUR) return true;
  return false;
}

void StartShowForTest(int64_t clockMs, uint64_t seed) {
  SetStartValues();
  assetFolder = std::string(ZYNTRAX_ASSET_DIR) + "/";
  for (int i = 0; i < 5; i++) headerImagePaths[i] = assetFolder + "haut" + std::to_string(i + 1) + ".png";
  fontPath = assetFolder + "police20.png";
  BuildTimeline();
  TestCaptureMessages(true);
  TestClearMessages();
  TestSetClock(clockMs);
  TestSeedRandom(seed);
  LoadShowAssets();
  SeedStarfield();
  showStartMs = clockMs;
}
