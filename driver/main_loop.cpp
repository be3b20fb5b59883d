// The frame loop: input, the scene switch, the current row's effect, the header
// band, the bottom scroller, the white scene-entry flash, and presenting; and the
// effect clock, which restarts with every pass through the timeline.
#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/font.h"
#include "render/sprite.h"

void EnterScene(int64_t n) {
  currentScene = n;
  if (n > lastSceneIndex || n < 0) currentScene = 0;
  sceneStart = ElapsedMs();
  sceneFlashStartMs = ElapsedMs();
  sceneFlashActive = 1;
  if (currentScene == 0) {
    if (passCount == 0) firstPassStartMs = sceneStart;
    passStartMs = sceneStart;
    passCount = passCount + 1;
  }
  int64_t effect = timeline.empty() ? -1 : timeline[(size_t)currentScene].effectNumber;
  if (effect == 14) ResetAvalanche();
  if (effect == 19) ResetBlinkingBillboards();
  for (SpriteId id = 20; id <= 23; id++) SetSpriteRotation(id, 0.0f, ROTATION_ABSOLUTE);
  if (effect == 10) ResetSuctionParticles();
  topBandOn = 1;
  bottomBandOn = 1;
  if (effect == 18) {
    topBandOn = 0;
    bottomBandOn = 0;
  }
}

void RunEffect(int64_t effectNumber) {
  switch (effectNumber) {
    case 0: DrawStarfield(); DrawSlidingPicture(); break;
    case 1: DrawBluePlasma(); DrawGlitchWord(u"ZYNTRAX", 450); break;
    case 2: DrawBillboardCarousel(); break;
    case 3: DrawBillboardSpiral(); break;
    case 4: DrawBillboardWave(); break;
    case 5: DrawKickRings(); break;
    case 6: DrawSpriteRain(); break;
    case 7: DrawRotozoom(); break;
    case 8: DrawWaveBars(); DrawSlideInFromLeft(); break;
    case 9: DrawSegmentedBars(); break;
    case 10: DrawBlackHole(); break;
    case 11: DrawRibbonTwisters(); break;
    case 13: DrawFakeEqualizer(); break;
    case 14: DrawLogoAvalanche(); break;
    case 15: DrawRedPlasma(); break;
    case 17: DrawFloatingBillboards(); break;
    case 18: DrawFinale(); break;
    case 19: DrawBlinkingBillboardWave(); break;
    default: break;
  }
}

static void DrawBlackBand(int y) {
  if (!BeginScreenDrawing()) return;
  DrawBox(0, y, (int)screenWidth, 200, Rgb(0, 0, 0));
  EndScreenDrawing();
}

static void DrawHeaderBand(const TimelineRecord& row) {
  if (topBandOn != 1) {
    DrawBlackBand(0);
    return;
  }
  if (!row.headerText.empty()) {
    float x = (float)((screenWidth - MeasureFontText(row.headerText, 1.0f)) / 2);
    DrawFontText(row.headerText, x, 235.0f, Rgb(255, 255, 255), 255, 1.0f);
  }
  SpriteId header = row.headerImage + 1;
  if (SpriteExists(header)) DrawSpriteOpaque(header, 0.0f, 0.0f);
}

static void DrawSceneFlash() {
  if (sceneFlashActive != 1) return;
  int64_t e = ElapsedMs() - sceneFlashStartMs;
  if (e >= SCENE_FLASH_MS) {
    sceneFlashActive = 0;
    return;
  }
  int64_t alpha = 255 - (e * 255) / SCENE_FLASH_MS;
  if (!BeginScreenDrawing()) return;
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  DrawBox(0, 0, (int)screenWidth, (int)screenHeight, Rgba(255, 255, 255, (int)alpha));
  EndScreenDrawing();
}

void UpdateSceneTime() {
  frameNowMs = ElapsedMs();
  if (SceneTimeIsUp(frameNowMs)) EnterScene(currentScene + 1);
}

bool RunFrame() {
  if (QuitRequested()) return false;
  if (skipWindowEvents == 0) {
    while (int event = PollWindowEvent()) {
      if (event == WINDOW_CLOSE_EVENT) return false;
    }
  }
  PollKeyboard();
  if (KeyDown(KEY_ESCAPE)) return false;

  UpdateSceneTime();
  DrawFrame();
  PresentShowFrame();
  Delay(1);
  return true;
}

void DrawFrame() {
  const TimelineRecord& row = timeline[(size_t)currentScene];
  RunEffect(row.effectNumber);
  DrawHeaderBand(row);
  if (bottomBandOn == 1)
    DrawBottomScroller();
  else
    DrawBlackBand((int)screenHeight - 200);
  DrawSceneFlash();
}

void MainLoop() {
  while (RunFrame()) {
  }
  ExitProgram();
}
