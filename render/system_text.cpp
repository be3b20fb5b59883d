// Text in the system font on the current drawing output: the bold sans face the
// platform names, rasterised by FreeType into a reused coverage buffer, then
// composited with the output's colours and mode.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"
#include "render/divide255.h"
#include "render/draw_internal.h"
#include "render/frame_bands.h"

namespace {
// The size of a classic system font: a 16 pixel line.
constexpr int FONT_PIXEL_SIZE = 13;
constexpr int TEXT_HEIGHT = 16;

struct Glyph {
  int left = 0, top = 0;  // bitmap offset from the pen, top measured up from the baseline
  int width = 0, rows = 0;
  int advance = 0;
  std::vector<uint8_t> coverage;
};

// The one font of every output: loaded on first use and kept.
std::mutex fontLock;
bool fontTried = false;
FT_Library library = nullptr;
FT_Face face = nullptr;
int baseline = 0;
std::unordered_map<char32_t, Glyph> glyphs;

thread_local std::vector<uint8_t> scratch;  // coverage of the visible part of the text

bool LoadFont() {
  if (fontTried) return face != nullptr;
  fontTried = true;
  std::string file;
  int index = 0;
  if (!SystemFontFile(file, index)) return false;
  if (FT_Init_FreeType(&library) == 0) {
    if (FT_New_Face(library, file.c_str(), index, &face) != 0) face = nullptr;
  }
  if (!face) return false;
  if (FT_Set_Pixel_Sizes(face, 0, FONT_PIXEL_SIZE) != 0) {
    FT_Done_Face(face);
    face = nullptr;
    return false;
  }
  int ascent = (int)((face->size->metrics.ascender + 63) >> 6);
  int descent = (int)((-face->size->metrics.descender + 63) >> 6);
  baseline = std::min(ascent, TEXT_HEIGHT) - std::max(0, ascent + descent - TEXT_HEIGHT) / 2;
  return true;
}

const Glyph& GlyphOf(char32_t code) {
  auto it = glyphs.find(code);
  if (it != glyphs.end()) return it->second;
  Glyph& g = glyphs[code];
  if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) == 0) {
    FT_GlyphSlot slot = face->glyph;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = (int)slot->bitmap.width;
    g.rows = (int)slot->bitmap.rows;
    g.advance = (int)((slot->advance.x + 32) >> 6);
    if (slot->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
      g.coverage.resize((size_t)g.width * (size_t)g.rows);
      for (int r = 0; r < g.rows; ++r)
        std::copy_n(slot->bitmap.buffer + (ptrdiff_t)r * slot->bitmap.pitch, g.width,
                    g.coverage.data() + (size_t)r * (size_t)g.width);
    } else {
      g.width = g.rows = 0;
    }
  }
  return g;
}

// UTF-16 to code points; a lone surrogate stands for itself.
std::u32string CodePoints(const std::u16string& text) {
  std::u32string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    out.push_back(c);
  }
  return out;
}

int MeasureLocked(const std::u32string& codes) {
  int64_t width = 0;
  for (char32_t c : codes) width += GlyphOf(c).advance;
  return (int)std::min<int64_t>(width, 1 << 30);
}

// Renders columns first..last-1 of the text line into the scratch buffer.
void RenderLocked(const std::u32string& codes, int first, int last) {
  const int w = last - first;
  scratch.assign((size_t)w * TEXT_HEIGHT, 0);
  int pen = 0;
  for (char32_t c : codes) {
    const Glyph& g = GlyphOf(c);
    if (pen - first > w + 4 * TEXT_HEIGHT) break;  // well past the visible part
    int gx = pen + g.left - first;
    pen += g.advance;
    if (gx >= w || gx + g.width <= 0) continue;
    int gy = baseline - g.top;
    for (int r = 0; r < g.rows; ++r) {
      int row = gy + r;
      if (row < 0 || row >= TEXT_HEIGHT) continue;
      const uint8_t* src = g.coverage.data() + (size_t)r * (size_t)g.width;
      uint8_t* dst = scratch.data() + (size_t)row * (size_t)w;
      for (int col = std::max(0, -gx); col < g.width && gx + col < w; ++col)
        dst[gx + col] = (uint8_t)std::max<int>(dst[gx + col], src[col]);
    }
  }
}

