// What the shared platform files and a target's own files hand each other;
// nothing above platform/ includes this. Each target defines the two
// functions; the shared files own the state.
#pragma once
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/pixels.h"

// Shows one message box as the target can (MessageBox decides whether to).
void ShowMessageBox(const std::string& title, const std::string& text);
// True when Escape was pressed since the last call or is held now; called
// once per PollKeyboard.
bool ReadEscape();

// The open display's description, which the target's display.cpp keeps
// current and CurrentDisplay returns (display_info.cpp).
extern DisplayInfo shownDisplay;

// The launcher canvases' pixels (launcher_canvases.cpp): a width x height
// BGR888 picture per canvas id, black when made. LauncherAddCanvas makes one,
// LauncherWindowClose forgets them all.
PixelView MakeCanvasBuffer(int id, int width, int height);
void ForgetCanvasBuffers();
