// The show's state: the driver's globals (see driver.h), which the driver
// writes and the effects read, and the two readings made from them. It calls
// nothing of the driver's, so the effects can link it without the driver.
// SetStartValues in startup.cpp gives them their start values.
#include "driver/driver.h"
#include "platform/platform.h"

int64_t screenWidth = DESIGN_WIDTH, screenHeight = DESIGN_HEIGHT;
int64_t desktopWidth = 0, desktopHeight = 0;
int64_t displayMode = 1;
int64_t skipWindowEvents = 0;
int64_t musicVolume = 80;
int64_t musicMuted = 0;
int64_t windowX = 0, windowY = 0, windowWidth = 0, windowHeight = 0;
float windowScale = 1.0f;
int64_t windowScaled = 0;

std::string assetFolder;
std::string headerImagePaths[5];
std::string launcherImagePath;

std::u16string scrollText;
std::u16string launcherText;

std::vector<TimelineRecord> timeline;
int64_t lastSceneIndex = -1;
int64_t currentScene = 0;
int64_t sceneStart = 0;
int64_t frameNowMs = 0;
int64_t showStartMs = 0;
int64_t topBandOn = 1, bottomBandOn = 1;
int64_t sceneFlashStartMs = 0, sceneFlashActive = 0;
int64_t SCENE_FLASH_MS = 450;
int64_t SCROLL_CROSS_MS = 170000;
int64_t passCount = 0, firstPassStartMs = 0, passStartMs = 0;

int64_t cachedSpriteWidth[64], cachedSpriteHeight[64];

int64_t cacheReady = 0;
int64_t cacheWidth = 0, cacheHeight = 0;
std::vector<uint64_t> cacheTexels(1);

std::string AssetPath(const char* fileName) { return assetFolder + fileName; }

float CurrentSpeedFactor() {
  if (currentScene < 0 || currentScene >= (int64_t)timeline.size()) return 4.0f;
  return timeline[(size_t)currentScene].speedFactor;
}

int64_t EffectClockMs() { return ElapsedMs() - passStartMs + firstPassStartMs; }