inline uint8_t Mix(unsigned a, unsigned b, unsigned c) { return (uint8_t)Div255Down(a * c + b * (255 - c)); }

// Composites the scratch buffer (w columns) with its top-left at (x, y0).
void Composite(DrawingOutput& o, int x, int y0, int w) {
  const bool blend = o.blend;
  const bool keepBackground = !blend && (o.mode & DRAW_MODE_TRANSPARENT_TEXT);
  const unsigned fr = RedOf(o.front), fg = GreenOf(o.front), fb = BlueOf(o.front);
  const unsigned fa = o.frontAlpha;
  for (int row = 0; row < TEXT_HEIGHT; ++row) {
    int y = y0 + row;
    if (y < 0 || y >= o.clipHeight) continue;
    const uint8_t* cov = scratch.data() + (size_t)row * (size_t)w;
    uint8_t* p = OutputRow(o, y) + (ptrdiff_t)x * o.bytesPerPixel;
    for (int i = 0; i < w; ++i, p += o.bytesPerPixel) {
      unsigned c = cov[i];
      if (blend) {
        unsigned b = Div255Down<unsigned>(p[0] * o.backInverseAlpha + o.backBlue);
        unsigned g = Div255Down<unsigned>(p[1] * o.backInverseAlpha + o.backGreen);
        unsigned r = Div255Down<unsigned>(p[2] * o.backInverseAlpha + o.backRed);
        unsigned f = Div255Down(c * fa);
        p[0] = (uint8_t)Div255Down(b * (255 - f) + fb * f);
        p[1] = (uint8_t)Div255Down(g * (255 - f) + fg * f);
        p[2] = (uint8_t)Div255Down(r * (255 - f) + fr * f);
      } else if (keepBackground) {
        if (c == 0) continue;
        p[0] = Mix(fb, p[0], c);
        p[1] = Mix(fg, p[1], c);
        p[2] = Mix(fr, p[2], c);
      } else {
        p[0] = Mix(fb, o.backBlue, c);
        p[1] = Mix(fg, o.backGreen, c);
        p[2] = Mix(fr, o.backRed, c);
      }
    }
  }
}
}  // namespace

int TextWidth(const std::u16string& text) {
  if (text.empty()) return 0;
  std::lock_guard<std::mutex> hold(fontLock);
  if (!LoadFont()) return 0;
  return MeasureLocked(CodePoints(text));
}

double DrawTextAt(double x, double y, const std::u16string& text, Colour colour) {
  DrawingOutput* out = CurrentOutput();
  if (!out || text.empty()) return x;
  if (out->kept) {
    KeepText(x, y, text, colour);
    return x + TextWidth(text);  // 0 wide when there is no font, as below
  }
  return PaintText(*out, x, y, text, colour);
}

double PaintText(DrawingOutput& o, double x, double y, const std::u16string& text, Colour colour) {
  if (text.empty()) return x;
  UseFrontColour(o, colour);
  UseBackColour(o, o.pendingBack);
  std::lock_guard<std::mutex> hold(fontLock);
  if (!LoadFont()) return x;
  const std::u32string codes = CodePoints(text);
  const int width = MeasureLocked(codes);
  const int64_t x0 = TruncToInt(x) + o.originX, y0 = TruncToInt(y) + o.originY;
  // Only the columns of the text that land on the output are rendered.
  const int64_t first = std::max<int64_t>(0, -x0);
  const int64_t last = std::min<int64_t>(width, (int64_t)o.clipWidth - x0);
  if (first < last && y0 < o.clipHeight && y0 + TEXT_HEIGHT > 0) {
    RenderLocked(codes, (int)first, (int)last);
    Composite(o, (int)(x0 + first), (int)y0, (int)(last - first));
  }
  return x + width;
}
