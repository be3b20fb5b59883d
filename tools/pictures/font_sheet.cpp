// The bitmap font sheet: 17 x 6 cells of 32 x 32, one glyph per cell in the
// font's cell order, white with the glyph's coverage as alpha.
#include <algorithm>

#include "tools/pictures/pictures.h"

namespace {
const int CELL = 32, COLUMNS = 17, ROWS = 6;

std::vector<uint32_t> CellOrder() {
  std::vector<uint32_t> codes;
  for (uint32_t c = 0x20; c <= 0x7e; c++) codes.push_back(c);
  for (uint32_t c : {0xe9u, 0xe8u, 0x2du, 0xe7u, 0xe0u, 0xf9u, 0xeau}) codes.push_back(c);
  return codes;
}

// The largest size whose every glyph fits its cell on one common baseline.
int FittingSize(const std::vector<uint32_t>& codes, int& baseline) {
  for (int size = 27; size > 8; size--) {
    int above = 0, below = 0, wide = 0;
    for (uint32_t c : codes) {
      Glyph g = RenderGlyph(c, size);
      if (g.w == 0) continue;
      above = std::max(above, g.top);
      below = std::max(below, g.h - g.top);
      wide = std::max(wide, std::max(0, g.left) + g.w);
    }
    if (above + below <= CELL - 1 && wide <= CELL - 1) {
      baseline = above + (CELL - 1 - above - below) / 2 + 1;
      return size;
    }
  }
  baseline = 24;
  return 20;
}
}  // namespace

Canvas MakeFontSheet() {
  Canvas sheet(CELL * COLUMNS, CELL * ROWS, Hex(0xffffff, 0));
  std::vector<uint32_t> codes = CellOrder();
  int baseline = 0;
  int size = FittingSize(codes, baseline);
  for (size_t i = 0; i < codes.size(); i++) {
    Glyph g = RenderGlyph(codes[i], size);
    int ox = int(i % COLUMNS) * CELL + 1 + std::max(0, g.left);
    int oy = int(i / COLUMNS) * CELL + baseline - g.top;
    for (int y = 0; y < g.h; y++)
      for (int x = 0; x < g.w; x++) sheet.at(ox + x, oy + y).a = g.cov[size_t(y) * g.w + x] / 255.0f;
  }
  return sheet;
}
