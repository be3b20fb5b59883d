// Pixel-exact checks of the software primitives on plain CPU buffers: boxes,
// lines, discs, the blend arithmetic, colour caching and output lifetime.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "render/draw.h"
#include "render/draw_internal.h"

namespace {
// A bottom-up buffer with padded rows and a guard band after it.
struct Buffer {
  int width, height, bpp, stride;
  std::vector<uint8_t> bytes;
  Buffer(int w, int h, int b = 3, uint8_t fill = 0)
      : width(w), height(h), bpp(b), stride((w * b + 3) & ~3), bytes((size_t)stride * h + 64, fill) {}
  bool Begin(bool bottomUp = true) { return BeginBufferDrawing(bytes.data(), width, height, bpp, stride, bottomUp); }
  const uint8_t* At(int x, int y) const { return bytes.data() + (size_t)(height - 1 - y) * stride + x * bpp; }
  Colour Pixel(int x, int y) const { return Rgb(At(x, y)[2], At(x, y)[1], At(x, y)[0]); }
  // Every pixel that differs from `background`.
  std::set<std::pair<int, int>> Painted(Colour background = 0) const {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (Pixel(x, y) != background) out.insert({x, y});
    return out;
  }
};

struct DrawTest : ::testing::Test {
  void TearDown() override { EndScreenDrawing(); }
};

std::set<std::pair<int, int>> Rect(int x0, int y0, int x1, int y1) {
  std::set<std::pair<int, int>> out;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) out.insert({x, y});
  return out;
}

// Half-width of each row of a disc of radius r, from the textbook midpoint
// ellipse walked from the top of the disc (0, r) towards (r, 0).
std::map<int, int> ReferenceHalfWidths(int r) {
  std::map<int, int> half;
  auto plot = [&](int x, int y) { half[y] = std::max(half.count(y) ? half[y] : 0, x); };
  double rr = (double)r * r;
  int x = 0, y = r;
  while (x < y) {  // flat part: step x, the midpoint between rows decides
    plot(x, y);
    double f = (x + 1.0) * (x + 1.0) + (y - 0.5) * (y - 0.5) - rr;
    ++x;
    if (f >= 0) --y;
  }
  while (y >= 0) {  // steep part: step y, the midpoint between columns decides
    plot(x, y);
    double f = (x + 0.5) * (x + 0.5) + (y - 1.0) * (y - 1.0) - rr;
    --y;
    if (f <= 0) ++x;
  }
  return half;
}
}  // namespace

TEST_F(DrawTest, BoxesCoverExactlyTheirRectangleWhateverTheSignOfTheExtents) {
  Buffer b(40, 30);
  ASSERT_TRUE(b.Begin());
  DrawBox(10, 10, 5, -4, Rgb(255, 0, 0));  // rows 6..9, above y
  EXPECT_EQ(b.Painted(), Rect(10, 6, 14, 9));
  EXPECT_EQ(b.Pixel(10, 6), Rgb(255, 0, 0));
  EXPECT_EQ(b.At(10, 6)[0], 0);  // stored blue, green, red
  EXPECT_EQ(b.At(10, 6)[2], 255);

  Buffer c(40, 30);
  ASSERT_TRUE(c.Begin());
  DrawBox(10, 10, -3, 2, Rgb(1, 2, 3));  // columns 7..9
  DrawBox(0, 0, 0, 5, Rgb(9, 9, 9));
  DrawBox(0, 0, 5, 0, Rgb(9, 9, 9));
  EXPECT_EQ(c.Painted(), Rect(7, 10, 9, 11));
}

TEST_F(DrawTest, BoxesPartlyOrWhollyOffTheOutputDrawOnlyTheVisiblePart) {
  Buffer b(20, 10);
  ASSERT_TRUE(b.Begin());
  DrawBox(-5, -5, 8, 7, Rgb(0, 255, 0));
  DrawBox(17, 8, 100, 100, Rgb(0, 255, 0));
  DrawBox(-100, 0, 50, 5, Rgb(0, 0, 0));  // same colour as the background
  DrawBox(25, 0, 5, 5, Rgb(0, 255, 0));
  DrawBox(0, -20, 5, 5, Rgb(0, 255, 0));
  DrawBox(-2000000000, -2000000000, 2000000000, 2000000000, Rgb(0, 255, 0));
  auto expected = Rect(0, 0, 2, 1);
  for (auto p : Rect(17, 8, 19, 9)) expected.insert(p);
  EXPECT_EQ(b.Painted(), expected);
  for (size_t i = (size_t)b.stride * b.height; i < b.bytes.size(); ++i) ASSERT_EQ(b.bytes[i], 0);
}

