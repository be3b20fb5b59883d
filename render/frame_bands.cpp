// The show frame painted on two threads: the kept list of the frame's draws,
// each filed under the strips it touches, the helper thread, and painting the
// strips, each running its own draws in call order, so the picture is the one
// a single thread paints.
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
  uint32_t item = 0;  // index into quads or texts
};

struct KeptText {
  double x, y;
  std::u16string text;
};

std::vector<Command> commands;
std::vector<SpriteQuad> quads;
std::vector<KeptText> texts;

int paintThreads = 0;  // 0: not chosen yet

// Strips are small enough that two threads taking them in turn stay even
// whatever part of the frame is busy. Each keeps the commands it runs, in
// call order: the draws that touch its rows, each drawing pair's start and
// mode change filed only ahead of the strip's first draw that needs them.
constexpr int STRIP_ROWS = 48;
struct Strip {
  std::vector<uint32_t> run;  // indices into commands
  int64_t begin = -1, mode = -1;  // the pair start and mode change it has filed
};
std::vector<Strip> strips;
std::atomic<int> nextStrip{0};

// The open drawing pair's start and latest mode change in commands (-1: none).
int64_t openBegin = -1, openMode = -1;
// Draws kept and not yet painted. Past the bound the list paints itself, so
// frames that nobody reads cost no more memory than one busy frame.
size_t waiting = 0;
constexpr size_t MAX_WAITING_DRAWS = 32768;
long paints = 0;

void Forget() {
  commands.clear();
  quads.clear();
  texts.clear();
  for (Strip& strip : strips) {
    strip.run.clear();
    strip.begin = strip.mode = -1;
  }
  openBegin = openMode = -1;
  waiting = 0;
}

// Called before a draw is kept: past the bound the waiting draws are painted.
void MakeRoom() {
  if (waiting >= MAX_WAITING_DRAWS) PaintKeptFrame();
}

// A drawing pair's start or mode change. Those that no waiting draw follows
// are dropped, so pairs opened and closed without a draw pile up nothing.
void KeepState(const Command& c) {
  if (commands.size() >= 2 * MAX_WAITING_DRAWS) PaintKeptFrame();
  if (waiting == 0 && c.kind == Kind::Begin) commands.clear();
  if (waiting == 0 && c.kind == Kind::Mode && openMode >= 0 && openMode + 1 == (int64_t)commands.size())
    commands.pop_back();
  if (c.kind == Kind::Begin) {
    openBegin = (int64_t)commands.size();
    openMode = -1;
  } else {
    openMode = (int64_t)commands.size();
  }
  commands.push_back(c);
}

// Files a draw under the strips holding frame rows top..bottom-1 (everything
// it can touch; a margin more is harmless). False when it can paint nothing.
bool KeepDraw(const Command& c, int64_t top = INT64_MIN, int64_t bottom = INT64_MAX) {
  const int height = showFrame.height;
  const bool onPair = c.kind != Kind::Quad && c.kind != Kind::Clear;
  if (onPair && openBegin < 0) return false;  // a primitive outside any drawing pair
  top = std::max<int64_t>(top, 0);
  bottom = std::min<int64_t>(bottom, height);
  if (top >= bottom) return false;
  const size_t count = (size_t)(height + STRIP_ROWS - 1) / STRIP_ROWS;
  if (strips.size() != count) strips.assign(count, Strip{});
  const uint32_t index = (uint32_t)commands.size();
  commands.push_back(c);
  waiting++;
  for (int64_t i = top / STRIP_ROWS, last = (bottom - 1) / STRIP_ROWS; i <= last; i++) {
    Strip& strip = strips[(size_t)i];
    if (onPair && strip.begin != openBegin) {
      strip.run.push_back((uint32_t)openBegin);
      strip.begin = openBegin;
      strip.mode = -1;
    }
    if (onPair && strip.mode != openMode) {
      strip.run.push_back((uint32_t)openMode);
      strip.mode = openMode;
    }
    strip.run.push_back(index);
  }
  return true;
}

