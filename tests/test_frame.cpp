// The show frame in memory, without any display: its view for tools, the
// pixel layouts it is converted through, the primitives painting on it exactly
// as on a plain 24-bit picture, and sprite painting that gives the same bytes
// every time and with one or two threads.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

#include "driver/driver.h"
#include "platform/pixels.h"
#include "render/draw.h"
#include "render/frame_bands.h"
#include "render/image.h"
#include "render/screen.h"
#include "render/sprite.h"
#include "render/sprite_paint.h"
#include "support/gl_display.h"
#include "support/memory_output.h"

// Thread creation that this program can make fail, to stand for a system out
// of threads: every other call goes on to the real pthread_create.
namespace {
bool refuseThreads = false;
}
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*), void* arg) {
  using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
  static Create real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
  if (refuseThreads) return EAGAIN;
  return real(thread, attr, start, arg);
}

namespace {
constexpr int W = 1920, H = 1080;
constexpr int NOISE_PICTURE = 61;

std::string NoisePng(const std::string& name, int w, int h, int channels, unsigned seed) {
  std::vector<uint8_t> px((size_t)w * h * channels);
  for (uint8_t& b : px) b = (uint8_t)((seed = seed * 1103515245u + 12345u) >> 16);
  // Each test runs in its own process, two at a time: a folder per process,
  // so that no test reads a picture another is writing.
  std::string path = TestScratchFolder("frame-" + std::to_string(getpid())) + name;
  EXPECT_TRUE(WriteTestPng(path, w, h, channels, px));
  return path;
}

Colour FrameColour(int x, int y) {
  FrameView f = FinishedFrame();
  const uint8_t* p = f.pixels + (size_t)y * f.stride + (size_t)x * 4;
  return Rgb(p[2], p[1], p[0]);
}

std::vector<uint8_t> FrameBytes() {
  FrameView f = FinishedFrame();
  std::vector<uint8_t> bytes;
  for (int y = 0; y < f.height; y++) {
    const uint8_t* row = f.pixels + (size_t)y * f.stride;
    for (int x = 0; x < f.width; x++) bytes.insert(bytes.end(), row + x * 4, row + x * 4 + 3);
  }
  return bytes;
}

class Frame : public ::testing::Test {
 protected:
  void SetUp() override {
    CloseShowScreen();
    ASSERT_TRUE(OpenFrame(W, H));
    ClearFrameBlack();
  }
  void TearDown() override {
    SetPaintThreads(2);
    CloseFrame();
  }
};

TEST_F(Frame, TheViewDescribesTheFramesPixels) {
  FrameView f = FinishedFrame();
  ASSERT_NE(f.pixels, nullptr);
  EXPECT_EQ(f.width, W);
  EXPECT_EQ(f.height, H);
  EXPECT_EQ(f.stride, W * 4);
  ASSERT_TRUE(BeginScreenDrawing());
  DrawBox(10, 20, 1, 1, Rgb(1, 2, 3));
  EXPECT_EQ(ReadPixel(10, 20), Rgb(1, 2, 3));  // no alpha in what reads give
  EndScreenDrawing();
  const uint8_t* p = f.pixels + 20 * f.stride + 10 * 4;
  EXPECT_EQ(p[0], 3);  // blue first
  EXPECT_EQ(p[1], 2);
  EXPECT_EQ(p[2], 1);
  // Same size keeps the picture; bad sizes are refused and change nothing.
  EXPECT_TRUE(OpenFrame(W, H));
  EXPECT_EQ(FrameColour(10, 20), Rgb(1, 2, 3));
  EXPECT_FALSE(OpenFrame(0, H));
  EXPECT_FALSE(OpenFrame(100000, 100000));
  EXPECT_EQ(FinishedFrame().width, W);
  CloseFrame();
  EXPECT_EQ(FinishedFrame().pixels, nullptr);
  EXPECT_EQ(BeginScreenDrawing(), 0);
}

// One pixel through every pair of layouts: the colour comes through, alpha only
// where both layouts carry it, and a negative stride reads rows bottom-up.
TEST(Pixels, EveryLayoutConvertsToEveryOther) {
  const PixelLayout all[] = {PixelLayout::XRGB8888, PixelLayout::ARGB8888, PixelLayout::RGBA8888,
                             PixelLayout::BGR888};
  auto carriesAlpha = [](PixelLayout l) { return l == PixelLayout::ARGB8888 || l == PixelLayout::RGBA8888; };
  // Red 0x11, green 0x22, blue 0x33, alpha 0x44 in each layout's own bytes.
  auto bytesOf = [](PixelLayout l) -> std::vector<uint8_t> {
    switch (l) {
      case PixelLayout::XRGB8888: return {0x33, 0x22, 0x11, 0x99};
      case PixelLayout::ARGB8888: return {0x33, 0x22, 0x11, 0x44};
      case PixelLayout::RGBA8888: return {0x11, 0x22, 0x33, 0x44};
      case PixelLayout::BGR888: return {0x33, 0x22, 0x11};
    }
    return {};
  };
  for (PixelLayout from : all)
    for (PixelLayout to : all) {
      std::vector<uint8_t> in = bytesOf(from), out(4, 0), want = bytesOf(to);
      if (BytesPerPixel(to) == 4) want[3] = carriesAlpha(from) && carriesAlpha(to) ? 0x44 : 0xFF;
      out.resize(want.size());
      ConvertPixels(PixelView{in.data(), 1, 1, (int)in.size(), from}, PixelView{out.data(), 1, 1, (int)out.size(), to});
      EXPECT_EQ(out, want) << (int)from << " to " << (int)to;
    }
  // Two rows of 5 XRGB pixels (the fast paths take whole rows) read last row first.
  std::vector<uint32_t> rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, flipped(10), rgba(10);
  PixelView bottomUp{reinterpret_cast<uint8_t*>(rows.data() + 5), 5, 2, -20, PixelLayout::XRGB8888};
  ConvertPixels(bottomUp, PixelView{reinterpret_cast<uint8_t*>(flipped.data()), 5, 2, 20, PixelLayout::ARGB8888});
  ConvertPixels(bottomUp, PixelView{reinterpret_cast<uint8_t*>(rgba.data()), 5, 2, 20, PixelLayout::RGBA8888});
  for (int i = 0; i < 10; i++) {
    const uint32_t v = rows[(size_t)((i < 5 ? 5 : -5) + i)];
    EXPECT_EQ(flipped[(size_t)i], v | 0xFF000000u);
    EXPECT_EQ(rgba[(size_t)i], 0xFF000000u | (v & 0xFFu) << 16 | (v & 0xFF00u) | (v >> 16 & 0xFFu));
  }
}

// The same calls on a plain 24-bit picture and on the frame give the same
// colours and the same reads.
void ExpectSameAsPicture(const std::function<void(std::vector<Colour>&)>& calls) {
  MemoryOutput model(W, H, 0);
  std::vector<Colour> modelReads, reads;
  ASSERT_TRUE(model.Begin());
  calls(modelReads);
  EndScreenDrawing();
  ASSERT_TRUE(BeginScreenDrawing());
  calls(reads);
  EndScreenDrawing();
  EXPECT_EQ(reads, modelReads);
  long differ = 0;
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++) differ += model.At(x, y) != FrameColour(x, y);
  EXPECT_EQ(differ, 0);
}

