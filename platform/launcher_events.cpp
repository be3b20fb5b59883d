// The launcher's queue of events for the targets whose toolkit hands them to
// callbacks (GTK on the desktop, the window procedure on Windows): the
// callbacks queue them, LauncherPollEvent takes them one at a time.
#include <deque>
#include <utility>

#include "platform/target.h"

namespace {
std::deque<std::pair<int, int>> events;  // (event, gadget)
}  // namespace

void QueueLauncherEvent(int event, int gadget) {
  if (events.size() < 256) events.emplace_back(event, gadget);
}

int TakeLauncherEvent(int* gadget) {
  if (events.empty()) return 0;
  auto [event, id] = events.front();
  events.pop_front();
  if (gadget) *gadget = id;
  return event;
}

void ForgetLauncherEvents() { events.clear(); }
