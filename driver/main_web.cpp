// The program's entry point in a web browser: start-up, then one step per
// animation frame (the launcher's while it is open, the show's frame function
// while it runs). A page cannot exit: the end of the show brings the launcher
// back, and every launch starts the clocks from 0. The page built for the
// browser tests (ZYNTRAX_WEB_TEST) also offers the test functions below.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/driver.h"
#include "driver/launcher.h"
#include "effects/effects.h"
#include "platform/display.h"
#include "platform/platform.h"
#include "platform/web/page.h"
#include "render/screen.h"
#include "render/sprite.h"

namespace {
// OPENING: Launch was pressed with full screen chosen, and the browser has
// not yet answered the request that the click made.
enum class Stage { LAUNCHER, OPENING, SHOW, NONE };
Stage stage = Stage::NONE;
constexpr int FULLSCREEN_MODE = 1;  // the launcher's "Fullscreen 1920 x 1080"
constexpr int64_t GREETING_STEP_MS = 10;
int64_t greetingMs = 0;  // the clock time up to which the greeting has moved

// Test options from the page (test builds only): a seed and a carried file to spoil.
bool testSeeded = false;
uint64_t testSeed = 0;
bool testCrash = false;

void ToLauncher() {
  StartProgram();
  if (testSeeded) TestSeedRandom(testSeed);
  stage = OpenLauncher() ? Stage::LAUNCHER : Stage::NONE;
  greetingMs = ElapsedMs();
}

void EndShow() {
  StopShow();
  ToLauncher();
}

void StartTheShow() {
  RestartClock();
  if (!StartShow()) {
    EndShow();
    return;
  }
  stage = Stage::SHOW;
}

// Steps of the greeting due since the last frame: one per 10 ms of the clock.
int GreetingSteps() {
  const int64_t now = ElapsedMs();
  if (now < greetingMs) greetingMs = now;
  const int64_t steps = (now - greetingMs) / GREETING_STEP_MS;
  greetingMs += steps * GREETING_STEP_MS;
  return steps > 1000 ? 1000 : (int)steps;
}

// The windowed show follows the page when its size in device pixels changes.
void FollowPageSize() {
  const int width = DesktopWidth(), height = DesktopHeight();
  if (displayMode != 0 || (width == desktopWidth && height == desktopHeight)) return;
  desktopWidth = width;
  desktopHeight = height;
  ComputeWindowGeometry();
  PlaceShowWindow((int)windowX, (int)windowY, (int)windowWidth, (int)windowHeight);
}

#ifdef ZYNTRAX_WEB_TEST
// Garbage of the file's own length, so that a later extraction keeps it.
void SpoilCarriedFile(const std::string& name) {
  std::string bytes;
  std::string path = AssetPath(name.c_str());
  if (!ReadWholeFile(path, bytes)) return;
  for (size_t i = 0; i < bytes.size(); i++) bytes[i] = (char)(i * 7 + 13);
  intptr_t file = CreateFileForWrite(path);
  if (!file) return;
  WriteData(file, bytes.data(), (int64_t)bytes.size());
  CloseFile(file);
}
#endif
}  // namespace

