// Message boxes on the desktop: a modal GTK dialog kept above the show
// window, the plain box (SDL's, or standard error) where GTK cannot open one.
#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_X11
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#endif

#include "platform/desktop/gtk/gtk_start.h"
#include "platform/desktop/plain_box.h"
#include "platform/desktop/video.h"
#include "platform/platform.h"
#include "platform/target.h"

namespace {
// A quit signal closes the box, so a box that start-up waits on never holds
// the program back from its exit path.
gboolean CloseOnQuit(gpointer dialog) {
  if (QuitRequested()) gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CLOSE);
  return G_SOURCE_CONTINUE;
}

// Transient for the show window, so the window manager stacks the box above a
// full-screen show instead of behind it.
void StayAboveShow(GtkWidget* dialog) {
#ifdef GDK_WINDOWING_X11
  unsigned long parent = VideoShowWindowX11();
  GdkWindow* window = gtk_widget_get_window(dialog);
  if (!parent || !window || !GDK_IS_X11_WINDOW(window)) return;
  Display* display = GDK_WINDOW_XDISPLAY(window);
  XSetTransientForHint(display, GDK_WINDOW_XID(window), (Window)parent);
  XFlush(display);
#endif
}

bool ShowGtkBox(const std::string& title, const std::string& text) {
  if (!GtkStart()) return false;
  GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER, GTK_BUTTONS_OK, "%s",
                                             text.c_str());
  if (!dialog) return false;
  gtk_window_set_title(GTK_WINDOW(dialog), title.c_str());
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
  gtk_widget_realize(dialog);
  StayAboveShow(dialog);
  guint watch = g_timeout_add(50, CloseOnQuit, dialog);
  gtk_dialog_run(GTK_DIALOG(dialog));
  g_source_remove(watch);
  gtk_widget_destroy(dialog);
  while (gtk_events_pending()) gtk_main_iteration();
  return true;
}
}  // namespace

void ShowMessageBox(const std::string& title, const std::string& text) {
  if (!ShowGtkBox(title, text)) ShowPlainMessageBox(title, text);
}
