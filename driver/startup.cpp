// Start-up and the one exit path: start values, extraction, the launcher, the
// display in the chosen mode, every sprite and the music, then the first scene.
#include <cmath>
#include <cstdlib>

#include "audio/audio.h"
#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/display.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/font.h"
#include "render/image.h"
#include "render/screen.h"
#include "render/sprite.h"

void InitTexts();  // driver/texts.cpp

void SetStartValues() {
  timeline.clear();
  lastSceneIndex = -1;
  currentScene = 0;
  screenWidth = DESIGN_WIDTH;
  screenHeight = DESIGN_HEIGHT;
  skipWindowEvents = 0;
  UseAssetFolder(GetTempDirectory() + "ZORLA_VELDA5_2D/");
  fontReady = 0;
  fontSprite = -1;
  InitTexts();
  InitAllEffects();
  displayMode = 1;
  musicVolume = 80;
  musicMuted = 0;
  SCENE_FLASH_MS = 450;
  SCROLL_CROSS_MS = 170000;
  topBandOn = 1;
  bottomBandOn = 1;
  sceneFlashActive = 0;
  passCount = firstPassStartMs = passStartMs = 0;
  cacheReady = 0;
  cacheWidth = 0;
  cacheHeight = 0;
  cacheTexels.assign(1, 0);
  measuredText.clear();
  measuredWidth = 0;
  scrollX = 0.0f;
}

void ComputeWindowGeometry() {
  windowWidth = screenWidth;
  windowHeight = screenHeight;
  windowScaled = 0;
  windowScale = 1.0f;
  if (desktopWidth < screenWidth || desktopHeight < screenHeight) {
    float sx = (float)desktopWidth / (float)screenWidth;
    float sy = (float)desktopHeight / (float)screenHeight;
    windowScale = (sx < sy ? sx : sy) * 0.92f;
    windowWidth = (int64_t)std::nearbyint((float)screenWidth * windowScale);
    windowHeight = (int64_t)std::nearbyint((float)screenHeight * windowScale);
    windowScaled = 1;
  }
  windowX = (desktopWidth - windowWidth) / 2;
  windowY = (desktopHeight - windowHeight) / 2;
  if (windowX < 0) windowX = 0;
  if (windowY < 0) windowY = 0;
}

int OpenDisplayFrame() {
  FreeAllSprites();
  CloseFrame();
  DisplayInfo d = CurrentDisplay();
  if (d.open && OpenFrame(d.logicalWidth, d.logicalHeight)) {
    ClearFrameBlack();
    return 1;
  }
  CloseScreen();
  return 0;
}

void CloseShowScreen() {
  FreeAllSprites();
  CloseFrame();
  CloseScreen();
}

int PresentShowFrame() { return PresentFrame(FinishedFrame()); }

int OpenShowDisplay() {
  const char* title = "Velda Party 5";
  if (displayMode == 1) {
    if (!OpenFullscreenDisplay((int)screenWidth, (int)screenHeight, 32, title) || !OpenDisplayFrame()) {
      screenWidth = desktopWidth;
      screenHeight = desktopHeight;
      if (!OpenFullscreenDisplay((int)screenWidth, (int)screenHeight, 32, title) || !OpenDisplayFrame()) {
        MessageBox("Erreur", "Impossible d'ouvrir le plein écran.");
        return 0;
      }
    }
  } else if (displayMode == 2) {
    windowX = 0;
    windowY = 0;
    windowWidth = desktopWidth;
    windowHeight = desktopHeight;
    OpenHostWindow(1, 0, 0, (int)desktopWidth, (int)desktopHeight, title, HOST_STYLE_BORDERLESS);
    if (!OpenWindowDisplay(1, 0, 0, (int)screenWidth, (int)screenHeight, 1) || !OpenDisplayFrame()) {
      MessageBox("Erreur", "Impossible d'ouvrir le borderless plein écran.");
      return 0;
    }
  } else {
    ComputeWindowGeometry();
    OpenHostWindow(1, (int)windowX, (int)windowY, (int)windowWidth, (int)windowHeight, title, HOST_STYLE_CAPTION);
    if (!OpenWindowDisplay(1, 0, 0, (int)screenWidth, (int)screenHeight, (int)windowScaled) || !OpenDisplayFrame()) {
      MessageBox("Erreur", "Impossible d'ouvrir le mode fenêtré 1920x1080.");
      return 0;
    }
  }
  if (displayMode == 1 || displayMode == 2) ShowDisplayCursor(false);
  return 1;
}

