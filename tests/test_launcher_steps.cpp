// The launcher run a step at a time (as a browser's animation frames run it),
// on the real GTK window under the test display: each step takes one control
// event, the controls carry the names the web page's elements get, and closing
// applies what they show.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "driver/driver.h"
#include "driver/launcher.h"
#include "platform/platform.h"
#include "render/image.h"
#include "render/sprite.h"

namespace {
// The widget of that name in any open top-level window.
GtkWidget* Named(const std::string& name) {
  std::function<GtkWidget*(GtkWidget*)> search = [&](GtkWidget* w) -> GtkWidget* {
    if (name == gtk_widget_get_name(w)) return w;
    if (!GTK_IS_CONTAINER(w)) return nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(w));
    GtkWidget* found = nullptr;
    for (GList* c = children; c && !found; c = c->next) found = search(GTK_WIDGET(c->data));
    g_list_free(children);
    return found;
  };
  GList* tops = gtk_window_list_toplevels();
  GtkWidget* found = nullptr;
  for (GList* t = tops; t && !found; t = t->next) found = search(GTK_WIDGET(t->data));
  g_list_free(tops);
  return found;
}

class LauncherSteps : public ::testing::Test {
 protected:
  void SetUp() override {
    SetStartValues();
    InitSprites();
    if (!OpenLauncher()) GTEST_SKIP() << "no display for the launcher window";
  }
  void TearDown() override {
    if (Named("launch")) CloseLauncher();
  }
};
}  // namespace

TEST_F(LauncherSteps, EachStepTakesOneEventAndLaunchEndsTheRun) {
  for (const char* name : {"launcher-picture", "credit", "mode-caption", "mode", "volume-caption", "volume",
                           "volume-label", "mute", "launch", "greeting"})
    EXPECT_NE(Named(name), nullptr) << name;
  GtkWidget* mode = Named("mode");
  GtkWidget* volume = Named("volume");
  GtkWidget* label = Named("volume-label");
  GtkWidget* launch = Named("launch");
  ASSERT_TRUE(mode && volume && label && launch);
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(label)), "80%");
  EXPECT_EQ(LauncherStep(), LAUNCHER_OPEN);  // nothing pending: the canvases are painted, no more

  // Three changes, then Launch: one event per step, the label following the slider.
  gtk_combo_box_set_active(GTK_COMBO_BOX(mode), 2);
  gtk_range_set_value(GTK_RANGE(volume), 35);
  gtk_button_clicked(GTK_BUTTON(launch));
  EXPECT_EQ(LauncherStep(), LAUNCHER_OPEN);
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(label)), "80%");
  EXPECT_EQ(LauncherStep(), LAUNCHER_OPEN);
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(label)), "35%");
  EXPECT_EQ(LauncherStep(), LAUNCHER_LAUNCH);

  CloseLauncher();
  EXPECT_EQ(Named("launch"), nullptr) << "the window is gone";
  EXPECT_EQ(displayMode, 2);
  EXPECT_EQ(musicVolume, 35);
  EXPECT_EQ(musicMuted, 0);
  EXPECT_EQ(skipWindowEvents, 0);
  EXPECT_FALSE(ImageExists(LAUNCHER_PICTURE)) << "the banner picture is freed with the window";
}

// Muting between steps: the label says so at once and the launch takes volume 0;
// a second open after a close starts from the defaults again.
TEST_F(LauncherSteps, MuteShowsAtTheNextStepAndReopeningStartsFresh) {
  GtkWidget* mute = Named("mute");
  ASSERT_NE(mute, nullptr);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(mute), TRUE);
  EXPECT_EQ(LauncherStep(), LAUNCHER_OPEN);
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(Named("volume-label"))), "Mute");
  gtk_button_clicked(GTK_BUTTON(Named("launch")));
  EXPECT_EQ(LauncherStep(), LAUNCHER_LAUNCH);
  CloseLauncher();
  EXPECT_EQ(displayMode, 1);
  EXPECT_EQ(musicMuted, 1);
  EXPECT_EQ(musicVolume, 0);

  ASSERT_TRUE(OpenLauncher());
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(Named("volume-label"))), "80%");
  EXPECT_FALSE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(Named("mute"))));
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(Named("mode"))), 1);
  EXPECT_EQ(LauncherStep(), LAUNCHER_OPEN);
}
