// The show frame painted on two threads: the kept list of the frame's draws,
// the helper thread, and painting the list strip by strip, each strip running
// every draw in call order, so the picture is the one a single thread paints.
#include "render/frame_bands.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "render/draw_internal.h"
#include "render/screen.h"
#include "render/screen_state.h"
#include "render/sprite_paint.h"

namespace {
enum class Kind : uint8_t { Begin, Mode, Box, Line, Circle, Image, Text, Quad, Clear };

struct Command {
  Kind kind;
  int a = 0, b = 0, c = 0, d = 0, e = 0;  // the primitive's int arguments, in order
  Colour colour = 0;
  double x = 0, y = 0;  // text position
  size_t item = 0;      // index into quads or texts
  // Frame rows top..bottom-1 hold everything the draw can touch (a margin
  // more is harmless); strips outside them skip it. Whole frame by default.
  int64_t top = INT64_MIN, bottom = INT64_MAX;
};

std::vector<Command> commands;
std::vector<SpriteQuad> quads;
std::vector<std::u16string> texts;

int paintThreads = 0;  // 0: not chosen yet

// Strips are small enough that two threads taking them in turn stay even
// whatever part of the frame is busy, and large enough that going over the
// list once per strip costs little.
constexpr int STRIP_ROWS = 48;
std::atomic<int> nextStrip{0};
int stripCount = 0;

void Keep(const Command& c) { commands.push_back(c); }

// Keeps a draw that touches only frame rows top..bottom-1.
void KeepWithin(Command c, int64_t top, int64_t bottom) {
  c.top = top;
  c.bottom = bottom;
  Keep(c);
}

// Rows y0..y1-1 of the frame get every kept draw that touches them.
void PaintStrip(int y0, int y1) {
  uint8_t* frame = reinterpret_cast<uint8_t*>(showFrame.pixels.data());
  const int width = showFrame.width, stride = width * 4;
  DrawingOutput strip;
  bool open = false;
  for (const Command& c : commands) {
    if (c.bottom <= y0 || c.top >= y1) continue;
    switch (c.kind) {
      case Kind::Begin:
        // The strip as an output of its own rows, addressed in frame rows.
        open = StartOutput(strip, frame + (size_t)y0 * (size_t)stride, width, y1 - y0, 4, stride, false);
        strip.originY = -y0;
        break;
      case Kind::Mode:
        if (open) ApplyDrawingMode(strip, c.a);
        break;
      case Kind::Box:
        if (open) PaintBox(strip, c.a, c.b, c.c, c.d, c.colour);
        break;
      case Kind::Line:
        if (open) PaintLine(strip, c.a, c.b, c.c, c.d, c.colour);
        break;
      case Kind::Circle:
        if (open) PaintCircle(strip, c.a, c.b, c.c, c.colour);
        break;
      case Kind::Image:
        if (open) PaintImage(strip, c.a, c.b, c.c, c.d, c.e);
        break;
      case Kind::Text:
        if (open) PaintText(strip, c.x, c.y, texts[c.item], c.colour);
        break;
      case Kind::Quad:
        PaintSpriteQuad(quads[c.item], y0, y1 - 1);
        break;
      case Kind::Clear:
        std::memset(frame + (size_t)y0 * (size_t)stride, 0, (size_t)(y1 - y0) * (size_t)stride);
        break;
    }
  }
}

void TakeStrips(void*) {
  const int height = showFrame.height;
  for (int i; (i = nextStrip.fetch_add(1)) < stripCount;)
    PaintStrip(i * STRIP_ROWS, std::min(height, (i + 1) * STRIP_ROWS));
}

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
// leaves painting on the calling thread from then on.
bool HelperReady() {
  if (helper.started) return true;
  try {
    std::thread(HelperLoop).detach();
    helper.started = true;
  } catch (...) {
    paintThreads = 1;
  }
  return helper.started;
}

void Forget() {
  commands.clear();
  quads.clear();
  texts.clear();
}
}  // namespace

