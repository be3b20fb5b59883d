// The bitmap font sheet: 17 x 6 cells of 32 x 32, one glyph per cell in the
// font's cell order, white with the glyph's coverage as alpha. The text is drawn
// at a fixed 22-pixel advance, so the face is a monospaced one stretched to fill
// that advance, and every glyph is centred on the same column of its cell.
#include <algorithm>
#include <cmath>

#include "tools/pictures/pictures.h"

namespace {
const int CELL = 32, COLUMNS = 17, ROWS = 6;
const int ADVANCE = 22;          // the pen's step at scale 1
const int CENTRE = ADVANCE / 2;  // the column every glyph is centred on
const int LETTER_WIDTH = 21;     // no letter or digit is wider, so neighbours never touch
const int TYPICAL_WIDTH = 19;    // the middle letter is this wide: most fill their advance alike
const float BOLD_X = 1.0f, BOLD_Y = 0.5f;  // extra stroke weight, pixels across and down
const float BEVEL = 0.4f;        // the lower right rim of each stroke keeps this much less alpha

std::vector<uint32_t> CellOrder() {
  std::vector<uint32_t> codes;
  for (uint32_t c = 0x20; c <= 0x7e; c++) codes.push_back(c);
  for (uint32_t c : {0xe9u, 0xe8u, 0x2du, 0xe7u, 0xe0u, 0xf9u, 0xeau}) codes.push_back(c);
  return codes;
}

bool LetterOrDigit(uint32_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The tallest height whose glyphs all fit one cell on one common baseline.
int FittingHeight(const std::vector<uint32_t>& codes, int& baseline) {
  for (int size = 40; size > 8; size--) {
    int above = 0, below = 0;
    for (uint32_t c : codes) {
      Glyph g = RenderSheetGlyph(c, size, size, BOLD_X, BOLD_Y);
      if (g.w == 0) continue;
      above = std::max(above, g.top);
      below = std::max(below, g.h - g.top);
    }
    if (above + below <= CELL - 1) {
      baseline = above + (CELL - 1 - above - below) / 2 + 1;
      return size;
    }
  }
  baseline = 24;
  return 20;
}

// The widest stretch at that height whose middle letter or digit is at most
// TYPICAL_WIDTH wide.
int TypicalWidth(const std::vector<uint32_t>& codes, int height) {
  for (int width = 2 * height; width > 8; width--) {
    std::vector<int> widths;
    for (uint32_t c : codes)
      if (LetterOrDigit(c)) widths.push_back(RenderSheetGlyph(c, width, height, BOLD_X, BOLD_Y).w);
    std::nth_element(widths.begin(), widths.begin() + widths.size() / 2, widths.end());
    if (widths[widths.size() / 2] <= TYPICAL_WIDTH) return width;
  }
  return height;
}

// A glyph at the common stretch, drawn narrower when it would come out wider
// than a letter may be (W, M, m ...) or than the advance (other signs).
Glyph FittedGlyph(uint32_t c, int width, int height) {
  int limit = LetterOrDigit(c) ? LETTER_WIDTH : ADVANCE;
  Glyph g = RenderSheetGlyph(c, width, height, BOLD_X, BOLD_Y);
  for (int narrower = width - 1; g.w > limit && narrower > 8; narrower--)
    g = RenderSheetGlyph(c, narrower, height, BOLD_X, BOLD_Y);
  return g;
}
}  // namespace

Canvas MakeFontSheet() {
  Canvas sheet(CELL * COLUMNS, CELL * ROWS, Hex(0xffffff, 0));
  std::vector<uint32_t> codes = CellOrder();
  int baseline = 0;
  int height = FittingHeight(codes, baseline);
  int width = TypicalWidth(codes, height);
  Mask cover(sheet.w, sheet.h);
  for (size_t i = 0; i < codes.size(); i++) {
    Glyph g = FittedGlyph(codes[i], width, height);
    // Whole-pixel placement keeps the hinted stems sharp.
    int left = int(std::nearbyint(CENTRE - g.w / 2.0f));
    int ox = int(i % COLUMNS) * CELL + std::max(0, left);
    int oy = int(i / COLUMNS) * CELL + baseline - g.top;
    for (int y = 0; y < g.h; y++)
      for (int x = 0; x < g.w; x++) cover.ref(ox + x, oy + y) = g.cov[size_t(y) * g.w + x] / 255.0f;
  }
  // A bevel: the rim that faces down and right is a little dimmer, so the
  // tinted strokes look raised.
  for (int y = 0; y < sheet.h; y++)
    for (int x = 0; x < sheet.w; x++) {
      float c = cover.at(x, y), rim = Clamp01(c - cover.at(x + 1, y + 1));
      sheet.at(x, y).a = c * (1 - BEVEL * rim);
    }
  return sheet;
}