extern "C" {
// One animation frame.
EMSCRIPTEN_KEEPALIVE void zyntrax_frame() {
  if (testCrash) __builtin_trap();
  FollowPageLife();
  if (stage == Stage::LAUNCHER) {
    if (LauncherStep(GreetingSteps()) != LAUNCHER_LAUNCH) return;
    CloseLauncher();
    if (displayMode == FULLSCREEN_MODE) {
      stage = Stage::OPENING;
      return;
    }
    StartTheShow();
  } else if (stage == Stage::OPENING) {
    if (FullscreenRequestSettled()) StartTheShow();
  } else if (stage == Stage::SHOW) {
    FollowPageSize();
    if (!RunFrame()) EndShow();
  }
}

EMSCRIPTEN_KEEPALIVE int zyntrax_in_show() { return stage == Stage::SHOW ? 1 : 0; }

#ifdef ZYNTRAX_WEB_TEST
// ---- test interface (only the page built for the browser tests has it) ----
// The driver's clocks and row as JSON.
EMSCRIPTEN_KEEPALIVE const char* zyntrax_test_state() {
  static char text[256];
  const bool show = stage == Stage::SHOW;
  std::snprintf(text, sizeof text, "{\"screen\":\"%s\",\"row\":%lld,\"sceneMs\":%lld,\"effectMs\":%lld,\"elapsedMs\":%lld}",
                show ? "show" : "launcher", (long long)(show ? currentScene : 0),
                (long long)(show ? ElapsedMs() - sceneStart : 0), (long long)(show ? EffectClockMs() : 0),
                (long long)ElapsedMs());
  return text;
}

// The show entered at showMs the way the native tools start it: start values,
// the carried files loaded (music muted), the generator seeded, then EnterShowAt.
EMSCRIPTEN_KEEPALIVE int zyntrax_test_enter_show_at(double showMs) {
  if (stage == Stage::LAUNCHER) CloseLauncher();
  StopShow();
  SetStartValues();
  InitSprites();
  BuildTimeline();
  screenWidth = DESIGN_WIDTH;
  screenHeight = DESIGN_HEIGHT;
  desktopWidth = DesktopWidth();
  desktopHeight = DesktopHeight();
  displayMode = 0;
  musicMuted = 1;
  musicVolume = 0;
  if (!OpenShowDisplay()) return 0;
  if (testSeeded) TestSeedRandom(testSeed);
  LoadShowAssets();
  SeedStarfield();
  EnterShowAt(FrameGrid{1000, 1}, (int64_t)showMs);  // a millisecond grid: the frame is the time
  stage = Stage::SHOW;
  return 1;
}

// Exactly one frame function on the driven clock (the animation frame's).
EMSCRIPTEN_KEEPALIVE void zyntrax_test_paint_frame() {
  if (stage == Stage::SHOW && !RunFrame()) EndShow();
}

EMSCRIPTEN_KEEPALIVE const uint8_t* zyntrax_test_frame(int* width, int* height, int* stride) {
  FrameView f = FinishedFrame();
  *width = f.width;
  *height = f.height;
  *stride = f.stride;
  return f.pixels;
}

EMSCRIPTEN_KEEPALIVE void zyntrax_test_advance(double ms) { TestAdvanceClock((int64_t)ms); }

// The next animation frame traps, as a fault in the frame function would.
EMSCRIPTEN_KEEPALIVE void zyntrax_test_crash() { testCrash = true; }
#endif
}

#ifdef ZYNTRAX_WEB_TEST
// Arguments from the test page: [--seed=N] [--clock=MS] [--spoil=NAME.png]
void ReadTestArguments(int argc, char** argv, std::string& spoil) {
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    if (a.rfind("--seed=", 0) == 0) testSeed = std::strtoull(a.c_str() + 7, nullptr, 10), testSeeded = true;
    else if (a.rfind("--clock=", 0) == 0) TestSetClock(std::strtoll(a.c_str() + 8, nullptr, 10));
    else if (a.rfind("--spoil=", 0) == 0) spoil = a.substr(8);
  }
}
#endif

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
  std::string spoil;
#ifdef ZYNTRAX_WEB_TEST
  ReadTestArguments(argc, argv, spoil);
#endif
  WatchFullscreenClick(FULLSCREEN_MODE);
  StartProgram();
#ifdef ZYNTRAX_WEB_TEST
  if (!spoil.empty()) SpoilCarriedFile(spoil);
#endif
  if (testSeeded) TestSeedRandom(testSeed);
  stage = OpenLauncher() ? Stage::LAUNCHER : Stage::NONE;
  greetingMs = ElapsedMs();
  return 0;
}
