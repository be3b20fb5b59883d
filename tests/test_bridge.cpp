// The drawing bridge fetches only the rows primitives use and writes back only
// the rows they change. Each pair here is checked against the plain whole-frame
// round trip: the full GL frame read back, the same calls painted on that copy,
// and the copy compared byte for byte with what GL shows afterwards.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdlib>
#include <cstring>
#include <functional>

#include "render/draw.h"
#include "render/image.h"
#include "render/screen_state.h"
#include "render/sprite.h"
#include "support/gl_display.h"

#ifndef GL_BGR
#define GL_BGR 0x80E0
#endif

namespace {
constexpr int W = 1920, H = 1080, STRIDE = W * 3;
constexpr SpriteId NOISE = 30, PATCH = 31;
constexpr int NOISE_PICTURE = 60;

using Calls = std::function<void(std::vector<Colour>& reads)>;

std::string NoisePng(const std::string& name, int w, int h, unsigned seed) {
  std::srand(seed);
  std::vector<uint8_t> px((size_t)w * h * 3);
  for (uint8_t& b : px) b = (uint8_t)(std::rand() & 255);
  std::string path = TestScratchFolder("bridge") + name;
  EXPECT_TRUE(WriteTestPng(path, w, h, 3, px));
  return path;
}

// The whole logical back buffer, bottom-up BGR, as the old bridge read it.
std::vector<uint8_t> GlFrame() {
  std::vector<uint8_t> f((size_t)STRIDE * H);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, W, H, GL_BGR, GL_UNSIGNED_BYTE, f.data());
  return f;
}

// GL rows (drawing coordinates) where two frames differ, as "first..last".
std::string DifferingRows(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  int first = -1, last = -1;
  for (int r = 0; r < H; r++)
    if (std::memcmp(&a[(size_t)r * STRIDE], &b[(size_t)r * STRIDE], STRIDE) != 0) {
      int y = H - 1 - r;
      if (first < 0 || y < first) first = y;
      if (y > last) last = y;
    }
  return first < 0 ? "none" : std::to_string(first) + ".." + std::to_string(last);
}

// Runs the calls as one screen pair and as the whole-frame model; GL must end
// up holding exactly the model, and every ReadPixel must agree.
void ExpectSameAsWholeFrame(const Calls& calls) {
  std::vector<uint8_t> model = GlFrame();
  std::vector<Colour> modelReads, reads;
  ASSERT_TRUE(BeginBufferDrawing(model.data(), W, H, 3, STRIDE, true));
  calls(modelReads);
  EndScreenDrawing();
  ASSERT_TRUE(BeginScreenDrawing());
  calls(reads);
  EndScreenDrawing();
  EXPECT_EQ(reads, modelReads);
  std::vector<uint8_t> shown = GlFrame();
  EXPECT_TRUE(shown == model) << "rows differing: " << DifferingRows(shown, model);
}

class Bridge : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenTestDisplay());
    ASSERT_TRUE(LoadSpriteFile(NOISE, NoisePng("noise.png", 240, 135, 5), 0));
    ASSERT_TRUE(LoadSpriteFile(PATCH, NoisePng("patch.png", 64, 40, 9), 0));
    ASSERT_TRUE(LoadImageFile(NOISE_PICTURE, NoisePng("picture.png", 50, 30, 13)));
    // A frame of 8 x 8 noise blocks that GL drew, so nothing is in the bridge's copy.
    SetSpriteSize(NOISE, W, H);
    DrawSpriteOpaque(NOISE, 0, 0);
    SetSpriteSize(NOISE, -1, -1);
  }
};

TEST_F(Bridge, PartialShapesAndReadsMatchTheWholeFrame) {
  ExpectSameAsWholeFrame([](std::vector<Colour>& reads) {
    reads.push_back(ReadPixel(5, 3));      // a row nothing paints
    reads.push_back(ReadPixel(1919, 1079));
    DrawBox(100, 300, 50, 20, Rgb(255, 0, 0));
    DrawBox(1900, 1070, 100, 100, Rgb(0, 255, 0));  // partly off the output
    DrawBox(400, 500, -30, -40, Rgb(0, 0, 255));
    DrawLine(10, 700, 900, 130, Rgb(255, 255, 0));
    DrawLine(-50, 1100, 400, -300, Rgb(0, 255, 255));  // clipped at two edges
    DrawLine(600, 20, 1, 60, Rgb(255, 0, 255));
    DrawLine(700, 90, 300, 1, Rgb(255, 255, 255));
    DrawCircle(960, 540, 120, Rgb(10, 20, 30));
    DrawCircle(30, -10, 40, Rgb(200, 100, 50));  // centred off the top
    DrawImageAt(NOISE_PICTURE, 1200, 800, 300, 120);
    reads.push_back(ReadPixel(960, 540));
    reads.push_back(ReadPixel(1000, 950));
  });
}

