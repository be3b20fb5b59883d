// The record of the open display on the targets with windows of their own
// (desktop, Windows): where the picture lies in its window, the presenter and
// swap interval in use, and the pacing of a loop that no retrace holds back.
// The targets own the windows and call the window system; nothing here does.
#include <algorithm>

#include "platform/display.h"
#include "platform/target.h"

DisplayRecord displayRecord;

namespace {
int requestedPresenter = PRESENTER_AUTO;

// What CurrentDisplay reports, from the record.
void Publish() {
  const DisplayRecord& d = displayRecord;
  DisplayInfo& info = shownDisplay;
  info.open = d.open;
  info.windowed = d.windowed;
  info.presenter = d.presenter;
  info.logicalWidth = d.logicalWidth;
  info.logicalHeight = d.logicalHeight;
  info.pictureX = d.picture.x;
  info.pictureY = d.picture.y;
  info.pictureWidth = d.picture.width;
  info.pictureHeight = d.picture.height;
  info.windowId = d.windowId;
  info.refreshHz = d.refreshHz;
}
}  // namespace

PictureRect PlacePicture(const PicturePlace& place, int width, int height, int hostWidth, int hostHeight) {
  if (!place.stretch) return PictureRect{place.x, place.y, width, height};
  return PictureRect{place.x, place.y, std::max(1, hostWidth - (place.x + place.rightOffset)),
                     std::max(1, hostHeight - (place.y + place.bottomOffset))};
}

void ChoosePresenter(int presenter) { requestedPresenter = presenter; }

int RequestedPresenter() { return requestedPresenter; }

void BeginDisplayRecord(bool windowed, const PicturePlace& place, int width, int height, int hostWidth,
                        int hostHeight) {
  DisplayRecord& d = displayRecord;
  d = DisplayRecord{};
  d.windowed = windowed;
  d.place = place;
  d.logicalWidth = width;
  d.logicalHeight = height;
  d.picture = PlacePicture(place, width, height, hostWidth, hostHeight);
}

void DisplayOpened(uint32_t windowId, int presenter, double refreshHz) {
  DisplayRecord& d = displayRecord;
  d.windowId = windowId;
  d.presenter = presenter;
  d.refreshHz = refreshHz;
  d.open = true;
  Publish();
}

void FollowHostSize(int width, int height) {
  DisplayRecord& d = displayRecord;
  if (!d.open || !d.windowed) return;
  d.picture = PlacePicture(d.place, d.logicalWidth, d.logicalHeight, width, height);
  Publish();
}

void ForgetDisplay() {
  displayRecord = DisplayRecord{};
  Publish();
}

int KeepSwapInterval(int interval, int (*glSwapInterval)(int)) {
  DisplayRecord& d = displayRecord;
  if (!d.open) return 0;
  const bool gl = d.presenter == PRESENTER_GL;
  d.swapInterval = interval;
  d.retraceWaits = gl && interval == 1 && glSwapInterval(1);
  if (gl && interval != 1) glSwapInterval(interval);
  d.nextFrame = {};
  return 1;
}

std::chrono::steady_clock::duration FrameHoldBack(bool presented) {
  using Clock = std::chrono::steady_clock;
  DisplayRecord& d = displayRecord;
  if (d.swapInterval != 1 || (d.retraceWaits && presented)) return Clock::duration::zero();
  const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / d.refreshHz));
  const auto now = Clock::now();
  if (now < d.nextFrame) {
    const auto holdBack = d.nextFrame - now;
    d.nextFrame += period;
    return holdBack;
  }
  d.nextFrame = (now - d.nextFrame < period ? d.nextFrame : now) + period;
  return Clock::duration::zero();
}