TEST_F(DrawTest, AlphaBlendFollowsTheIntegerFormula) {
  Buffer b(4, 1, 3);
  ASSERT_TRUE(b.Begin());
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  DrawBox(0, 0, 4, 1, Rgb(255, 255, 255));  // alpha 0: nothing changes
  EXPECT_EQ(b.Painted(), (std::set<std::pair<int, int>>{}));
  DrawBox(0, 0, 1, 1, Rgba(200, 100, 255, 128));
  EXPECT_EQ(b.Pixel(0, 0), Rgb(200 * 128 / 255, 100 * 128 / 255, 255 * 128 / 255));
  // Over an existing colour, every channel: (old x (255 - a) + c x a) / 255.
  SetDrawingMode(DRAW_MODE_DEFAULT);
  DrawBox(1, 0, 3, 1, Rgb(10, 250, 77));
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  const int alphas[] = {1, 77, 255};
  for (int i = 0; i < 3; ++i) DrawBox(1 + i, 0, 1, 1, Rgba(240, 3, 128, alphas[i]));
  for (int i = 0; i < 3; ++i) {
    int a = alphas[i];
    EXPECT_EQ(b.Pixel(1 + i, 0), Rgb((10 * (255 - a) + 240 * a) / 255, (250 * (255 - a) + 3 * a) / 255,
                                     (77 * (255 - a) + 128 * a) / 255))
        << "alpha " << a;
  }
}

TEST_F(DrawTest, LongBlendedSpansGiveTheSameBytesAsThePerPixelFormula) {
  for (int bpp : {3, 4}) {
    Buffer b(53, 3, bpp);
    for (size_t i = 0; i < b.bytes.size(); ++i) b.bytes[i] = (uint8_t)(i * 37 + 11);
    std::vector<uint8_t> old = b.bytes;
    ASSERT_TRUE(b.Begin());
    SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
    DrawBox(1, 1, 51, 1, Rgba(17, 230, 99, 201));
    for (int x = 0; x < 53; ++x) {
      size_t at = (size_t)b.stride + (size_t)x * bpp;  // drawing row 1 is buffer row 1 of 3
      bool inside = x >= 1 && x <= 51;
      const int colour[3] = {99, 230, 17};
      for (int k = 0; k < bpp; ++k) {
        int expected = old[at + k];
        if (inside && k < 3) expected = (old[at + k] * (255 - 201) + colour[k] * 201) / 255;
        ASSERT_EQ(b.bytes[at + k], expected) << bpp << " bytes, x " << x << ", byte " << k;
      }
    }
    EndScreenDrawing();
  }
}

TEST_F(DrawTest, FourByteOutputsWriteAndReadTheAlphaByte) {
  Buffer b(6, 3, 4);
  ASSERT_TRUE(b.Begin());
  DrawBox(0, 0, 6, 3, Rgba(1, 2, 3, 200));
  EXPECT_EQ(ReadPixel(5, 2), Rgba(1, 2, 3, 200));
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  DrawBox(0, 0, 5, 1, Rgba(255, 255, 255, 255));
  EXPECT_EQ(ReadPixel(4, 0), Rgba(255, 255, 255, 200));  // blending keeps the pixel's alpha
  EXPECT_EQ(ReadPixel(5, 0), Rgba(1, 2, 3, 200));
  EXPECT_EQ(ReadPixel(6, 0), 0u);  // outside
  EXPECT_EQ(ReadPixel(-1, 0), 0u);
}

TEST_F(DrawTest, TopDownOutputsAddressRowsDirectly) {
  std::vector<uint8_t> px(3 * 4 * 2, 0);
  ASSERT_TRUE(BeginBufferDrawing(px.data(), 4, 2, 3, 12, false));
  DrawBox(1, 0, 1, 1, Rgb(7, 8, 9));
  EXPECT_EQ(px[3], 9);
  EXPECT_EQ(px[5], 7);
  EXPECT_EQ(ReadPixel(1, 0), Rgb(7, 8, 9));
  EXPECT_EQ(OutputWidth(), 4);
  EXPECT_EQ(OutputHeight(), 2);
}

