// Built for Windows: puts one test picture on a borderless 1280 x 720 window
// at the desktop's corner through the presenter named (gl or dib, or auto: the
// program's own choice), stretched from the 1920 x 1080 frame, prints the
// presenter in use and the window's pixel format (0: none) and keeps the
// window up for the given seconds, so that the test tree can grab the screen.
//   present_check gl|dib|auto <seconds>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/display.h"
#include "platform/platform.h"
#include "platform/windows/win32.h"
#include "render/draw.h"
#include "render/screen.h"
#include "render/sprite.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string presenter = argv[1];
  StartPlatform();
  InitSprites();
  if (presenter != "auto") ChoosePresenter(presenter == "gl" ? PRESENTER_GL : PRESENTER_SURFACE);
  if (!OpenHostWindow(1, 0, 0, 1280, 720, "present check", HOST_STYLE_BORDERLESS) ||
      !OpenWindowDisplay(1, 0, 0, 1920, 1080, 1) || !OpenFrame(1920, 1080)) {
    std::printf("no display\n");
    return 1;
  }
  SetSwapInterval(0);
  if (!BeginScreenDrawing()) return 1;
  SetDrawingMode(DRAW_MODE_DEFAULT);
  DrawBox(0, 0, 1920, 1080, Rgb(10, 20, 40));
  // Bands one, two and three pixels wide: stretching by 2/3 keeps or drops
  // each by the nearest-pixel rule, the same way on both presenters.
  for (int x = 0; x < 1920; x += 7) DrawBox(x, 100, 1 + x % 3, 300, Rgb(255, x % 256, 0));
  for (int y = 500; y < 900; y += 5) DrawBox(200, y, 1500, 1 + y % 2, Rgb(0, 200, y % 256));
  DrawCircle(960, 700, 150, Rgb(250, 250, 250));
  SetDrawingMode(DRAW_MODE_TRANSPARENT_TEXT);
  DrawTextAt(100, 950, u"ZYNTRAX présente", Rgb(255, 255, 0));
  EndScreenDrawing();
  const int64_t until = ElapsedMs() + std::atoi(argv[2]) * 1000;
  HWND window = FindWindowW(nullptr, L"present check");
  HDC dc = window ? GetDC(window) : nullptr;
  std::printf("%s\npixel format %d\n", CurrentDisplay().presenter == PRESENTER_GL ? "gl" : "dib",
              dc ? GetPixelFormat(dc) : -1);
  if (dc) ReleaseDC(window, dc);
  std::fflush(stdout);
  while (ElapsedMs() < until && !QuitRequested()) {
    PresentFrame(FinishedFrame());
    Delay(50);
  }
  CloseScreen();
  CloseFrame();
  ShutdownPlatform();
  return 0;
}