void BuildRotozoomCache() {
  if (!ImageExists(ROTOZOOM_PICTURE)) {
    cacheReady = 0;
    return;
  }
  cacheWidth = ImageWidth(ROTOZOOM_PICTURE);
  cacheHeight = ImageHeight(ROTOZOOM_PICTURE);
  if (cacheWidth <= 0 || cacheHeight <= 0) {
    cacheReady = 0;
    return;
  }
  cacheTexels.assign((size_t)(cacheWidth * cacheHeight), 0);
  if (!BeginImageDrawing(ROTOZOOM_PICTURE)) {
    cacheReady = 0;
    return;
  }
  for (int64_t y = 0; y < cacheHeight; y++)
    for (int64_t x = 0; x < cacheWidth; x++)
      cacheTexels[(size_t)(x + y * cacheWidth)] = ReadPixel((int)x, (int)y);
  EndScreenDrawing();
  cacheReady = 1;
}

void StopShow() {
  SoundShutdown();
  CloseShowScreen();
}

void ExitProgram() {
  StopShow();
  ShutdownPlatform();
  std::exit(0);
}

namespace {
// A captioned window of the tool's size showing the 1920 x 1080 picture,
// stretched when the sizes differ, or full screen at the tool's size; frames
// as fast as they come.
int OpenToolDisplay(const ShowStart& how) {
  if (how.display == ShowStart::Display::TOOL_FULL_SCREEN) {
    screenWidth = how.windowWidth;
    screenHeight = how.windowHeight;
    if (!OpenFullscreenDisplay(how.windowWidth, how.windowHeight, 32, how.title) || !OpenDisplayFrame()) return 0;
  } else if (!OpenHostWindow(1, 0, 0, how.windowWidth, how.windowHeight, how.title, HOST_STYLE_CAPTION) ||
             !OpenWindowDisplay(1, 0, 0, (int)screenWidth, (int)screenHeight,
                                how.windowWidth != screenWidth || how.windowHeight != screenHeight) ||
             !OpenDisplayFrame()) {
    return 0;
  }
  SetSwapInterval(0);
  return 1;
}

int OpenShowScreen(const ShowStart& how) {
  switch (how.display) {
    case ShowStart::Display::LAUNCHER_MODE:
      desktopWidth = DesktopWidth();
      desktopHeight = DesktopHeight();
      return OpenShowDisplay();
    case ShowStart::Display::TOOL_WINDOW:
    case ShowStart::Display::TOOL_FULL_SCREEN:
      return OpenToolDisplay(how);
    case ShowStart::Display::NONE:
      return OpenFrame((int)screenWidth, (int)screenHeight);
  }
  return 0;
}
}  // namespace

void StartProgram(const ShowStart& how) {
  if (how.clockMs >= 0) DriveClock(how.clockMs);
  SetStartValues();
  InitSprites();
  CollectMessages(how.collectMessages);
  if (how.collectMessages) ClearCollectedMessages();
  if (how.music) SoundInit();
  if (!how.assetFolder.empty())
    UseAssetFolder(how.assetFolder);
  else if (!how.carriedInMemory)
    ExtractAssetPack();
  BuildTimeline();
}

int StartShow(const ShowStart& how) {
  screenWidth = DESIGN_WIDTH;
  screenHeight = DESIGN_HEIGHT;
  if (!OpenShowScreen(how)) return 0;
  if (!how.music) {
    musicMuted = 1;
    musicVolume = 0;
  }
  if (how.seeded) SeedRandom(how.seed);
  if (!LoadShowAssets(how)) return 0;
  SeedStarfield();
  switch (how.entry) {
    case ShowStart::Entry::NOW:
      EnterScene(0);
      showStartMs = ElapsedMs();
      scrollX = (float)screenWidth;
      break;
    case ShowStart::Entry::AT_FRAME:
      EnterShowAt(how.grid, how.frame);
      break;
    case ShowStart::Entry::CALLER:
      break;
  }
  return 1;
}

int StartShowAlone(const ShowStart& how) {
  StartProgram(how);
  return StartShow(how);
}
