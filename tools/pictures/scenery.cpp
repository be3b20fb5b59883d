// The scenery pictures: the rotozoom tile, the tunnel and cyber-city
// backgrounds, the small spaceship, the launcher banner and the pulse discs.
#include <algorithm>

#include "tools/pictures/pictures.h"

namespace {

// Closeness of v to the nearest multiple of period, as a soft line of the width.
float GridLine(float v, float period, float width) {
  float d = std::fabs(v - period * std::round(v / period));
  return Clamp01(1 - d / width);
}

Lettering Chrome(int size, float cy) {
  Lettering st;
  st.face = Ramp{{{0, Hex(0xffffff)}, {0.45f, Hex(0xa8c0e0)}, {0.5f, Hex(0x283858)}, {0.65f, Hex(0x7890c0)}, {1, Hex(0xf8fcff)}}};
  st.outline = Hex(0x080010);
  st.outlineWidth = std::max(2, size / 24);
  st.shadow = Hex(0, 0.8f);
  st.shadowDx = size / 14, st.shadowDy = size / 12, st.shadowBlur = size / 14;
  st.bevel = 2;
  float cap = float(RenderGlyph('H', size).top);
  st.top = cy - cap / 2, st.bottom = cy + cap / 2;
  return st;
}
}  // namespace

Canvas MakeRotozoomTile() {
  const int N = 255, TILE = 51;  // five tiles a side, so the picture repeats seamlessly
  Canvas c(N, N);
  Background(c, [&](float x, float y) {
    int tx = int(x) / TILE, ty = int(y) / TILE;
    float u = std::fmod(x, float(TILE)), v = std::fmod(y, float(TILE));
    Px base = (tx + ty) % 2 ? Hex(0x1838b8) : Hex(0xffd028);
    float edge = std::min(std::min(u, v), std::min(TILE - u, TILE - v));
    float bevel = edge < 5 ? ((u < 5 || v < 5) && u + v < TILE ? 0.45f : -0.5f) : 0.0f;
    float inner = std::hypot(u - TILE / 2.0f, v - TILE / 2.0f) < 9 ? -0.25f : 0.0f;
    return Shade(base, bevel + inner);
  });
  Lettering st = Chrome(170, 127.5f);
  st.face = Ramp{{{0, Hex(0xff8080)}, {0.5f, Hex(0xe01010)}, {1, Hex(0x700000)}}};
  st.outline = Hex(0xffffff);
  st.outlineWidth = 6;
  PaintLettering(c, CentredText(N, N, "Z", 170, 127.5f, 127.5f), st);
  return c;
}

Canvas MakeTunnel() {
  const int W = 1388, H = 618;
  const float cx = W / 2.0f, cy = H / 2.0f;
  Canvas c(W, H);
  Background(c, [&](float x, float y) {
    float dx = x - cx, dy = (y - cy) * 1.5f;
    float r = std::max(std::hypot(dx, dy), 1.0f);
    float depth = 2400 / r;            // distance along the tunnel
    float angle = std::atan2(dy, dx);  // around the tunnel
    float panel = GridLine(angle * 12 / PI, 1.0f, 0.12f * r / 300 + 0.04f);
    float ring = GridLine(depth, 2.0f, 0.18f);
    float lamp = GridLine(depth + 1, 4.0f, 0.08f) * (std::fabs(std::sin(angle * 6)) > 0.8f ? 1.0f : 0.0f);
    float fog = Clamp01(r / 650);
    Px wall = Mix(Hex(0x0c1c30), Hex(0x3a6090), 0.5f + 0.5f * std::sin(angle * 12 + depth * 0.5f));
    wall = Mix(wall, Hex(0x06101c), panel * 0.8f);
    wall = Mix(wall, Hex(0x70d0ff), ring * 0.6f);
    wall = Mix(wall, Hex(0xffb040), lamp);
    // The far end glows; the walls fade into it.
    Px end = Mix(Hex(0xffffff), Hex(0x4080c0), Clamp01(r / 90));
    return Mix(end, wall, Smooth(0.0f, 0.35f, fog));
  });
  return c;
}