TEST_F(DrawTest, LinesCoverTheirExtentsWithBothEndsIncluded) {
  Buffer b(30, 30);
  ASSERT_TRUE(b.Begin());
  DrawLine(5, 5, 0, 10, Rgb(255, 255, 255));
  DrawLine(5, 5, 10, 0, Rgb(255, 255, 255));
  EXPECT_TRUE(b.Painted().empty());
  DrawLine(3, 2, 1, 10, Rgb(255, 255, 255));  // straight down, 10 pixels
  EXPECT_EQ(b.Painted(), Rect(3, 2, 3, 11));

  Buffer h(30, 30);
  ASSERT_TRUE(h.Begin());
  DrawLine(10, 4, -5, 1, Rgb(255, 255, 255));  // leftwards: 6..10
  DrawLine(20, 20, 1, -3, Rgb(255, 255, 255));  // upwards: 18..20
  auto expected = Rect(6, 4, 10, 4);
  for (auto p : Rect(20, 18, 20, 20)) expected.insert(p);
  EXPECT_EQ(h.Painted(), expected);

  Buffer d(30, 30);
  ASSERT_TRUE(d.Begin());
  DrawLine(2, 3, 8, 8, Rgb(255, 255, 255));  // exact diagonal
  std::set<std::pair<int, int>> diagonal;
  for (int i = 0; i < 8; ++i) diagonal.insert({2 + i, 3 + i});
  EXPECT_EQ(d.Painted(), diagonal);
}

TEST_F(DrawTest, SteppedLinesTakeOnePixelPerMajorStepAndEndOnTheLastPixel) {
  struct Case { int x, y, w, h; };
  const Case cases[] = {{2, 2, 20, 7}, {25, 3, -20, 9}, {4, 28, 6, -25}, {27, 27, -9, -17}, {1, 1, 3, 2}};
  for (const Case& c : cases) {
    Buffer b(30, 30);
    ASSERT_TRUE(b.Begin());
    DrawLine(c.x, c.y, c.w, c.h, Rgb(255, 255, 255));
    auto painted = b.Painted();
    int ex = c.x + c.w + (c.w > 0 ? -1 : 1), ey = c.y + c.h + (c.h > 0 ? -1 : 1);
    EXPECT_EQ((int)painted.size(), std::max(std::abs(c.w), std::abs(c.h))) << c.w << "x" << c.h;
    EXPECT_TRUE(painted.count({c.x, c.y})) << c.w << "x" << c.h;
    EXPECT_TRUE(painted.count({ex, ey})) << c.w << "x" << c.h;
    // Connected: every pixel has one along the major axis next to it.
    std::set<int> majors;
    bool steep = std::abs(c.h) > std::abs(c.w);
    for (auto p : painted) majors.insert(steep ? p.second : p.first);
    EXPECT_EQ((int)majors.size(), (int)painted.size());
    EndScreenDrawing();
  }
}

TEST_F(DrawTest, ClippedLinesDrawTheVisiblePixelsOfTheUnclippedLine) {
  struct Case { int x, y, w, h; };
  const Case cases[] = {{-50, -20, 200, 90}, {130, -40, -170, 77}, {-3, 60, 13, -100},
                        {45, -1000, 7, 2000}, {-100000, 10, 200000, 21}, {70, 70, 500, 300}};
  for (const Case& c : cases) {
    // The same line on a large output, with the small output's window at (200, 200).
    Buffer big(600, 600), small(60, 40);
    ASSERT_TRUE(big.Begin());
    DrawLine(c.x + 200, c.y + 200, c.w, c.h, Rgb(255, 255, 255));
    ASSERT_TRUE(small.Begin());
    DrawLine(c.x, c.y, c.w, c.h, Rgb(255, 255, 255));
    std::set<std::pair<int, int>> expected;
    for (auto p : big.Painted())
      if (p.first >= 200 && p.first < 260 && p.second >= 200 && p.second < 240)
        expected.insert({p.first - 200, p.second - 200});
    EXPECT_EQ(small.Painted(), expected) << c.x << "," << c.y;
    EndScreenDrawing();
  }
}