TEST_F(Frame, PrimitivesPaintAsOnAPlainPicture) {
  ASSERT_TRUE(LoadImageFile(NOISE_PICTURE, NoisePng("picture.png", 50, 30, 3, 13)));
  ExpectSameAsPicture([](std::vector<Colour>& reads) {
    DrawBox(100, 300, 50, 20, Rgb(255, 0, 0));
    DrawBox(1900, 1070, 100, 100, Rgb(0, 255, 0));  // partly off the frame
    DrawBox(400, 500, -30, -40, Rgb(0, 0, 255));
    DrawLine(10, 700, 900, 130, Rgb(255, 255, 0));
    DrawLine(-50, 1100, 400, -300, Rgb(0, 255, 255));  // clipped at two edges
    DrawCircle(960, 540, 120, Rgb(10, 20, 30));
    DrawCircle(30, -10, 40, Rgb(200, 100, 50));  // centred off the top
    DrawImageAt(NOISE_PICTURE, 1200, 800, 300, 120);
    reads.push_back(ReadPixel(960, 540));
    SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
    DrawBox(50, 250, 800, 90, Rgba(255, 255, 255, 128));
    DrawBox(0, 600, W, 30, Rgba(0, 0, 0, 77));
    DrawBox(0, 700, W, 30, Rgb(255, 0, 0));  // alpha 0 changes nothing
    DrawCircle(1500, 400, 60, Rgba(0, 255, 0, 200));
    DrawLine(100, 900, 1700, -50, Rgba(255, 0, 255, 90));
    DrawTextAt(300, 820, u"Blended text", Rgba(255, 255, 0, 180));
    reads.push_back(ReadPixel(60, 260));
    SetDrawingMode(DRAW_MODE_DEFAULT);
    DrawTextAt(-20, 150, u"Text with its box", Rgb(255, 255, 255));
    SetDrawingMode(DRAW_MODE_TRANSPARENT_TEXT);
    DrawTextAt(1800, 1070, u"Clipped at the corner", Rgb(0, 255, 0));
    reads.push_back(ReadPixel(1850, 1075));
  });
}

