// GTK's one start, for the launcher window and the message boxes.
#include "platform/desktop/gtk/gtk_start.h"

#include <gtk/gtk.h>

#include <chrono>
#include <cstdlib>
#include <thread>

bool GtkStart() {
  static int state = 0;  // 1 started, -1 no display
  if (state != 0) return state > 0;
  // Without a Wayland compositor named, only X11 is tried, as for SDL.
  if (!std::getenv("WAYLAND_DISPLAY")) gdk_set_allowed_backends("x11");
  bool named = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
  for (int attempt = 0; state == 0; attempt++) {
    if (gtk_init_check(nullptr, nullptr))
      state = 1;
    else if (!named || attempt >= 5)
      state = -1;
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return state > 0;
}
