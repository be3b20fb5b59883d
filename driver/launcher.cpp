// The launcher dialog: display mode, music volume and mute before the show, with
// the launcher banner waving on one canvas and the greeting scrolling on another.
#include "driver/launcher.h"

#include <cmath>

#include "driver/driver.h"
#include "platform/launcher_window.h"
#include "platform/platform.h"
#include "render/draw.h"
#include "render/image.h"

namespace {
// Layout scaling; DPI scaling of the layout is off, so both keep the value.
int ScaleX(int v) { return v; }
int ScaleY(int v) { return v; }

// The canvas's pixels become the drawing output; ending it shows them.
void ShowCanvasWhenDone(void* id) { LauncherShowCanvas((int)(intptr_t)id); }
bool BeginCanvasDrawing(int id) {
  PixelView v = LauncherCanvas(id);
  return v.pixels && BeginBufferDrawing(v.pixels, v.width, v.height, BytesPerPixel(v.layout), v.stride, false,
                                        ShowCanvasWhenDone, (void*)(intptr_t)id);
}

void DrawBannerCanvas(int w, int h, float t) {
  if (!BeginCanvasDrawing(CANVAS_PICTURE)) return;
  DrawBox(0, 0, w, h, Rgb(0, 0, 0));
  if (ImageExists(LAUNCHER_PICTURE)) {
    int imageW = ImageWidth(LAUNCHER_PICTURE), imageH = ImageHeight(LAUNCHER_PICTURE);
    BannerFit fit = FitBanner(w, h, imageW, imageH);
    for (int i = 0; i < h; i += 2) {
      BannerStrip strip = BannerStripAt(fit, i, t, imageH);
      if (strip.sourceRows <= 0) continue;
      CopyImageRegion(LAUNCHER_STRIP, LAUNCHER_PICTURE, 0, strip.sourceRow, imageW, strip.sourceRows);
      DrawImageAt(LAUNCHER_STRIP, fit.x0 + strip.shift, i, fit.drawnWidth, 2);
    }
  } else {
    SetDrawingMode(DRAW_MODE_TRANSPARENT_TEXT);
    DrawTextAt(w / 2 - ScaleX(140), h / 2 - ScaleY(10), u"VELDA PARTY 5", Rgb(255, 255, 255));
  }
  EndScreenDrawing();
}

void DrawGreetingCanvas(int w, int h, float& position, int steps) {
  if (!BeginCanvasDrawing(CANVAS_SCROLLER)) return;
  DrawBox(0, 0, w, h, Rgb(200, 200, 200));
  SetDrawingMode(DRAW_MODE_TRANSPARENT_TEXT);
  DrawTextAt(position, ScaleY(8), launcherText, Rgb(5, 5, 5));
  const int textWidth = TextWidth(launcherText);
  for (int i = 0; i < steps; i++) position = NextGreetingPosition(position, textWidth, w);
  EndScreenDrawing();
}
}  // namespace

std::string VolumeLabel(int muted, int position) {
  if (muted) return "Mute";
  return std::to_string(position) + "%";
}

void ApplyLaunchSettings(int comboIndex, int trackPosition, int muted) {
  screenWidth = DESIGN_WIDTH;
  screenHeight = DESIGN_HEIGHT;
  displayMode = comboIndex;
  skipWindowEvents = comboIndex == 1 ? 1 : 0;
  musicVolume = trackPosition;
  musicMuted = muted ? 1 : 0;
  if (musicMuted) musicVolume = 0;
}

BannerFit FitBanner(int canvasW, int canvasH, int imageW, int imageH) {
  float a = (float)imageW / (float)imageH;
  int dh = (int)std::nearbyint((float)canvasW / a);
  int dw = canvasW;
  if (dh < canvasH) {
    dw = (int)std::nearbyint((float)canvasH * a);
    dh = canvasH;
  }
  return {dw, dh, (canvasW - dw) / 2, (canvasH - dh) / 2};
}

BannerStrip BannerStripAt(const BannerFit& fit, int i, float t, int imageH) {
  BannerStrip s;
  s.shift = (int)std::nearbyint(std::sin(t + (float)i * 0.07f) * (float)ScaleX(12));
  s.sourceRow = (int)((int64_t)(i - fit.y0) * imageH / fit.drawnHeight);
  if (s.sourceRow < 0) s.sourceRow = 0;
  if (s.sourceRow > imageH - 1) s.sourceRow = imageH - 1;
  s.sourceRows = 2 * imageH / fit.drawnHeight;
  if (s.sourceRows < 1) s.sourceRows = 1;
  if (s.sourceRows > imageH - s.sourceRow) s.sourceRows = imageH - s.sourceRow;
  return s;
}

