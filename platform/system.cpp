// The platform layer's own shutdown.
#include "platform/platform.h"

#include <SDL.h>

void ShutdownPlatform() { SDL_Quit(); }
