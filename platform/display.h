// The show's display: the window it appears in (exclusive full screen or
// inside a host window, stretched or not) and presenting the finished frame
// there once a frame. No SDL or GL type shows through this header.
#pragma once
#include <cstdint>
#include <string>

// Host window styles for OpenHostWindow.
constexpr int HOST_STYLE_CAPTION = 1;     // title bar with a close box
constexpr int HOST_STYLE_BORDERLESS = 2;  // plain popup over the desktop

// How the frame reaches the window. AUTO, the default, picks GL where the GL
// renderer is a hardware one and the window surface otherwise.
constexpr int PRESENTER_AUTO = 0;
constexpr int PRESENTER_GL = 1;
constexpr int PRESENTER_SURFACE = 2;

// Desktop size of the primary display (0 when there is no display).
int DesktopWidth();
int DesktopHeight();

int OpenFullscreenDisplay(int width, int height, int depth, const std::string& title);
// Host windows are numbered by the caller; returns non-zero on success.
int OpenHostWindow(int number, int x, int y, int width, int height, const std::string& title, int style);
int OpenWindowDisplay(int hostWindow, int x, int y, int width, int height, int autoStretch,
                      int rightOffset = 0, int bottomOffset = 0);
void CloseScreen();
// Shows or hides the mouse cursor over the display.
void ShowDisplayCursor(bool show);
// Puts the finished frame on the display; 0 when no display is open.
int PresentFrame();
// 1: one frame per display refresh (the vertical retrace where the presenter
// can wait for it, a paced loop where it cannot); 0: as fast as frames come
// (the benchmark, tests). Non-zero when accepted.
int SetSwapInterval(int interval);
// The presenter the next display will use (PRESENTER_*); the open one is kept.
void ChoosePresenter(int presenter);

struct DisplayInfo {
  bool open = false;
  bool windowed = false;
  int presenter = PRESENTER_AUTO;  // the one in use: PRESENTER_GL or PRESENTER_SURFACE
  int logicalWidth = 0, logicalHeight = 0;
  // Where the picture lies in the window's drawable, top-left origin.
  int pictureX = 0, pictureY = 0, pictureWidth = 0, pictureHeight = 0;
  uint32_t windowId = 0;  // SDL id of the window shown in
  double refreshHz = 0;
};
DisplayInfo CurrentDisplay();
