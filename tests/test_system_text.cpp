// System-font text on CPU buffers: the text box, the three compositing rules,
// clipping at the output's edges and the returned pen position.
#include <gtest/gtest.h>

#include <vector>

#include "render/draw.h"

namespace {
constexpr int W = 160, H = 40;
constexpr int LINE = 16;

struct Canvas {
  std::vector<uint8_t> px = std::vector<uint8_t>((size_t)W * 3 * H, 0);
  explicit Canvas(Colour fill = 0) {
    Begin();
    DrawBox(0, 0, W, H, fill);
  }
  void Begin() { ASSERT_TRUE(BeginBufferDrawing(px.data(), W, H, 3, W * 3, true)); }
  Colour At(int x, int y) const {
    const uint8_t* p = px.data() + (size_t)(H - 1 - y) * W * 3 + x * 3;
    return Rgb(p[2], p[1], p[0]);
  }
};

// The coverage of "Hg" at (x, y): drawn white on black in mode 0.
Canvas Coverage(const std::u16string& text, int x, int y) {
  Canvas c(Rgb(0, 0, 0));
  DrawTextAt(x, y, text, Rgb(255, 255, 255));
  EndScreenDrawing();
  return c;
}

struct SystemTextTest : ::testing::Test {
  void TearDown() override { EndScreenDrawing(); }
};
}  // namespace

TEST_F(SystemTextTest, ModeZeroPaintsTheTextBoxAndReturnsThePenPosition) {
  const std::u16string text = u"Hg Velda";
  int width = TextWidth(text);
  ASSERT_GT(width, 30);
  ASSERT_LT(width, 120);
  Canvas c(Rgb(90, 90, 90));
  EXPECT_EQ(DrawTextAt(10.75, 5, text, Rgb(255, 255, 255)), 10.75 + width);
  int glyphPixels = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      bool inside = x >= 10 && x < 10 + width && y >= 5 && y < 5 + LINE;
      Colour p = c.At(x, y);
      if (!inside) {
        ASSERT_EQ(p, Rgb(90, 90, 90)) << x << "," << y;
      } else {
        ASSERT_TRUE(RedOf(p) == GreenOf(p) && GreenOf(p) == BlueOf(p)) << x << "," << y;
        glyphPixels += p != 0;
      }
    }
  EXPECT_GT(glyphPixels, 40);
  EXPECT_LT(glyphPixels, width * LINE / 2);
  EXPECT_EQ(c.At(10, 5), 0u);  // the box corner is background black
}

TEST_F(SystemTextTest, TransparentTextBlendsCoverageOverTheOldPixels) {
  Canvas cov = Coverage(u"Hg", 20, 10);
  Canvas c(Rgb(10, 200, 40));
  SetDrawingMode(DRAW_MODE_TRANSPARENT_TEXT);
  DrawTextAt(20, 10, u"Hg", Rgb(250, 30, 128));
  int changed = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      int k = RedOf(cov.At(x, y));
      Colour expected =
          Rgb((250 * k + 10 * (255 - k)) / 255, (30 * k + 200 * (255 - k)) / 255, (128 * k + 40 * (255 - k)) / 255);
      ASSERT_EQ(c.At(x, y), expected) << x << "," << y;
      changed += k != 0;
    }
  EXPECT_GT(changed, 20);
}

TEST_F(SystemTextTest, BlendModeDarkensTheBoxThenBlendsTheGlyphs) {
  Canvas cov = Coverage(u"Hg", 20, 10);
  Canvas c(Rgb(100, 100, 100));
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  int width = TextWidth(u"Hg");
  DrawTextAt(20, 10, u"Hg", Rgba(200, 100, 50, 128));
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      bool inside = x >= 20 && x < 20 + width && y >= 10 && y < 10 + LINE;
      int f = RedOf(cov.At(x, y)) * 128 / 255;
      Colour expected = inside ? Rgb(200 * f / 255, 100 * f / 255, 50 * f / 255) : Rgb(100, 100, 100);
      ASSERT_EQ(c.At(x, y), expected) << x << "," << y;
    }
  // A colour without alpha leaves only the black box.
  Canvas d(Rgb(100, 100, 100));
  SetDrawingMode(DRAW_MODE_ALPHA_BLEND);
  DrawTextAt(20, 10, u"Hg", Rgb(255, 255, 255));
  EXPECT_EQ(d.At(20 + width / 2, 10 + LINE / 2), 0u);
  EXPECT_EQ(d.At(20 + width, 10), Rgb(100, 100, 100));
}

TEST_F(SystemTextTest, TextCutByTheOutputEdgesKeepsItsVisiblePixels) {
  const std::u16string text = u"Greetings";
  int width = TextWidth(text);
  Canvas whole = Coverage(text, 60, 12);
  // Shifted left by 67 and up by 7: the same pixels, where they still land.
  Canvas cut = Coverage(text, -7, 5);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      int sx = x + 67, sy = y + 7;
      Colour expected = (sx < W && sy < H) ? whole.At(sx, sy) : 0;
      ASSERT_EQ(cut.At(x, y), expected) << x << "," << y;
    }
  Canvas right = Coverage(text, W - width / 2, H - 4);
  Canvas none = Coverage(text, -width - 1, 0);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) ASSERT_EQ(none.At(x, y), 0u);
  Canvas far(Rgb(0, 0, 0));
  EXPECT_EQ(DrawTextAt(-1e12, 1e12, text, Rgb(255, 255, 255)), -1e12 + width);
  EXPECT_EQ(DrawTextAt(1e300, -5, text, Rgb(255, 255, 255)), 1e300 + width);
}

TEST_F(SystemTextTest, EmptyOrUnusualTextIsHarmless) {
  Canvas c(Rgb(7, 7, 7));
  EXPECT_EQ(TextWidth(u""), 0);
  EXPECT_EQ(DrawTextAt(4, 4, u"", Rgb(255, 255, 255)), 4.0);
  EXPECT_EQ(c.At(4, 4), Rgb(7, 7, 7));
  // An em dash, a right quotation mark, a surrogate pair and a lone surrogate.
  std::u16string odd = u"a\u2014b\u2019c\xD83D\xDE00\xDC00";
  EXPECT_GT(TextWidth(odd), TextWidth(u"abc"));
  DrawTextAt(0, 0, odd, Rgb(255, 255, 255));
}