// Rows y0..y1-1 of the frame get the strip's commands.
void PaintStrip(const Strip& s, int y0, int y1) {
  uint8_t* frame = reinterpret_cast<uint8_t*>(showFrame.pixels.data());
  const int width = showFrame.width, stride = width * 4;
  DrawingOutput strip;
  for (uint32_t index : s.run) {
    const Command& c = commands[index];
    switch (c.kind) {
      case Kind::Begin:
        // The strip as an output of its own rows, addressed in frame rows.
        StartOutput(strip, frame + (size_t)y0 * (size_t)stride, width, y1 - y0, 4, stride, false);
        strip.originY = -y0;
        break;
      case Kind::Mode:
        ApplyDrawingMode(strip, c.a);
        break;
      case Kind::Box:
        PaintBox(strip, c.a, c.b, c.c, c.d, c.colour);
        break;
      case Kind::Line:
        PaintLine(strip, c.a, c.b, c.c, c.d, c.colour);
        break;
      case Kind::Circle:
        PaintCircle(strip, c.a, c.b, c.c, c.colour);
        break;
      case Kind::Image:
        PaintImage(strip, c.a, c.b, c.c, c.d, c.e);
        break;
      case Kind::Text:
        PaintText(strip, texts[c.item].x, texts[c.item].y, texts[c.item].text, c.colour);
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
  const int height = showFrame.height, count = (int)strips.size();
  for (int i; (i = nextStrip.fetch_add(1)) < count;)
    if (!strips[(size_t)i].run.empty())
      PaintStrip(strips[(size_t)i], i * STRIP_ROWS, std::min(height, (i + 1) * STRIP_ROWS));
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

}  // namespace

// Once a draw is kept, later draws are kept too until the frame is painted,
// so the call order holds when the thread count changes mid-frame.
bool KeepingFrame() { return FrameIsOpen() && (PaintThreads() == 2 || waiting > 0); }

void KeepBegin() { KeepState({Kind::Begin}); }
void KeepMode(int mode) { KeepState({Kind::Mode, mode}); }
void KeepBox(int x, int y, int width, int height, Colour colour) {
  MakeRoom();
  const int64_t end = (int64_t)y + height;
  KeepDraw({Kind::Box, x, y, width, height, 0, colour}, std::min<int64_t>(y, end), std::max<int64_t>(y, end));
}
void KeepLine(int x, int y, int width, int height, Colour colour) {
  MakeRoom();
  const int64_t end = (int64_t)y + height;
  KeepDraw({Kind::Line, x, y, width, height, 0, colour}, std::min<int64_t>(y, end) - 1, std::max<int64_t>(y, end) + 1);
}
void KeepCircle(int x, int y, int radius, Colour colour) {
  MakeRoom();
  KeepDraw({Kind::Circle, x, y, radius, 0, 0, colour}, (int64_t)y - radius - 1, (int64_t)y + radius + 2);
}
void KeepImage(int image, int x, int y, int width, int height) {
  MakeRoom();
  KeepDraw({Kind::Image, image, x, y, width, height}, y, (int64_t)y + std::max(height, 0));
}

void KeepText(double x, double y, const std::u16string& text, Colour colour) {
  MakeRoom();
  Command c{Kind::Text};
  c.colour = colour;
  c.item = (uint32_t)texts.size();
  // A line of system text is 16 rows below its truncated y.
  const bool placed = std::isfinite(y) && std::fabs(y) < 1e9;
  if (placed ? KeepDraw(c, (int64_t)std::floor(y) - 2, (int64_t)std::floor(y) + 20) : KeepDraw(c))
    texts.push_back({x, y, text});
}

void KeepQuad(const SpriteQuad& quad) {
  MakeRoom();
  Command c{Kind::Quad};
  c.item = (uint32_t)quads.size();
  const float lo = std::min({quad.y[0], quad.y[1], quad.y[2], quad.y[3]});
  const float hi = std::max({quad.y[0], quad.y[1], quad.y[2], quad.y[3]});
  const bool placed = std::isfinite(lo) && std::isfinite(hi) && lo > -1e9f && hi < 1e9f;
  if (placed ? KeepDraw(c, (int64_t)std::floor(lo) - 1, (int64_t)std::ceil(hi) + 1) : KeepDraw(c))
    quads.push_back(quad);
}

void KeepClear() {
  MakeRoom();
  KeepDraw({Kind::Clear});
}

void PaintKeptFrame() {
  if (waiting == 0) return;
  if (!FrameIsOpen()) return Forget();
  nextStrip = 0;
  ShareWork(TakeStrips, nullptr);
  paints++;
  // A drawing pair still open goes on in the new list as it stood.
  const bool open = openBegin >= 0, moded = openMode >= 0;
  const int mode = moded ? commands[(size_t)openMode].a : 0;
  Forget();
  if (open) KeepBegin();
  if (open && moded) KeepMode(mode);
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

long TestKeptFramePaints() { return paints; }
size_t TestKeptDraws() { return waiting; }

void SetPaintThreads(int threads) {
  PaintKeptFrame();
  paintThreads = std::clamp(threads, 1, 2);
}

int PaintThreads() {
  if (paintThreads == 0) paintThreads = std::thread::hardware_concurrency() >= 2 ? 2 : 1;
  return paintThreads;
}
