// The program's entry point in a web browser: start-up, then one step per
// animation frame (the launcher's while it is open, the show's frame function
// while it runs). A page cannot exit: the end of the show brings the launcher
// back. With --test, the page's test interface calls the functions below.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/driver.h"
#include "driver/launcher.h"
#include "effects/effects.h"
#include "platform/display.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "render/sprite.h"
#include "render/sprite_paint.h"

namespace {
enum class Stage { LAUNCHER, SHOW, NONE };
Stage stage = Stage::NONE;

// Test options from the page (only with --test): a seed and a carried file to spoil.
bool testSeeded = false;
uint64_t testSeed = 0;

// The page's start-up: the launcher's display mode and music.
ShowStart PageStart() {
  ShowStart how;
  how.seeded = testSeeded;
  how.seed = testSeed;
  return how;
}

void ToLauncher() {
  StartProgram(PageStart());
  stage = OpenLauncher() ? Stage::LAUNCHER : Stage::NONE;
}

void EndShow() {
  StopShow();
  ToLauncher();
}

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
}  // namespace

extern "C" {
// One animation frame.
EMSCRIPTEN_KEEPALIVE void zyntrax_frame() {
  if (stage == Stage::LAUNCHER) {
    int step = LauncherStep();
    if (step != LAUNCHER_LAUNCH) return;
    CloseLauncher();
    if (!StartShow(PageStart())) {
      EndShow();
      return;
    }
    stage = Stage::SHOW;
  } else if (stage == Stage::SHOW) {
    if (!RunFrame()) EndShow();
  }
}

EMSCRIPTEN_KEEPALIVE int zyntrax_in_show() { return stage == Stage::SHOW ? 1 : 0; }

// ---- test interface (the page offers it only with test=1) ----
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

// The show entered at showMs the way the native comparison starts it: the
// start-up without music, windowed, the generator seeded, then EnterShowAt.
EMSCRIPTEN_KEEPALIVE int zyntrax_test_enter_show_at(double showMs) {
  if (stage == Stage::LAUNCHER) CloseLauncher();
  StopShow();
  ShowStart how = PageStart();
  how.music = false;
  how.entry = ShowStart::Entry::AT_FRAME;
  how.grid = FrameGrid{1000, 1};  // a millisecond grid: the frame is the time
  how.frame = (int64_t)showMs;
  StartProgram(how);
  displayMode = 0;
  if (!StartShow(how)) return 0;
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

EMSCRIPTEN_KEEPALIVE void zyntrax_test_advance(double ms) { DriveClock(ElapsedMs() + (int64_t)ms); }
}

// Arguments (from the page, with test=1 only): --test [--seed=N] [--clock=MS] [--spoil=NAME.png]
int main(int argc, char** argv) {
  bool test = false;
  std::string spoil;
  int64_t clock = -1;
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    if (a == "--test") test = true;
    else if (a.rfind("--seed=", 0) == 0) testSeed = std::strtoull(a.c_str() + 7, nullptr, 10), testSeeded = true;
    else if (a.rfind("--clock=", 0) == 0) clock = std::strtoll(a.c_str() + 8, nullptr, 10);
    else if (a.rfind("--spoil=", 0) == 0) spoil = a.substr(8);
  }
  if (!test) {
    testSeeded = false;
    clock = -1;
    spoil.clear();
  }
  if (clock >= 0) DriveClock(clock);
  // The page is built without threads: a second painting thread cannot start
  // there, and the browser reports its cores all the same.
  SetPaintThreads(1);
  StartPlatform();
  StartProgram(PageStart());
  if (!spoil.empty()) SpoilCarriedFile(spoil);
  stage = OpenLauncher() ? Stage::LAUNCHER : Stage::NONE;
  return 0;
}
