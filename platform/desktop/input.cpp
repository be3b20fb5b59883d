// Window events and the Escape key on the desktop: close requests of the show
// window, and Escape read from SDL's event queue and keyboard state once per frame.
#include <SDL.h>

#include "platform/desktop/video.h"
#include "platform/platform.h"
#include "platform/target.h"

int PollWindowEvent() {
  int e = VideoNextEvent();
  return e == VIDEO_CLOSE_REQUEST ? WINDOW_CLOSE_EVENT : e;
}

// The held keys, and the key events taken out of the queue so that an Escape
// tap shorter than a frame still counts.
bool ReadEscape() {
  bool down = VideoTakeEscapePress();
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return down;
  SDL_PumpEvents();
  SDL_Event keys[32];
  int n;
  while ((n = SDL_PeepEvents(keys, 32, SDL_GETEVENT, SDL_KEYDOWN, SDL_KEYUP)) > 0)
    for (int i = 0; i < n; i++)
      if (keys[i].type == SDL_KEYDOWN && keys[i].key.keysym.scancode == SDL_SCANCODE_ESCAPE) down = true;
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  if (state && SDL_SCANCODE_ESCAPE < count && state[SDL_SCANCODE_ESCAPE]) down = true;
  return down;
}
