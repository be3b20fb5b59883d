// Text for the pictures: the lettering face (DejaVu Sans Bold) and the font
// sheet's face (DejaVu Sans Mono Bold) through FreeType, glyph bitmaps with their
// metrics, and UTF-8 strings laid into coverage masks.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <map>

#include "tools/pictures/canvas.h"

static FT_Library library = nullptr;
static FT_Face face = nullptr, sheetFace = nullptr;
static std::map<std::pair<uint32_t, int>, Glyph> glyphCache;

static bool Open(const char* path, FT_Face& into) {
  if (!library && FT_Init_FreeType(&library) != 0) return false;
  if (into) return true;
  if (FT_New_Face(library, path, 0, &into) != 0) {
    into = nullptr;
    return false;
  }
  return true;
}

bool OpenFace(const char* path) { return Open(path, face); }
bool OpenSheetFace(const char* path) { return Open(path, sheetFace); }

void CloseFace() {
  glyphCache.clear();
  if (face) FT_Done_Face(face);
  if (sheetFace) FT_Done_Face(sheetFace);
  if (library) FT_Done_FreeType(library);
  face = sheetFace = nullptr;
  library = nullptr;
}

// One glyph of a face at a pixel width and height, its strokes thickened by
// the given pixels across and down; empty when it cannot be drawn.
static Glyph Render(FT_Face from, uint32_t code, int pixelWidth, int pixelHeight, float boldX = 0, float boldY = 0) {
  Glyph g;
  if (!from || FT_Set_Pixel_Sizes(from, pixelWidth, pixelHeight) != 0 || FT_Load_Char(from, code, FT_LOAD_DEFAULT) != 0)
    return g;
  FT_GlyphSlot slot = from->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE && (boldX > 0 || boldY > 0))
    FT_Outline_EmboldenXY(&slot->outline, FT_Pos(std::lround(boldX * 64)), FT_Pos(std::lround(boldY * 64)));
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;
  g.w = int(slot->bitmap.width);
  g.h = int(slot->bitmap.rows);
  g.left = slot->bitmap_left;
  g.top = slot->bitmap_top;
  g.advance = slot->advance.x / 64.0f;
  g.cov.resize(size_t(g.w) * g.h);
  for (int y = 0; y < g.h; y++)
    for (int x = 0; x < g.w; x++) g.cov[size_t(y) * g.w + x] = slot->bitmap.buffer[y * slot->bitmap.pitch + x];
  return g;
}

Glyph RenderGlyph(uint32_t code, int pixelSize) {
  auto key = std::make_pair(code, pixelSize);
  auto found = glyphCache.find(key);
  if (found != glyphCache.end()) return found->second;
  return glyphCache[key] = Render(face, code, pixelSize, pixelSize);
}

Glyph RenderSheetGlyph(uint32_t code, int pixelWidth, int pixelHeight, float boldX, float boldY) {
  return Render(sheetFace, code, pixelWidth, pixelHeight, boldX, boldY);
}

static std::vector<uint32_t> DecodeUtf8(const std::string& s) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = s[i];
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : 3;
    uint32_t code = extra == 0 ? c : c & (0x3f >> extra);
    for (int k = 1; k <= extra && i + k < s.size(); k++) code = (code << 6) | (s[i + k] & 0x3f);
    out.push_back(code);
    i += extra + 1;
  }
  return out;
}

float TextWidth(const std::string& utf8, int pixelSize, float tracking) {
  auto codes = DecodeUtf8(utf8);
  float w = 0;
  for (uint32_t c : codes) w += RenderGlyph(c, pixelSize).advance + tracking;
  return codes.empty() ? 0 : w - tracking;
}

void DrawText(Mask& m, const std::string& utf8, int pixelSize, float x, float baseline, float tracking) {
  float pen = x;
  for (uint32_t c : DecodeUtf8(utf8)) {
    Glyph g = RenderGlyph(c, pixelSize);
    int gx = int(std::lround(pen)) + g.left, gy = int(std::lround(baseline)) - g.top;
    for (int y = 0; y < g.h; y++)
      for (int xx = 0; xx < g.w; xx++) {
        int mx = gx + xx, my = gy + y;
        if (mx < 0 || my < 0 || mx >= m.w || my >= m.h) continue;
        float& v = m.ref(mx, my);
        v = std::min(1.0f, v + g.cov[size_t(y) * g.w + xx] / 255.0f);
      }
    pen += g.advance + tracking;
  }
}

Mask CentredText(int w, int h, const std::string& utf8, int pixelSize, float cx, float cy, float tracking) {
  Mask m(w, h);
  float capHeight = float(RenderGlyph('H', pixelSize).top);
  DrawText(m, utf8, pixelSize, cx - TextWidth(utf8, pixelSize, tracking) / 2, cy + capHeight / 2, tracking);
  return m;
}
