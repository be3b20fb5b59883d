// The desktop's message box without GTK: SDL's simple box, standard error
// where no display can show it.
#include "platform/desktop/plain_box.h"

#include <SDL.h>

#include <cstdio>

void ShowPlainMessageBox(const std::string& title, const std::string& text) {
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr) == 0) return;
  std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}
