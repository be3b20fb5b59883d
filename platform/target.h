// What the shared platform files and a target's own files hand each other;
// nothing above platform/ includes this. Each target defines the two
// functions; the shared files own the state.
#pragma once
#include <chrono>
#include <cstdint>
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

// The launcher's pending events (launcher_events.cpp), for a target whose
// toolkit raises them in callbacks: at most 256 wait; TakeLauncherEvent
// returns 0 when none does, else the event with *gadget set.
void QueueLauncherEvent(int event, int gadget);
int TakeLauncherEvent(int* gadget);
void ForgetLauncherEvents();

// ---- the open display's record (display_record.cpp) -------------------------------
// The desktop and Windows keep one record of the open display and share what
// follows from it; each keeps its own windows and makes the window system's
// calls. The web page describes its canvas in shownDisplay alone.

// The picture's rectangle in the window's drawable, top-left origin.
struct PictureRect {
  int x = 0, y = 0, width = 0, height = 0;
};
// Where the picture goes in its host window: top-left at (x, y), at its
// logical size, or stretched over the host less the right and bottom offsets.
struct PicturePlace {
  int x = 0, y = 0;
  bool stretch = false;
  int rightOffset = 0, bottomOffset = 0;
};
// The rectangle of a width x height picture placed in a hostWidth x
// hostHeight drawable; a stretched one keeps at least a pixel each way.
PictureRect PlacePicture(const PicturePlace& place, int width, int height, int hostWidth, int hostHeight);

struct DisplayRecord {
  bool open = false;
  bool windowed = false;
  PicturePlace place;
  int presenter = PRESENTER_AUTO;
  int logicalWidth = 0, logicalHeight = 0;
  PictureRect picture;
  uint32_t windowId = 0;
  int swapInterval = 1;
  bool retraceWaits = false;  // the GL presenter's swap waits for the vertical retrace
  double refreshHz = 60;
  std::chrono::steady_clock::time_point nextFrame;
};
// The open display (every field at its default while none is); the targets
// read it, the functions below change it and publish it in shownDisplay.
extern DisplayRecord displayRecord;

// The presenter ChoosePresenter asked for (PRESENTER_*).
int RequestedPresenter();
// A new record for a width x height display in a window whose drawable is
// hostWidth x hostHeight: full screen (the picture fills the window) or
// windowed, placed as place says. It is not open yet.
void BeginDisplayRecord(bool windowed, const PicturePlace& place, int width, int height, int hostWidth,
                        int hostHeight);
// The display is shown in window windowId by presenter, on a screen refreshing
// at refreshHz.
void DisplayOpened(uint32_t windowId, int presenter, double refreshHz);
// The shown window's drawable is now width x height: a stretched picture follows.
void FollowHostSize(int width, int height);
// The display is gone.
void ForgetDisplay();
// SetSwapInterval for a target whose GL presenter takes its interval through
// glSwapInterval (non-zero when the driver accepted it).
int KeepSwapInterval(int interval, int (*glSwapInterval)(int));
// With one frame per refresh and no retrace to wait for, a frame is held back
// until its share of the refresh period is over; a loop that fell behind
// starts counting afresh. presented: the frame went through the presenter
// (a minimised window shows nothing, so nothing waited). Returns how long to
// hold this frame back; the target sleeps that long.
std::chrono::steady_clock::duration FrameHoldBack(bool presented);
