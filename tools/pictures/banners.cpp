// The five 1920 x 200 header banners: the title ZYNTRAX and the group name
// ZORLA-WORX, each banner in its own colours and style.
#include <algorithm>

#include "tools/pictures/pictures.h"

namespace {
const int W = 1920, H = 200;

void Stars(Canvas& c, uint32_t seed, int count, int twinkles) {
  Rng rng(seed);
  for (int i = 0; i < count; i++) {
    float x = rng.Range(0, float(c.w)), y = rng.Range(0, float(c.h)), k = rng.Range(0.2f, 1.0f);
    Glow(c, x, y, 0.7f + k, Hex(0xd0e0ff), k);
  }
  for (int i = 0; i < twinkles; i++) {
    float x = rng.Range(0, float(c.w)), y = rng.Range(10, float(c.h) - 10);
    Twinkle(c, x, y, rng.Range(8, 18), Hex(0xffffff));
  }
}

// Adds a coloured halo around a mask, as neon tubes have.
void Halo(Canvas& c, const Mask& m, int spread, Px colour, float strength) {
  Mask halo = Blur(Dilate(m, spread / 3), spread);
  for (int y = 0; y < c.h; y++)
    for (int x = 0; x < c.w; x++) AddLight(c.at(x, y), colour, halo.at(x, y) * strength);
}

Lettering Style(const Ramp& face, Px outline, int size, float cy) {
  Lettering st;
  st.face = face;
  st.outline = outline;
  st.outlineWidth = std::max(2, size / 28);
  st.shadow = Hex(0, 0.75f);
  st.shadowDx = size / 16, st.shadowDy = size / 14, st.shadowBlur = size / 16;
  st.bevel = std::max(2, size / 30);
  float cap = float(RenderGlyph('H', size).top);
  st.top = cy - cap / 2, st.bottom = cy + cap / 2;
  return st;
}

void Title(Canvas& c, const std::string& text, int size, float cx, float cy, float tracking, const Lettering& st) {
  PaintLettering(c, CentredText(c.w, c.h, text, size, cx, cy, tracking), st);
}

const Ramp CHROME{{{0, Hex(0xffffff)}, {0.45f, Hex(0x9fb4d0)}, {0.5f, Hex(0x203048)}, {0.62f, Hex(0x6a84a8)}, {1, Hex(0xf0f8ff)}}};
const Ramp GOLD{{{0, Hex(0xfff8c0)}, {0.45f, Hex(0xffc020)}, {0.55f, Hex(0x8a4a00)}, {1, Hex(0xffe080)}}};
const Ramp COPPER{{{0, Hex(0xffe0c0)}, {0.4f, Hex(0xe07830)}, {0.55f, Hex(0x5a1800)}, {1, Hex(0xffa060)}}};

// A copper bar: a horizontal band, bright in its middle.
float Bar(float y, float centre, float half) { return std::max(0.0f, 1 - std::fabs(y - centre) / half); }

Canvas NightChrome() {
  Canvas c(W, H);
  Background(c, [](float x, float y) { return Mix(Hex(0x020414), Hex(0x142a5a), y / H); });
  Stars(c, 0x1234u, 500, 14);
  for (float ly : {4.0f, 196.0f})
    FillShape(c, [ly](float x, float y) { return std::fabs(y - ly) - 1.5f; }, Hex(0x40c0ff));
  Title(c, "ZYNTRAX", 128, 960, 84, 10, Style(CHROME, Hex(0x000814), 128, 84));
  Title(c, "ZORLA-WORX", 30, 960, 170, 14, Style(GOLD, Hex(0x201000), 30, 170));
  return c;
}

Canvas CopperStripes() {
  Canvas c(W, H);
  const Px bars[] = {Hex(0xff2020), Hex(0xff9000), Hex(0xffe020), Hex(0x20e040), Hex(0x2090ff), Hex(0xa040ff)};
  Background(c, [&](float x, float y) {
    Px p = Hex(0x000000);
    for (int i = 0; i < 6; i++) {
      float centre = 18 + i * 33 + 6 * std::sin(x * 0.004f + i);
      float k = Bar(y, centre, 16);
      p = Mix(p, Scale(bars[i], 0.35f + 0.65f * k), k > 0 ? Clamp01(k * 3) : 0);
    }
    return p;
  });
  Title(c, "ZYNTRAX", 120, 560, 100, 6, Style(CHROME, Hex(0x000000), 120, 100));
  Title(c, "ZORLA-WORX", 56, 1480, 100, 6, Style(COPPER, Hex(0x000000), 56, 100));
  return c;
}

Canvas NeonSunset() {
  Canvas c(W, H);
  Background(c, [](float x, float y) {
    Px sky = Mix(Hex(0x12002a), Hex(0xb0204a), Smooth(0, 200, y));
    // Striped sun on the right.
    float d = std::hypot(x - 1640, y - 150);
    if (d < 110 && y < 180 && std::fmod(y, 16.0f) < 11 + (y - 40) / 20) {
      Px sun = Mix(Hex(0xffe040), Hex(0xff2080), Clamp01((y - 40) / 140));
      sky = Mix(sky, sun, Clamp01(110 - d));
    }
    // Perspective grid on the floor.
    if (y > 150) {
      float depth = 40 / (y - 140);
      float gx = (x - 960) * depth / 60;
      float line = std::max(Clamp01(1.3f - std::fabs(gx - std::round(gx)) * 60 / depth / 8),
                            Clamp01(1.3f - std::fabs(std::fmod(1 / depth * 6, 1.0f) - 0.5f) * 6));
      sky = Mix(Mix(sky, Hex(0x0a0018), 0.6f), Hex(0xff40d0), line);
    }
    return sky;
  });
  Stars(c, 0x777u, 220, 6);
  Mask title = CentredText(W, H, "ZYNTRAX", 120, 760, 88, 12);
  Halo(c, Dilate(title, 3), 14, Hex(0xff30c0), 1.2f);
  Lettering st = Style(Ramp{{{0, Hex(0x200030)}, {1, Hex(0x500070)}}}, Hex(0xffa0f0), 120, 88);
  st.outlineWidth = 4;
  PaintLettering(c, title, st);
  Mask group = CentredText(W, H, "ZORLA-WORX", 40, 760, 170, 16);
  FillMask(c, Blur(Dilate(group, 4), 3), [](float, float) { return Hex(0x06001a, 0.9f); });
  Halo(c, group, 10, Hex(0x00e0ff), 1.0f);
  FillMask(c, group, [](float, float) { return Hex(0xe0ffff); });
  return c;
}

Canvas GoldStarfield() {
  Canvas c(W, H);
  Background(c, [](float x, float y) {
    float wave = 0.5f + 0.5f * std::sin(x * 0.006f + y * 0.02f);
    return Mix(Hex(0x001208), Hex(0x003a24), wave * (1 - y / 260));
  });
  // Diagonal light streaks.
  Rng rng(0x4242u);
  for (int i = 0; i < 90; i++) {
    float x0 = rng.Range(-100, 1920), y0 = rng.Range(0, 200), len = rng.Range(20, 90), k = rng.Range(0.2f, 0.8f);
    FillShape(c, [=](float x, float y) { return sd::Capsule(x, y, x0, y0, x0 + len, y0 - len * 0.35f, 0.8f); },
              Hex(0xa0ffd0, k));
  }
  Stars(c, 0x9999u, 300, 18);
  Title(c, "ZYNTRAX", 136, 960, 92, 20, Style(GOLD, Hex(0x600000), 136, 92));
  Title(c, "ZORLA-WORX", 28, 180, 180, 6, Style(CHROME, Hex(0x000000), 28, 180));
  Title(c, "ZORLA-WORX", 28, 1740, 180, 6, Style(CHROME, Hex(0x000000), 28, 180));
  return c;
}

Canvas FireRasters() {
  Canvas c(W, H);
  Background(c, [](float x, float y) {
    float band = 0.5f + 0.5f * std::sin(y * 0.18f + std::sin(x * 0.003f) * 3);
    Px hot = Mix(Hex(0x300000), Hex(0xff5000), Smooth(0, 200, y));
    return Mix(Scale(hot, 0.5f), Mix(hot, Hex(0xffd060), 0.3f), band);
  });
  // Chequered chrome strips along the top and bottom edges.
  for (float ly : {0.0f, 188.0f})
    FillShape(c, [ly](float x, float y) { return sd::Box(x, y, 960, ly + 6, 960, 6); }, [](float x, float y) {
      bool check = (int(x / 12) + int(y / 6)) % 2;
      return check ? Hex(0xe0e0e0) : Hex(0x303030);
    });
  Mask title = CentredText(W, H, "ZYNTRAX", 132, 960, 94, 16);
  Halo(c, Dilate(title, 6), 20, Hex(0xffa020), 0.9f);
  Title(c, "ZYNTRAX", 132, 960, 94, 16, Style(COPPER, Hex(0x100000), 132, 94));
  for (float gx : {200.0f, 1720.0f}) Title(c, "ZORLA-WORX", 34, gx, 100, 4, Style(GOLD, Hex(0x000000), 34, 100));
  Twinkle(c, 430, 40, 30, Hex(0xffffc0));
  Twinkle(c, 1500, 150, 26, Hex(0xffffc0));
  return c;
}
}  // namespace

Canvas MakeBanner(int style) {
  switch (style) {
    case 1: return NightChrome();
    case 2: return CopperStripes();
    case 3: return NeonSunset();
    case 4: return GoldStarfield();
    default: return FireRasters();
  }
}
