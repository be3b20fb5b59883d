// The launcher's window and controls, in the target's own toolkit (GTK on the
// desktop, HTML in a page): a fixed-layout window with labels, a combo box, a
// track bar, a check box, a button and pixel canvases, and a queue of the
// events they raise.
#pragma once
#include <string>
#include <vector>

#include "platform/pixels.h"

constexpr int LAUNCHER_GADGET_EVENT = 1;  // a control changed or was pressed

// ---- each target provides ----------------------------------------------------
// Opens the window centred on the screen with a close box; false without a display.
bool LauncherWindowOpen(const std::string& title, int width, int height);
void LauncherWindowClose();
// Controls, placed at (x, y) with the given size; ids are the caller's. The
// name is the control's name in the window system (a widget name, an element id).
int LauncherAddLabel(int x, int y, int width, int height, const std::string& text,
                     const std::string& name = "");  // returns a handle
void LauncherSetLabel(int handle, const std::string& text);
void LauncherAddCombo(int id, int x, int y, int width, int height, const std::vector<std::string>& items,
                      int selected, const std::string& name = "");
void LauncherAddTrackBar(int id, int x, int y, int width, int height, int low, int high, int position,
                         const std::string& name = "");
void LauncherAddCheckBox(int id, int x, int y, int width, int height, const std::string& text,
                         const std::string& name = "");
void LauncherAddButton(int id, int x, int y, int width, int height, const std::string& text,
                       const std::string& name = "");
void LauncherAddCanvas(int id, int x, int y, int width, int height, const std::string& name = "");
// Combo index, track bar position, or check box state (1 ticked).
int LauncherGadgetState(int id);
// Handles what the window system has pending, then takes one queued event:
// WINDOW_CLOSE_EVENT, LAUNCHER_GADGET_EVENT (with *gadget set) or 0.
int LauncherPollEvent(int* gadget);
// Puts the canvas's pixels (LauncherCanvas) on the window.
void LauncherShowCanvas(int id);

// ---- shared by every target (launcher_canvases.cpp) -------------------------------
// The canvas's pixels, BGR888 rows top to bottom, for the caller to paint;
// no pixels when there is no such canvas. Valid until the window closes.
PixelView LauncherCanvas(int id);
