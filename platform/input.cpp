// Window events and the keyboard for the main loop: close requests of the show
// window, and the Escape key read from SDL's keyboard state once per frame.
#include <SDL.h>

#include "platform/platform.h"
#include "platform/video.h"

namespace {
bool escapeDown = false;
bool testEscape = false;
}  // namespace

int PollWindowEvent() {
  int e = VideoNextEvent();
  return e == VIDEO_CLOSE_REQUEST ? WINDOW_CLOSE_EVENT : e;
}

void PollKeyboard() {
  escapeDown = testEscape;
  if (SDL_WasInit(SDL_INIT_VIDEO)) {
    SDL_PumpEvents();
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    if (keys && SDL_SCANCODE_ESCAPE < count && keys[SDL_SCANCODE_ESCAPE]) escapeDown = true;
  }
}

int KeyDown(int scanCode) { return scanCode == KEY_ESCAPE && escapeDown ? 1 : 0; }

void TestPressEscape(bool down) { testEscape = down; }