TEST_F(Bridge, BlendedShapesAndTextMatchTheWholeFrame) {
  ExpectSameAsWholeFrame([](std::vector<Colour>& reads) {
    SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
    DrawBox(50, 250, 800, 90, Rgba(255, 255, 255, 128));
    DrawBox(0, 600, W, 30, Rgba(0, 0, 0, 77));  // full width, but it blends
    DrawBox(0, 700, W, 30, Rgb(255, 0, 0));     // alpha 0 changes nothing
    DrawBox(0, 760, W, 10, Rgba(9, 8, 7, 255));  // alpha 255 sets
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

TEST_F(Bridge, WholeRowBoxesAndTheShowsBandsMatchTheWholeFrame) {
  // The pairs of one show frame: scene clear, scene shapes, both bands, the flash.
  ExpectSameAsWholeFrame([](std::vector<Colour>&) { DrawBox(0, 200, W, H - 400, Rgb(0, 0, 20)); });
  ExpectSameAsWholeFrame([](std::vector<Colour>& reads) {
    SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
    DrawCircle(960, 500, 200, Rgba(255, 128, 0, 100));
    reads.push_back(ReadPixel(960, 500));
  });
  DrawSpriteOpaque(PATCH, 10, 0);  // the header picture, drawn by GL
  ExpectSameAsWholeFrame([](std::vector<Colour>&) { DrawBox(0, H - 200, W, 200, Rgb(0, 0, 0)); });
  ExpectSameAsWholeFrame([](std::vector<Colour>& reads) {
    SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
    DrawBox(0, 0, W, H, Rgba(255, 255, 255, 170));
    reads.push_back(ReadPixel(20, 20));
  });
}

TEST_F(Bridge, SpritesBetweenPairsAreFetchedAgain) {
  ExpectSameAsWholeFrame([](std::vector<Colour>& reads) {
    DrawBox(0, 400, W, 100, Rgb(40, 40, 40));
    reads.push_back(ReadPixel(500, 450));
  });
  // GL now draws over rows the bridge already holds: the next pair must see it.
  DrawSpriteOpaque(PATCH, 480, 430);
  DrawSpriteBlended(PATCH, 900, 380, 128);
  ExpectSameAsWholeFrame([](std::vector<Colour>& reads) {
    reads.push_back(ReadPixel(500, 450));
    SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
    DrawBox(400, 380, 800, 120, Rgba(0, 0, 255, 60));
  });
  // A present leaves the back buffer to GL as well.
  PresentFrame();
  DrawSpriteOpaque(NOISE, 100, 100);
  ExpectSameAsWholeFrame([](std::vector<Colour>& reads) {
    reads.push_back(ReadPixel(150, 150));
    DrawCircle(150, 150, 30, Rgb(1, 2, 3));
  });
}

TEST_F(Bridge, EmptyPairsAndNestedBeginsLeaveTheFrameAsItWas) {
  std::vector<uint8_t> before = GlFrame();
  ASSERT_TRUE(BeginScreenDrawing());
  EndScreenDrawing();
  EXPECT_TRUE(GlFrame() == before);
  // A begin while the screen is still open finishes the first pair properly.
  ASSERT_TRUE(BeginScreenDrawing());
  DrawBox(10, 10, 20, 20, Rgb(255, 0, 0));
  ASSERT_TRUE(BeginScreenDrawing());
  EXPECT_EQ(ReadPixel(15, 15), Rgb(255, 0, 0));
  DrawBox(40, 10, 20, 20, Rgb(0, 255, 0));
  EndScreenDrawing();
  EXPECT_EQ(FramePixel(15, 15), Rgb(255, 0, 0));
  EXPECT_EQ(FramePixel(45, 15), Rgb(0, 255, 0));
  // An in-memory picture begun over the screen output ends it with its rows written.
  ASSERT_TRUE(BeginScreenDrawing());
  DrawBox(70, 10, 20, 20, Rgb(0, 0, 255));
  ASSERT_TRUE(BeginImageDrawing(NOISE_PICTURE));
  EndScreenDrawing();
  EXPECT_EQ(FramePixel(75, 15), Rgb(0, 0, 255));
}

TEST(BridgeStretched, AHalfSizeWindowKeepsTheWholeFrameRoundTrip) {
  ASSERT_TRUE(OpenTestDisplay(960, 540));
  ASSERT_TRUE(LoadSpriteFile(PATCH, NoisePng("patch.png", 64, 40, 9), 0));
  ClearFrame(Rgb(0, 0, 0));
  std::string red = TestScratchFolder("bridge") + "red.png";
  ASSERT_TRUE(WriteTestPng(red, 8, 8, 3, SolidPixels(8, 8, 3, Rgb(200, 0, 0))));
  ASSERT_TRUE(LoadSpriteFile(NOISE, red, 0));
  SetSpriteSize(NOISE, 400, 400);
  DrawSpriteOpaque(NOISE, 200, 300);
  // Untouched rows are read back too, in logical pixels.
  ASSERT_TRUE(BeginScreenDrawing());
  EXPECT_EQ(ReadPixel(300, 400), Rgb(200, 0, 0));
  EXPECT_EQ(ReadPixel(100, 100), Rgb(0, 0, 0));
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  DrawBox(0, 350, W, 100, Rgba(0, 0, 255, 128));
  EndScreenDrawing();
  // The next pair works on the same logical copy, without a lossy read.
  ASSERT_TRUE(BeginScreenDrawing());
  EXPECT_EQ(ReadPixel(300, 400), Rgb(99, 0, 128));
  EXPECT_EQ(ReadPixel(100, 400), Rgb(0, 0, 128));
  EXPECT_EQ(ReadPixel(300, 600), Rgb(200, 0, 0));
  EndScreenDrawing();
  uint8_t p[3] = {};
  glReadPixels(150, 540 - 1 - 200, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);  // logical (300, 400)
  EXPECT_EQ(Rgb(p[0], p[1], p[2]), Rgb(99, 0, 128));
  SetSpriteSize(NOISE, -1, -1);
}
}  // namespace
