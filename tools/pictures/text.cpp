// Text for the pictures: one FreeType face (DejaVu Sans Bold), glyph bitmaps
// with their metrics, and UTF-8 strings laid into coverage masks.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <map>

#include "tools/pictures/canvas.h"

static FT_Library library = nullptr;
static FT_Face face = nullptr;
static std::map<std::pair<uint32_t, int>, Glyph> glyphCache;

bool OpenFace(const char* path) {
  if (!library && FT_Init_FreeType(&library) != 0) return false;
  if (face) return true;
  if (FT_New_Face(library, path, 0, &face) != 0) {
    face = nullptr;
    return false;
  }
  return true;
}

void CloseFace() {
  glyphCache.clear();
  if (face) FT_Done_Face(face);
  if (library) FT_Done_FreeType(library);
  face = nullptr;
  library = nullptr;
}

Glyph RenderGlyph(uint32_t code, int pixelSize) {
  auto key = std::make_pair(code, pixelSize);
  auto found = glyphCache.find(key);
  if (found != glyphCache.end()) return found->second;
  Glyph g;
  if (face && FT_Set_Pixel_Sizes(face, 0, pixelSize) == 0 && FT_Load_Char(face, code, FT_LOAD_RENDER) == 0) {
    FT_GlyphSlot slot = face->glyph;
    g.w = int(slot->bitmap.width);
    g.h = int(slot->bitmap.rows);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.advance = slot->advance.x / 64.0f;
    g.cov.resize(size_t(g.w) * g.h);
    for (int y = 0; y < g.h; y++)
      for (int x = 0; x < g.w; x++) g.cov[size_t(y) * g.w + x] = slot->bitmap.buffer[y * slot->bitmap.pitch + x];
  }
  glyphCache[key] = g;
  return g;
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
