// The launcher's window on the desktop, in GTK 3: a GtkFixed layout, the
// canvases shown from their pixel buffers (launcher_canvases.cpp) through
// cairo pictures, its events queued (launcher_events.cpp).
#include "platform/launcher_window.h"

#include "platform/desktop/gtk/gtk_start.h"

#include <gtk/gtk.h>

#include <map>

#include "platform/platform.h"
#include "platform/target.h"

namespace {
struct Canvas {
  GtkWidget* area = nullptr;
  cairo_surface_t* surface = nullptr;  // CAIRO_FORMAT_RGB24: XRGB8888
};

GtkWidget* window = nullptr;
GtkWidget* layout = nullptr;
bool gtkReady = false;
std::map<int, GtkWidget*> gadgets;
std::vector<GtkWidget*> labels;
std::map<int, Canvas> canvases;

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer) {
  QueueLauncherEvent(WINDOW_CLOSE_EVENT, 0);
  return TRUE;  // the launcher decides; the window stays until it is closed
}
void OnGadget(GtkWidget*, gpointer id) { QueueLauncherEvent(LAUNCHER_GADGET_EVENT, GPOINTER_TO_INT(id)); }

gboolean OnCanvasDraw(GtkWidget*, cairo_t* cr, gpointer id) {
  auto it = canvases.find(GPOINTER_TO_INT(id));
  if (it == canvases.end() || !it->second.surface) return FALSE;
  cairo_set_source_surface(cr, it->second.surface, 0, 0);
  cairo_paint(cr);
  return TRUE;
}

void Place(GtkWidget* w, int x, int y, int width, int height, const std::string& name) {
  if (!name.empty()) gtk_widget_set_name(w, name.c_str());
  gtk_widget_set_size_request(w, width, height);
  gtk_fixed_put(GTK_FIXED(layout), w, x, y);
  gtk_widget_show(w);
}
}  // namespace

bool LauncherWindowOpen(const std::string& title, int width, int height) {
  gtkReady = GtkStart();
  if (!gtkReady) return false;
  window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), title.c_str());
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), width, height);
  gtk_widget_set_size_request(window, width, height);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), nullptr);
  layout = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(window), layout);
  gtk_widget_show(layout);
  gtk_widget_show(window);
  return true;
}

void LauncherWindowClose() {
  for (auto& [id, c] : canvases)
    if (c.surface) cairo_surface_destroy(c.surface);
  canvases.clear();
  ForgetCanvasBuffers();
  gadgets.clear();
  labels.clear();
  ForgetLauncherEvents();
  if (window) gtk_widget_destroy(window);
  window = layout = nullptr;
  while (gtkReady && gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

int LauncherAddLabel(int x, int y, int width, int height, const std::string& text, const std::string& name) {
  GtkWidget* w = gtk_label_new(text.c_str());
  gtk_label_set_xalign(GTK_LABEL(w), 0.0f);
  Place(w, x, y, width, height, name);
  labels.push_back(w);
  return (int)labels.size() - 1;
}

void LauncherSetLabel(int handle, const std::string& text) {
  if (handle >= 0 && handle < (int)labels.size()) gtk_label_set_text(GTK_LABEL(labels[(size_t)handle]), text.c_str());
}

void LauncherAddCombo(int id, int x, int y, int width, int height, const std::vector<std::string>& items,
                      int selected, const std::string& name) {
  GtkWidget* w = gtk_combo_box_text_new();
  for (const std::string& item : items) gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(w), item.c_str());
  gtk_combo_box_set_active(GTK_COMBO_BOX(w), selected);
  g_signal_connect(w, "changed", G_CALLBACK(OnGadget), GINT_TO_POINTER(id));
  Place(w, x, y, width, height, name);
  gtk_widget_grab_focus(w);  // the display mode takes the keyboard first
  gadgets[id] = w;
}

void LauncherAddTrackBar(int id, int x, int y, int width, int height, int low, int high, int position,
                         const std::string& name) {
  GtkWidget* w = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, low, high, 1);
  gtk_scale_set_draw_value(GTK_SCALE(w), FALSE);
  gtk_range_set_value(GTK_RANGE(w), position);
  g_signal_connect(w, "value-changed", G_CALLBACK(OnGadget), GINT_TO_POINTER(id));
  Place(w, x, y, width, height, name);
  gadgets[id] = w;
}

void LauncherAddCheckBox(int id, int x, int y, int width, int height, const std::string& text,
                         const std::string& name) {
  GtkWidget* w = gtk_check_button_new_with_label(text.c_str());
  g_signal_connect(w, "toggled", G_CALLBACK(OnGadget), GINT_TO_POINTER(id));
  Place(w, x, y, width, height, name);
  gadgets[id] = w;
}

void LauncherAddButton(int id, int x, int y, int width, int height, const std::string& text,
                       const std::string& name) {
  GtkWidget* w = gtk_button_new_with_label(text.c_str());
  g_signal_connect(w, "clicked", G_CALLBACK(OnGadget), GINT_TO_POINTER(id));
  Place(w, x, y, width, height, name);
  gadgets[id] = w;
}

void LauncherAddCanvas(int id, int x, int y, int width, int height, const std::string& name) {
  Canvas& c = canvases[id];
  MakeCanvasBuffer(id, width, height);
  c.area = gtk_drawing_area_new();
  c.surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  g_signal_connect(c.area, "draw", G_CALLBACK(OnCanvasDraw), GINT_TO_POINTER(id));
  Place(c.area, x, y, width, height, name);
}

int LauncherGadgetState(int id) {
  auto it = gadgets.find(id);
  if (it == gadgets.end()) return 0;
  GtkWidget* w = it->second;
  if (GTK_IS_COMBO_BOX(w)) return gtk_combo_box_get_active(GTK_COMBO_BOX(w));
  if (GTK_IS_TOGGLE_BUTTON(w)) return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(w)) ? 1 : 0;
  if (GTK_IS_RANGE(w)) return (int)(gtk_range_get_value(GTK_RANGE(w)) + 0.5);
  return 0;
}

int LauncherPollEvent(int* gadget) {
  while (gtkReady && gtk_events_pending()) gtk_main_iteration_do(FALSE);
  return TakeLauncherEvent(gadget);
}

void LauncherShowCanvas(int id) {
  auto it = canvases.find(id);
  PixelView pixels = LauncherCanvas(id);
  if (it == canvases.end() || !it->second.surface || !pixels.pixels) return;
  Canvas& c = it->second;
  cairo_surface_flush(c.surface);
  PixelView shown{cairo_image_surface_get_data(c.surface), cairo_image_surface_get_width(c.surface),
                  cairo_image_surface_get_height(c.surface), cairo_image_surface_get_stride(c.surface),
                  PixelLayout::XRGB8888};
  ConvertPixels(pixels, shown);
  cairo_surface_mark_dirty(c.surface);
  gtk_widget_queue_draw(c.area);
}