TEST_F(DrawTest, LinesInBlendModeTouchEachPixelOnce) {
  Buffer b(40, 40);
  ASSERT_TRUE(b.Begin());
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  DrawLine(1, 1, 37, 13, Rgba(255, 255, 255, 128));
  DrawLine(38, 20, -30, 19, Rgba(255, 255, 255, 128));
  for (auto p : b.Painted()) EXPECT_EQ(b.Pixel(p.first, p.second), Rgb(128, 128, 128));
}

TEST_F(DrawTest, DiscRowsMatchTheMidpointRuleAndEveryPixelIsDrawnOnce) {
  for (int r : {0, 1, 2, 3, 5, 12, 50, 120}) {
    const int size = 2 * r + 11, c = r + 5;
    Buffer b(size, size);
    ASSERT_TRUE(b.Begin());
    SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
    DrawCircle(c, c, r, Rgba(255, 255, 255, 128));
    std::set<std::pair<int, int>> expected;
    for (auto [row, half] : ReferenceHalfWidths(r))
      for (int x = -half; x <= half; ++x) {
        expected.insert({c + x, c + row});
        expected.insert({c + x, c - row});
      }
    auto painted = b.Painted();
    EXPECT_EQ(painted, expected) << "radius " << r;
    for (auto p : painted) ASSERT_EQ(b.Pixel(p.first, p.second), Rgb(128, 128, 128)) << "radius " << r;
    // Symmetric across both axes and the diagonal.
    for (auto [x, y] : painted) {
      EXPECT_TRUE(painted.count({2 * c - x, y}));
      EXPECT_TRUE(painted.count({x, 2 * c - y}));
      EXPECT_TRUE(painted.count({c + (y - c), c + (x - c)}));
    }
    EndScreenDrawing();
  }
}

TEST_F(DrawTest, SmallDiscsHaveTheirHandCheckedShapes) {
  Buffer b(9, 9);
  ASSERT_TRUE(b.Begin());
  DrawCircle(4, 4, 2, Rgb(255, 255, 255));
  auto expected = Rect(2, 3, 6, 5);
  for (auto p : Rect(3, 2, 5, 2)) expected.insert(p);
  for (auto p : Rect(3, 6, 5, 6)) expected.insert(p);
  EXPECT_EQ(b.Painted(), expected);

  Buffer one(5, 5);
  ASSERT_TRUE(one.Begin());
  DrawCircle(2, 2, 1, Rgb(255, 255, 255));
  DrawCircle(0, 0, 0, Rgb(255, 255, 255));
  DrawCircle(4, 4, -1, Rgb(255, 255, 255));
  EXPECT_EQ(one.Painted(), (std::set<std::pair<int, int>>{{0, 0}, {2, 1}, {1, 2}, {2, 2}, {3, 2}, {2, 3}}));
}

TEST_F(DrawTest, DiscsCentredOffTheOutputDrawTheirVisibleRows) {
  Buffer full(120, 120), part(60, 60);
  ASSERT_TRUE(full.Begin());
  DrawCircle(30, 90, 40, Rgb(0, 0, 255));
  ASSERT_TRUE(part.Begin());
  DrawCircle(-30, 30, 40, Rgb(0, 0, 255));  // same disc, window at (60, 60)
  std::set<std::pair<int, int>> expected;
  for (auto p : full.Painted())
    if (p.first >= 60 && p.second >= 60) expected.insert({p.first - 60, p.second - 60});
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(part.Painted(), expected);
  DrawCircle(-5000, 30, 40, Rgb(0, 0, 255));
  DrawCircle(30, 2000000000, 700, Rgb(0, 0, 255));
  EXPECT_EQ(part.Painted(), expected);
}

TEST_F(DrawTest, HugeDiscsCoverWhatTheyShouldWithoutWalkingEveryRow) {
  Buffer b(50, 40);
  ASSERT_TRUE(b.Begin());
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  DrawCircle(25, 20, 2000000000, Rgba(255, 255, 255, 128));
  EXPECT_EQ(b.Painted(), Rect(0, 0, 49, 39));
  EXPECT_EQ(b.Pixel(0, 0), Rgb(128, 128, 128));  // once
  Buffer edge(50, 40);
  ASSERT_TRUE(edge.Begin());
  DrawCircle(-1000, 20, 1010, Rgb(255, 255, 255));  // only the rim reaches in
  auto painted = edge.Painted();
  EXPECT_TRUE(painted.count({10, 20}));
  EXPECT_FALSE(painted.count({11, 20}));
  EXPECT_TRUE(painted.count({0, 0}));
  EXPECT_FALSE(painted.count({11, 0}));
}

