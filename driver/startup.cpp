// Start-up and the one exit path: start values, extraction, the launcher, the
// display in the chosen mode, every sprite and the music, then the first scene.
#include <cmath>
#include <cstdlib>

#include "audio/audio.h"
#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/font.h"
#include "render/image.h"
#include "render/sprite.h"

void InitTexts();  // driver/texts.cpp

void SetStartValues() {
  timeline.clear();
  lastSceneIndex = -1;
  currentScene = 0;
  screenWidth = DESIGN_WIDTH;
  screenHeight = DESIGN_HEIGHT;
  skipWindowEvents = 0;
  assetFolder = GetTempDirectory() + "ZORLA_VELDA5_2D/";
  for (int i = 0; i < 5; i++) headerImagePaths[i] = assetFolder + "haut" + std::to_string(i + 1) + ".png";
  fontPath = AssetPath("police20.png");
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

int OpenShowDisplay() {
  const char* title = "Velda Party 5";
  if (displayMode == 1) {
    if (!OpenFullscreenDisplay((int)screenWidth, (int)screenHeight, 32, title)) {
      screenWidth = desktopWidth;
      screenHeight = desktopHeight;
      if (!OpenFullscreenDisplay((int)screenWidth, (int)screenHeight, 32, title)) {
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
    if (!OpenWindowDisplay(1, 0, 0, (int)screenWidth, (int)screenHeight, 1)) {
      MessageBox("Erreur", "Impossible d'ouvrir le borderless plein écran.");
      return 0;
    }
  } else {
    ComputeWindowGeometry();
    OpenHostWindow(1, (int)windowX, (int)windowY, (int)windowWidth, (int)windowHeight, title, HOST_STYLE_CAPTION);
    if (!OpenWindowDisplay(1, 0, 0, (int)screenWidth, (int)screenHeight, (int)windowScaled)) {
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
  CloseScreen();
}

void ExitProgram() {
  StopShow();
  ShutdownPlatform();
  std::exit(0);
}

void StartProgram() {
  StartPlatform();
  SetStartValues();
  InitSprites();
  SoundInit();
  ExtractAssetPack();
  BuildTimeline();
}

int StartShow() {
  screenWidth = DESIGN_WIDTH;
  screenHeight = DESIGN_HEIGHT;
  desktopWidth = DesktopWidth();
  desktopHeight = DesktopHeight();
  if (!OpenShowDisplay()) return 0;
  LoadShowAssets();
  SeedStarfield();
  EnterScene(0);
  showStartMs = ElapsedMs();
  scrollX = (float)screenWidth;
  return 1;
}

int RunShow() {
  StartProgram();
  RunLauncher();
  if (QuitRequested()) ExitProgram();  // a signal during the launcher opens nothing
  if (!StartShow()) ExitProgram();
  MainLoop();
}