// Once something is kept, later draws are kept too until the frame is
// painted, so the call order holds when the thread count changes mid-frame.
bool KeepingFrame() { return FrameIsOpen() && (PaintThreads() == 2 || !commands.empty()); }

void KeepBegin() { Keep({Kind::Begin}); }
void KeepMode(int mode) { Keep({Kind::Mode, mode}); }
void KeepBox(int x, int y, int width, int height, Colour colour) {
  const int64_t end = (int64_t)y + height;
  KeepWithin({Kind::Box, x, y, width, height, 0, colour}, std::min<int64_t>(y, end), std::max<int64_t>(y, end));
}
void KeepLine(int x, int y, int width, int height, Colour colour) {
  const int64_t end = (int64_t)y + height;
  KeepWithin({Kind::Line, x, y, width, height, 0, colour}, std::min<int64_t>(y, end) - 1,
             std::max<int64_t>(y, end) + 1);
}
void KeepCircle(int x, int y, int radius, Colour colour) {
  KeepWithin({Kind::Circle, x, y, radius, 0, 0, colour}, (int64_t)y - radius - 1, (int64_t)y + radius + 2);
}
void KeepImage(int image, int x, int y, int width, int height) {
  KeepWithin({Kind::Image, image, x, y, width, height}, y, (int64_t)y + std::max(height, 0));
}

void KeepText(double x, double y, const std::u16string& text, Colour colour) {
  Command c{Kind::Text};
  c.x = x;
  c.y = y;
  c.colour = colour;
  c.item = texts.size();
  texts.push_back(text);
  // A line of system text is 16 rows below its truncated y.
  if (std::isfinite(y) && std::fabs(y) < 1e9) {
    c.top = (int64_t)std::floor(y) - 2;
    c.bottom = (int64_t)std::floor(y) + 20;
  }
  Keep(c);
}

void KeepQuad(const SpriteQuad& quad) {
  Command c{Kind::Quad};
  c.item = quads.size();
  quads.push_back(quad);
  const float lo = std::min({quad.y[0], quad.y[1], quad.y[2], quad.y[3]});
  const float hi = std::max({quad.y[0], quad.y[1], quad.y[2], quad.y[3]});
  if (std::isfinite(lo) && std::isfinite(hi) && lo > -1e9f && hi < 1e9f) {
    c.top = (int64_t)std::floor(lo) - 1;
    c.bottom = (int64_t)std::ceil(hi) + 1;
  }
  Keep(c);
}

void KeepClear() { Keep({Kind::Clear}); }

void PaintKeptFrame() {
  if (commands.empty()) return;
  if (!FrameIsOpen()) return Forget();
  // A list of drawing-pair starts and mode changes alone paints nothing: kept
  // as it is, so that reading pixel after pixel does not hand the frame to the
  // helper thread once a pixel.
  if (std::all_of(commands.begin(), commands.end(),
                  [](const Command& c) { return c.kind == Kind::Begin || c.kind == Kind::Mode; }))
    return;
  stripCount = (showFrame.height + STRIP_ROWS - 1) / STRIP_ROWS;
  nextStrip = 0;
  ShareWork(TakeStrips, nullptr);
  Forget();
  // A drawing pair still open goes on in the new list as it stood.
  if (DrawingOutput* out = CurrentOutput(); out && out->kept) {
    KeepBegin();
    KeepMode(out->mode);
  }
}

void ShareWork(void (*take)(void*), void* context) {
  bool helped = false;
  if (PaintThreads() == 2) {
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

void DropKeptFrame() { Forget(); }

void SetPaintThreads(int threads) {
  PaintKeptFrame();
  paintThreads = std::clamp(threads, 1, 2);
}

int PaintThreads() {
  if (paintThreads == 0) paintThreads = std::thread::hardware_concurrency() >= 2 ? 2 : 1;
  return paintThreads;
}
