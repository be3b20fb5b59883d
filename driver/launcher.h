// The launcher dialog's own logic, kept apart from its window so that it can be
// checked on its own: the volume label, the launch settings and the waving banner.
#pragma once
#include <string>

constexpr int LAUNCHER_PICTURE = 900;  // the launcher's picture
constexpr int LAUNCHER_STRIP = 901;    // one strip of it at a time
constexpr int GADGET_LAUNCH = 3, GADGET_MODE = 4, GADGET_VOLUME = 5, GADGET_MUTE = 6;
constexpr int CANVAS_PICTURE = 1000, CANVAS_SCROLLER = 1001;

// The dialog one step at a time, for loops that cannot wait (a browser's
// animation frames): OpenLauncher lays it out (false without a display);
// LauncherStep handles one event and repaints both canvases, the greeting
// moved on by greetingSteps steps (one per 10 ms iteration of the desktop's
// loop); CloseLauncher applies the chosen settings and closes it.
constexpr int LAUNCHER_OPEN = 0, LAUNCHER_LAUNCH = 1, LAUNCHER_CLOSED = 2;
bool OpenLauncher();
int LauncherStep(int greetingSteps = 1);
void CloseLauncher();

// "Mute" while the box is ticked, else the slider value followed by "%".
std::string VolumeLabel(int muted, int position);
// Writes displayMode, skipWindowEvents, musicVolume, musicMuted and the screen size.
void ApplyLaunchSettings(int comboIndex, int trackPosition, int muted);

// Where the banner lands on its canvas: drawn size and offsets.
struct BannerFit {
  int drawnWidth, drawnHeight, x0, y0;
};
BannerFit FitBanner(int canvasW, int canvasH, int imageW, int imageH);
// One 2-pixel strip of the waving banner at canvas row i and time t (radians).
struct BannerStrip {
  int shift, sourceRow, sourceRows;
};
BannerStrip BannerStripAt(const BannerFit& fit, int i, float t, int imageH);

// Scroll position of the greeting after one step: 2 pixels left, back to the
// right edge once the whole text has left on the left.
float NextGreetingPosition(float position, int textWidth, int canvasWidth);
