// The helper thread that shares jobs with the calling thread, started on the
// first job that wants it and waiting for the next one until the process ends.
#include "platform/work_sharing.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {
int workThreads = 0;  // 0: not chosen yet

// The helper thread runs a shared job beside the caller.
struct Helper {
  std::mutex lock;
  std::condition_variable wake, done;
  void (*job)(void*) = nullptr;
  void* context = nullptr;
  bool busy = false;     // a job is posted and not yet finished or taken back
  bool running = false;  // the helper has begun the posted job
  bool started = false;
};
// Never destroyed: the detached helper waits on it until the process ends.
Helper& helper = *new Helper;

void HelperLoop() {
  std::unique_lock<std::mutex> hold(helper.lock);
  for (;;) {
    helper.wake.wait(hold, [] { return helper.busy && !helper.running; });
    helper.running = true;
    hold.unlock();
    helper.job(helper.context);
    hold.lock();
    helper.running = false;
    helper.busy = false;
    helper.done.notify_one();
  }
}

// Called with the helper's lock held. A thread the system will not start
// leaves the work on the calling thread from then on.
bool HelperReady() {
  if (helper.started) return true;
  try {
    std::thread(HelperLoop).detach();
    helper.started = true;
  } catch (...) {
    workThreads = 1;
  }
  return helper.started;
}
}  // namespace

void ShareWork(void (*take)(void*), void* context) {
  bool helped = false;
  if (WorkThreads() == 2) {
    std::lock_guard<std::mutex> hold(helper.lock);
    if (HelperReady()) {
      helper.job = take;
      helper.context = context;
      helper.busy = helped = true;
    }
  }
  if (helped) helper.wake.notify_one();
  take(context);
  if (helped) {
    // A helper that has not begun yet (on a busy machine it may not have
    // been woken) finds nothing left: the job is taken back instead of waited for.
    std::unique_lock<std::mutex> hold(helper.lock);
    if (!helper.running) helper.busy = false;
    helper.done.wait(hold, [] { return !helper.busy; });
  }
}

void SetWorkThreads(int threads) { workThreads = std::clamp(threads, 1, 2); }

int WorkThreads() {
  if (workThreads == 0) workThreads = std::thread::hardware_concurrency() >= 2 ? 2 : 1;
  return workThreads;
}