Canvas MakeCyberCity() {
  const int W = 1920, H = 680;
  const float horizon = 430;
  Canvas c(W, H);
  Background(c, [&](float x, float y) {
    if (y < horizon) {
      Px sky = Mix(Hex(0x04001a), Hex(0x9a1a6a), Smooth(0, horizon, y));
      float d = std::hypot(x - 960, y - 330);
      if (d < 170 && std::fmod(y, 20.0f) < 12 + (y - 160) / 18)
        sky = Mix(sky, Mix(Hex(0xfff060), Hex(0xff2a80), Clamp01((y - 160) / 170)), Clamp01(170 - d));
      return sky;
    }
    float depth = 60 / (y - horizon + 1);
    float gx = GridLine((x - 960) * depth, 40, depth * 1.6f + 0.8f);
    float gz = GridLine(600 * depth, 40, 6 * depth * depth + 1.5f);
    Px floor = Mix(Hex(0x14002a), Hex(0x000000), Clamp01((y - horizon) / 250));
    float line = std::max(gx, gz) * Clamp01((y - horizon) / 20 + 0.3f);
    return Mix(floor, Hex(0x00f0ff), line);
  });
  // Skyline: three rows of towers, the nearer ones darker and bigger, with lit windows.
  Rng rng(0xc17u);
  for (int row = 0; row < 3; row++) {
    float x = -20;
    Px body = row == 0 ? Hex(0x2a1448) : row == 1 ? Hex(0x180a30) : Hex(0x0a0418);
    while (x < W) {
      float bw = rng.Range(40, 110) + row * 20, bh = rng.Range(60, 200) + row * 40 - (row == 2 ? 60 : 0);
      float left = x, top = horizon - bh;
      Rect around{int(left) - 2, int(top) - 2, int(left + bw) + 3, int(horizon) + 2};
      FillShapeIn(c, around, [=](float px, float py) { return sd::Box(px, py, left + bw / 2, horizon - bh / 2, bw / 2, bh / 2); },
                  [=](float, float) { return body; });
      uint32_t windows = rng.Next();
      for (float wy = top + 8; wy < horizon - 8; wy += 12)
        for (float wx = left + 6; wx < left + bw - 8; wx += 10) {
          windows = windows * 1103515245u + 12345u;
          if ((windows >> 16) % 3 != 0) continue;
          Px lamp = (windows >> 20) % 2 ? Hex(0x40f0ff) : Hex(0xff50d0);
          Px lit = Scale(lamp, 0.6f + row * 0.2f);
          FillShapeIn(c, {int(wx) - 1, int(wy) - 1, int(wx) + 6, int(wy) + 7},
                      [=](float px, float py) { return sd::Box(px, py, wx + 2, wy + 2.5f, 2, 2.5f); },
                      [=](float, float) { return lit; });
        }
      if (rng.Unit() < 0.3f) {
        float ax = left + bw / 2;
        FillShapeIn(c, {int(ax) - 3, int(top) - 33, int(ax) + 4, int(top) + 3},
                    [=](float px, float py) { return sd::Capsule(px, py, ax, top, ax, top - 30, 1.2f); },
                    [=](float, float) { return body; });
        Glow(c, ax, top - 30, 3, Hex(0xff2040), 1.0f);
      }
      x += bw + rng.Range(0, 24);
    }
  }
  FillShape(c, [&](float x, float y) { return std::fabs(y - horizon) - 1.5f; }, Hex(0xff60e0));
  Rng stars(0x5151u);
  for (int i = 0; i < 160; i++) Glow(c, stars.Range(0, W), stars.Range(0, 220), stars.Range(0.6f, 1.4f), Hex(0xffffff), 0.8f);
  return c;
}