float NextGreetingPosition(float position, int textWidth, int canvasWidth) {
  position = position - (float)ScaleX(2);
  if (position < (float)-textWidth) position = (float)canvasWidth;
  return position;
}

namespace {
// The open dialog's state between two steps.
int volumeLabel = -1;
float greetingPosition = 0.0f;
constexpr int PICTURE_W = 600, PICTURE_H = 200, SCROLLER_W = 600, SCROLLER_H = 34;
}  // namespace

bool OpenLauncher() {
  screenWidth = DESIGN_WIDTH;
  screenHeight = DESIGN_HEIGHT;
  if (!LauncherWindowOpen("Velda Party 5 - Setup", 640, 530)) return false;
  const int pictureW = ScaleX(PICTURE_W), pictureH = ScaleY(PICTURE_H);
  const int scrollerW = ScaleX(SCROLLER_W), scrollerH = ScaleY(SCROLLER_H);
  LauncherAddCanvas(CANVAS_PICTURE, ScaleX(20), ScaleY(20), pictureW, pictureH, "launcher-picture");
  LauncherAddLabel(ScaleX(80), ScaleY(245), ScaleX(500), ScaleY(35), "ZYNTRAX BY ZORLA-WORX. in 07/2026", "credit");
  LauncherAddLabel(ScaleX(80), ScaleY(290), ScaleX(160), ScaleY(35), "Display mode", "mode-caption");
  LauncherAddCombo(GADGET_MODE, ScaleX(240), ScaleY(287), ScaleX(360), ScaleY(40),
                   {"Windowed 1920 x 1080", "Fullscreen 1920 x 1080", "Borderless desktop scaled"}, 1, "mode");
  LauncherAddLabel(ScaleX(80), ScaleY(335), ScaleX(160), ScaleY(35), "Music volume", "volume-caption");
  LauncherAddTrackBar(GADGET_VOLUME, ScaleX(240), ScaleY(330), ScaleX(220), ScaleY(35), 0, 100, 80, "volume");
  volumeLabel = LauncherAddLabel(ScaleX(470), ScaleY(335), ScaleX(80), ScaleY(35), "80%", "volume-label");
  LauncherAddCheckBox(GADGET_MUTE, ScaleX(240), ScaleY(370), ScaleX(220), ScaleY(25), "Mute music", "mute");
  LauncherAddButton(GADGET_LAUNCH, ScaleX(240), ScaleY(415), ScaleX(200), ScaleY(45), "Launch", "launch");
  LauncherAddCanvas(CANVAS_SCROLLER, ScaleX(20), ScaleY(485), scrollerW, scrollerH, "greeting");
  greetingPosition = (float)scrollerW;
  LoadImageFile(LAUNCHER_PICTURE, launcherImagePath);
  return true;
}

int LauncherStep(int greetingSteps) {
  int gadget = 0;
  int event = LauncherPollEvent(&gadget);
  if (event == WINDOW_CLOSE_EVENT || QuitRequested()) return LAUNCHER_CLOSED;
  if (event == LAUNCHER_GADGET_EVENT) {
    if (gadget == GADGET_VOLUME || gadget == GADGET_MUTE)
      LauncherSetLabel(volumeLabel, VolumeLabel(LauncherGadgetState(GADGET_MUTE), LauncherGadgetState(GADGET_VOLUME)));
    if (gadget == GADGET_LAUNCH) return LAUNCHER_LAUNCH;
  }
  float t = (float)ElapsedMs() * 0.004f;
  DrawBannerCanvas(ScaleX(PICTURE_W), ScaleY(PICTURE_H), t);
  DrawGreetingCanvas(ScaleX(SCROLLER_W), ScaleY(SCROLLER_H), greetingPosition, greetingSteps);
  return LAUNCHER_OPEN;
}

void CloseLauncher() {
  ApplyLaunchSettings(LauncherGadgetState(GADGET_MODE), LauncherGadgetState(GADGET_VOLUME),
                      LauncherGadgetState(GADGET_MUTE));
  LauncherWindowClose();
  FreeImage(LAUNCHER_PICTURE);
  FreeImage(LAUNCHER_STRIP);
}

void RunLauncher() {
  if (!OpenLauncher()) return;  // no display: the show says so
  while (true) {
    int step = LauncherStep();
    if (step == LAUNCHER_CLOSED) {
      LauncherWindowClose();
      ExitProgram();
    }
    if (step == LAUNCHER_LAUNCH) break;
    Delay(10);
  }
  CloseLauncher();
}