TEST_F(DrawTest, PrimitivesWithoutAnOutputDoNothing) {
  EXPECT_FALSE(HasCurrentOutput());
  EXPECT_EQ(BeginBufferDrawing(nullptr, 10, 10, 3, 32, true), 0);
  uint8_t px[64] = {};
  EXPECT_EQ(BeginBufferDrawing(px, 0, 10, 3, 32, true), 0);
  EXPECT_EQ(BeginBufferDrawing(px, 4, 4, 2, 16, true), 0);
  EXPECT_EQ(BeginBufferDrawing(px, 4, 4, 3, 11, true), 0);
  EXPECT_FALSE(HasCurrentOutput());
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  DrawBox(0, 0, 10, 10, Rgb(1, 1, 1));
  DrawLine(0, 0, 10, 10, Rgb(1, 1, 1));
  DrawCircle(5, 5, 5, Rgb(1, 1, 1));
  DrawImageAt(12345, 0, 0, 5, 5);
  EXPECT_EQ(DrawTextAt(3.5, 0, u"x", Rgb(1, 1, 1)), 3.5);
  EXPECT_EQ(ReadPixel(0, 0), 0u);
  EXPECT_EQ(OutputWidth(), 0);
  EndScreenDrawing();
}

namespace {
int releases = 0;
void CountRelease(void* context) { releases += *static_cast<int*>(context); }
}  // namespace

TEST_F(DrawTest, EndingRunsTheReleaseOnceAndANewBeginEndsTheOldOutput) {
  Buffer a(4, 4), b(4, 4);
  int one = 1, ten = 10;
  releases = 0;
  ASSERT_TRUE(BeginBufferDrawing(a.bytes.data(), 4, 4, 3, a.stride, true, CountRelease, &one));
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  ASSERT_TRUE(BeginBufferDrawing(b.bytes.data(), 4, 4, 3, b.stride, true, CountRelease, &ten));
  EXPECT_EQ(releases, 1);
  DrawBox(0, 0, 1, 1, Rgb(9, 9, 9));  // a new output starts in mode 0
  EXPECT_EQ(b.Pixel(0, 0), Rgb(9, 9, 9));
  EndScreenDrawing();
  EndScreenDrawing();
  EXPECT_EQ(releases, 11);
  EXPECT_FALSE(HasCurrentOutput());
  // A failed begin while another output is current leaves none.
  ASSERT_TRUE(BeginBufferDrawing(a.bytes.data(), 4, 4, 3, a.stride, true, CountRelease, &one));
  EXPECT_EQ(BeginBufferDrawing(nullptr, 4, 4, 3, 12, true), 0);
  EXPECT_FALSE(HasCurrentOutput());
  EXPECT_EQ(releases, 12);
}

TEST_F(DrawTest, ColoursAreConvertedOnlyWhenTheyOrTheModeChange) {
  Buffer b(8, 2);
  ASSERT_TRUE(b.Begin());
  DrawBox(0, 0, 1, 1, 0xFFFFFFFFu);  // the unset value is a real colour too
  EXPECT_EQ(b.Pixel(0, 0), Rgb(255, 255, 255));
  long before = ColourConversions();
  DrawBox(1, 0, 1, 1, Rgba(100, 50, 200, 128));
  DrawBox(2, 0, 1, 1, Rgba(100, 50, 200, 128));
  DrawLine(3, 0, 1, 1, Rgba(100, 50, 200, 128));
  EXPECT_EQ(ColourConversions() - before, 1);
  EXPECT_EQ(b.Pixel(2, 0), Rgb(100, 50, 200));  // alpha ignored in mode 0
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  DrawBox(4, 1, 1, 1, Rgba(100, 50, 200, 128));  // same colour, re-converted for blending
  EXPECT_EQ(b.Pixel(4, 1), Rgb(100 * 128 / 255, 50 * 128 / 255, 200 * 128 / 255));
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND | 2);  // exclusive bits switch blending off
  DrawBox(5, 1, 1, 1, Rgba(100, 50, 200, 128));
  EXPECT_EQ(b.Pixel(5, 1), Rgb(100, 50, 200));
}