// Big and small, turned, scaled, blended and tinted draws over a noise picture,
// with primitives between them, as a show frame mixes them.
void PaintCorpus() {
  ClearFrameBlack();
  DrawSpriteOpaque(50, 0, 0);
  for (int i = 0; i < 60; i++) {
    SpriteId id = 51 + i % 2;
    SetSpriteSize(id, 40 + (i * 37) % 700, 30 + (i * 53) % 500);
    SetSpriteRotation(id, (float)i * 6.25f, ROTATION_ABSOLUTE);
    float x = (float)((i * 311) % 1900) - 200.0f + 0.25f * (float)(i % 4);
    float y = (float)((i * 197) % 1000) - 150.0f + 0.5f * (float)(i % 2);
    if (i % 3 == 0) DrawSpriteOpaque(id, x, y);
    else DrawSpriteBlended(id, x, y, (i * 41) % 256, i % 3 == 2 ? (int64_t)Rgb(i * 4, 255 - i, 90) : -1);
    if (i % 10 == 0 && BeginScreenDrawing()) {
      SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
      DrawBox(i * 20, 100, 600, 400, Rgba(20, 200, 90, 100));
      EndScreenDrawing();
    }
  }
}

// The corpus's sprites, then its frame painted on one thread.
std::vector<uint8_t> CorpusOnOneThread() {
  EXPECT_TRUE(LoadSpriteFile(50, NoisePng("background.png", W, H, 3, 3), 0));
  EXPECT_TRUE(LoadSpriteFile(51, NoisePng("rgba.png", 256, 256, 4, 5), SPRITE_KEEP_ALPHA));
  EXPECT_TRUE(LoadSpriteFile(52, NoisePng("rgb.png", 300, 200, 3, 7), SPRITE_KEEP_ALPHA));
  SetPaintThreads(1);
  PaintCorpus();
  return FrameBytes();
}

TEST_F(Frame, SpritePaintingIsRepeatableAndTheSameOnOneOrTwoThreads) {
  std::vector<uint8_t> first = CorpusOnOneThread();
  PaintCorpus();
  EXPECT_TRUE(FrameBytes() == first) << "painted twice on one thread";
  SetPaintThreads(2);
  EXPECT_EQ(PaintThreads(), 2);
  PaintCorpus();
  EXPECT_TRUE(FrameBytes() == first) << "painted on two threads";
  FreeAllSprites();
}

// After painting, reads find nothing waiting and paint nothing; a draw makes
// the next read paint once. Draws that nobody reads are painted whenever many
// wait, so they hold little memory, and the picture is the one thread's.
TEST_F(Frame, ReadsPaintOnlyWhatWaitsAndUnreadDrawsStayFew) {
  std::vector<uint8_t> first = CorpusOnOneThread();
  SetPaintThreads(2);
  PaintCorpus();
  ASSERT_TRUE(BeginScreenDrawing());
  const long paints = TestKeptFramePaints();
  Colour sum = 0;
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++) sum += ReadPixel(x, y);
  EXPECT_NE(sum, 0u);
  EXPECT_EQ(TestKeptFramePaints(), paints + 1) << "reads after painting painted again";
  DrawBox(5, 5, 2, 2, Rgb(9, 9, 9));
  EXPECT_EQ(ReadPixel(6, 6), Rgb(9, 9, 9));
  EXPECT_EQ(ReadPixel(7, 7), ReadPixel(7, 7));
  EXPECT_EQ(TestKeptFramePaints(), paints + 2);
  EndScreenDrawing();
  FreeAllSprites();
  // 100,000 boxes over ten frames, none of them read, on two threads and on one.
  auto boxes = [] {
    size_t most = 0;
    ClearFrameBlack();
    for (int frame = 0; frame < 10; frame++) {
      EXPECT_TRUE(BeginScreenDrawing());
      SetDrawingMode(frame % 2 ? DRAW_MODE_ALPHA_BLEND : DRAW_MODE_DEFAULT);
      for (int i = 0; i < 10000; i++)
        DrawBox((i * 7919) % W, (i * 104729 + frame * 31) % H, 40, 25,
                Rgba((i * 3) & 255, frame * 20, i & 255, 60 + i % 190));
      EndScreenDrawing();
      most = std::max(most, TestKeptDraws());
    }
    return most;
  };
  EXPECT_LT(boxes(), 40000u);
  std::vector<uint8_t> twoThreads = FrameBytes();
  SetPaintThreads(1);
  EXPECT_EQ(boxes(), 0u);
  EXPECT_TRUE(FrameBytes() == twoThreads);
}

// A helper thread that the system will not start: no exception comes out,
// painting goes on on the calling thread and the picture is the same. Run in
// a fresh process, where no helper has been started yet.
TEST_F(Frame, AHelperThatCannotStartLeavesPaintingOnOneThread) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        refuseThreads = true;
        std::vector<uint8_t> first = CorpusOnOneThread();
        SetPaintThreads(2);
        PaintCorpus();
        bool same = FrameBytes() == first;
        std::exit(same && PaintThreads() == 1 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}
}  // namespace
