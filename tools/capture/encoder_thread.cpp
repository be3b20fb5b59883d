// The encoder thread and the two frame buffers it shares with the painter:
// a buffer is either free (the painter may fill it) or queued (the thread
// owns it until it is written).
#include "tools/capture/encoder_thread.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "tools/capture/frame_source.h"
#include "tools/capture/soundtrack.h"
#include "tools/capture/video_file.h"

namespace {
struct Job {
  uint32_t* buffer;
  int64_t soundFrom, soundTo;
};

constexpr int BUFFERS = 2;
std::vector<uint32_t> buffers[BUFFERS];
std::vector<uint32_t*> freeBuffers;
std::deque<Job> queued;
std::mutex lock;
std::condition_variable changed;
std::thread worker;
bool stopping = false, discarding = false, failed = false;
double busy = 0;

bool Encode(const Job& job, std::vector<int16_t>& samples) {
  int count = (int)(job.soundTo - job.soundFrom);
  samples.resize((size_t)count * SOUNDTRACK_CHANNELS);
  SoundtrackSamples(job.soundFrom, count, samples.data());
  return WriteVideoPicture(job.buffer) && WriteVideoSound(samples.data(), count);
}

void Work() {
  std::vector<int16_t> samples;
  std::unique_lock<std::mutex> hold(lock);
  for (;;) {
    changed.wait(hold, [] { return !queued.empty() || stopping; });
    if (queued.empty() || discarding) return;
    Job job = queued.front();
    hold.unlock();
    auto t0 = std::chrono::steady_clock::now();
    bool ok = Encode(job, samples);
    busy += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    hold.lock();
    queued.pop_front();
    freeBuffers.push_back(job.buffer);
    if (!ok) failed = true;
    changed.notify_all();
    if (failed) return;
  }
}
}  // namespace

void StartEncoderThread() {
  stopping = discarding = failed = false;
  busy = 0;
  queued.clear();
  freeBuffers.clear();
  for (std::vector<uint32_t>& b : buffers) {
    b.resize((size_t)FRAME_WIDTH * FRAME_HEIGHT);
    freeBuffers.push_back(b.data());
  }
  worker = std::thread(Work);
}

uint32_t* FreeFrameBuffer() {
  std::unique_lock<std::mutex> hold(lock);
  changed.wait(hold, [] { return !freeBuffers.empty() || failed; });
  if (failed) return nullptr;
  uint32_t* b = freeBuffers.back();
  freeBuffers.pop_back();
  return b;
}

void QueueFrame(uint32_t* buffer, int64_t soundFrom, int64_t soundTo) {
  std::lock_guard<std::mutex> hold(lock);
  queued.push_back(Job{buffer, soundFrom, soundTo});
  changed.notify_all();
}

bool StopEncoderThread(bool discard, double& busySeconds) {
  {
    std::lock_guard<std::mutex> hold(lock);
    stopping = true;
    discarding = discard;
    changed.notify_all();
  }
  if (worker.joinable()) worker.join();
  busySeconds = busy;
  return !failed;
}
