// The frame loop: input, the scene switch (EnterScene), the current row's effect
// as the effect table names it, the header band, the bottom scroller, the white
// scene-entry flash, and presenting; and the effect clock, which restarts with
// every pass through the timeline.
#include "driver/driver.h"
#include "driver/scene_area.h"
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
  const EffectRow* effect = timeline.empty() ? nullptr : FindEffect(timeline[(size_t)currentScene].effectNumber);
  for (SpriteId id = 20; id <= 23; id++) SetSpriteRotation(id, 0.0f, ROTATION_ABSOLUTE);
  if (effect && effect->enter) effect->enter();
  topBandOn = 1;
  bottomBandOn = 1;
  if (effect && !effect->bands) {
    topBandOn = 0;
    bottomBandOn = 0;
  }
}

void RunEffect(int64_t effectNumber) {
  const EffectRow* effect = FindEffect(effectNumber);
  if (!effect) return;
  effect->draw();
  if (effect->drawOver) effect->drawOver();
}

static void DrawBlackBand(int y) {
  if (!BeginScreenDrawing()) return;
  DrawBox(0, y, (int)screenWidth, (int)BAND_HEIGHT, Rgb(0, 0, 0));
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
  if (!SpriteExists(header)) return;
  DrawSpriteOpaque(header, 0.0f, 0.0f);
  // On a frame wider than the header picture (a full screen at a big
  // desktop's size) the rest of the band is black, not what was there before.
  const int64_t covered = SpriteWidth(header);
  if (covered < screenWidth && BeginScreenDrawing()) {
    DrawBox((int)covered, 0, (int)(screenWidth - covered), (int)BAND_HEIGHT, Rgb(0, 0, 0));
    EndScreenDrawing();
  }
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
    DrawBlackBand((int)ScrollerTop());
  DrawSceneFlash();
}

void MainLoop() {
  while (RunFrame()) {
  }
  ExitProgram();
}