Canvas MakeShip() {
  const int W = 184, H = 67;
  Canvas c(W, H);
  // Engine flame on the left.
  FillShape(c, [](float x, float y) { return sd::Ellipse(x, y, 20, 34, 20, 8); }, [](float x, float) {
    return Mix(Hex(0x2060ff, 0.3f), Hex(0xe0f8ff), Clamp01(x / 40));
  });
  Glow(c, 30, 34, 8, Hex(0x60a0ff), 0.8f);
  auto outlined = [&](const std::vector<sd::Pt>& pts, const Paint& paint) {
    FillShape(c, [&](float x, float y) { return sd::Polygon(x, y, pts) - 2; }, Hex(0x080810));
    FillShape(c, [&](float x, float y) { return sd::Polygon(x, y, pts); }, paint);
  };
  // Wings above and below the hull.
  outlined({{70, 30}, {100, 30}, {70, 4}, {54, 4}}, [](float, float y) { return Shade(Hex(0xc03030), (y - 30) / 60); });
  outlined({{70, 38}, {100, 38}, {66, 63}, {50, 63}}, [](float, float y) { return Shade(Hex(0xc03030), -(y - 38) / 40); });
  // Hull: a long wedge with a pointed nose on the right.
  outlined({{36, 24}, {120, 22}, {180, 34}, {120, 46}, {36, 44}}, [](float, float y) {
    float t = (y - 22) / 24;
    return Shade(Hex(0xa8b8cc), 0.45f - t * 1.1f);
  });
  FillShape(c, [](float x, float y) { return sd::Box(x, y, 80, 40, 40, 1.5f); }, Hex(0xd03030));
  // Canopy with a glint.
  FillShape(c, [](float x, float y) { return sd::Ellipse(x, y, 124, 29, 24, 9) - 1.5f; }, Hex(0x080810));
  FillShape(c, [](float x, float y) { return sd::Ellipse(x, y, 124, 29, 24, 9); }, [](float x, float y) {
    return Mix(Hex(0x80e0ff), Hex(0x103060), Clamp01((y - 20) / 18 + (x - 110) / 80));
  });
  FillShape(c, [](float x, float y) { return sd::Ellipse(x, y, 118, 25, 8, 2.5f); }, Hex(0xffffff, 0.85f));
  FillShape(c, [](float x, float y) { return sd::Box(x, y, 38, 34, 4, 11, 1); }, Hex(0x404850));
  return c;
}

Canvas MakeLauncherBanner() {
  const int W = 600, H = 200;
  Canvas c(W, H);
  Background(c, [&](float x, float y) {
    Px sky = Mix(Hex(0x06021a), Hex(0x3a0a50), Smooth(0, 140, y));
    if (y > 140) {
      float depth = 30 / (y - 138);
      float line = std::max(GridLine((x - 300) * depth, 24, depth + 0.6f), GridLine(300 * depth, 24, 3 * depth * depth + 1));
      sky = Mix(Hex(0x10001c), Hex(0xff40c0), line);
    }
    return sky;
  });
  Rng rng(0x600u);
  for (int i = 0; i < 80; i++) Glow(c, rng.Range(0, W), rng.Range(0, 130), rng.Range(0.5f, 1.2f), Hex(0xffffff), 0.8f);
  FillShape(c, [](float x, float y) { return std::fabs(y - 140) - 1; }, Hex(0xff80ff));
  PaintLettering(c, CentredText(W, H, "VELDA PARTY 5", 62, 300, 80, 2), Chrome(62, 80));
  Mask sub = CentredText(W, H, "ZORLA-WORX PRESENTS ZYNTRAX", 16, 300, 128, 3);
  FillMask(c, Blur(Dilate(sub, 2), 2), [](float, float) { return Hex(0, 0.9f); });
  FillMask(c, sub, [](float, float) { return Hex(0xffd060); });
  Twinkle(c, 70, 40, 16, Hex(0xffffff));
  Twinkle(c, 540, 110, 12, Hex(0xffffff));
  return c;
}

Canvas MakePulse(int channel) {
  const int N = 64;
  const float cx = 32, cy = 32, radius = 30;
  Canvas c(N, N, Hex(0, 0));
  for (int y = 0; y < N; y++)
    for (int x = 0; x < N; x++) {
      float t = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
      if (t >= 1) continue;  // outside stays exactly black and transparent
      float brightness = 0.3f + 0.7f * (1 - t * t) + 0.5f * std::exp(-(t - 0.82f) * (t - 0.82f) * 120);
      float white = 1 - Smooth(0.0f, 0.45f, t);
      float level[3] = {0.08f, 0.08f, 0.08f};
      level[channel] = 1;
      Px p{level[0], level[1], level[2], 1};
      p = Mix(p, Hex(0xffffff), white * 0.9f);
      // Never exactly black inside: the sprites' colour key must not punch holes.
      float k = std::min(1.0f, brightness);
      c.at(x, y) = {std::max(p.r * k, 1.0f / 255), std::max(p.g * k, 1.0f / 255), std::max(p.b * k, 1.0f / 255), 1};
    }
  return c;
}
