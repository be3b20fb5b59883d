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

// Reads the held keys, and takes the key events out of the queue so that an
// Escape tap shorter than a frame still counts.
void PollKeyboard() {
  escapeDown = testEscape || VideoTakeEscapePress();
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_PumpEvents();
  SDL_Event keys[32];
  int n;
  while ((n = SDL_PeepEvents(keys, 32, SDL_GETEVENT, SDL_KEYDOWN, SDL_KEYUP)) > 0)
    for (int i = 0; i < n; i++)
      if (keys[i].type == SDL_KEYDOWN && keys[i].key.keysym.scancode == SDL_SCANCODE_ESCAPE) escapeDown = true;
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  if (state && SDL_SCANCODE_ESCAPE < count && state[SDL_SCANCODE_ESCAPE]) escapeDown = true;
}

int KeyDown(int scanCode) { return scanCode == KEY_ESCAPE && escapeDown ? 1 : 0; }

void TestPressEscape(bool down) { testEscape = down; }
