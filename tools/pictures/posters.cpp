// The tall poster pictures on transparent ground: a tin robot, a planet with a
// ringed moon, a crystal totem and a rocket, each shaded as if lit from the left.
#include <algorithm>

#include "tools/pictures/pictures.h"

namespace {

// Brushed metal of a vertical cylinder spanning left..right: a highlight a
// third of the way in, dark at the far edge.
Paint Cylinder(Px base, float left, float right) {
  return [=](float x, float) {
    float t = Clamp01((x - left) / (right - left));
    float light = 0.55f * std::exp(-(t - 0.3f) * (t - 0.3f) * 18) - 0.6f * t * t + 0.05f;
    return Shade(base, light);
  };
}

Paint Sphere(Px base, float cx, float cy, float r) {
  return [=](float x, float y) {
    float nx = (x - cx) / r, ny = (y - cy) / r;
    float nz = std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny));
    float light = -0.5f * nx - 0.45f * ny + 0.75f * nz;
    float specular = std::pow(Clamp01(light), 24.0f);
    return Shade(Shade(base, (light - 0.55f) * 1.1f), specular * 0.8f);
  };
}

// Draws a part with a dark outline, then its shaded body.
void Part(Canvas& c, const Sdf& shape, const Paint& paint, float outline = 3) {
  FillShape(c, [&](float x, float y) { return shape(x, y) - outline; }, Hex(0x0c0a10));
  FillShape(c, shape, paint);
}
}  // namespace

Canvas MakeRobot() {
  Canvas c(462, 694);
  const Px steel = Hex(0x8ea4bc), red = Hex(0xd03020), dark = Hex(0x303848);
  Glow(c, 231, 380, 150, Hex(0x1040a0, 0.5f), 0.35f);
  // Antenna.
  Part(c, [](float x, float y) { return sd::Capsule(x, y, 231, 40, 231, 100, 4); }, Cylinder(dark, 227, 235));
  Part(c, [](float x, float y) { return sd::Circle(x, y, 231, 34, 14); }, Sphere(red, 231, 34, 14));
  Glow(c, 231, 34, 20, Hex(0xff4020), 0.6f);
  // Legs and feet behind the body.
  for (float lx : {180.0f, 282.0f}) {
    Part(c, [=](float x, float y) { return sd::Box(x, y, lx, 540, 24, 92, 10); }, Cylinder(steel, lx - 24, lx + 24));
    for (int k = 0; k < 4; k++)
      FillShape(c, [=](float x, float y) { return sd::Box(x, y, lx, 510 + k * 30.0f, 25, 2, 1); }, Hex(0x202830));
    Part(c, [=](float x, float y) { return sd::Box(x, y, lx + (lx < 231 ? -10 : 10), 648, 50, 22, 14); },
         Cylinder(dark, lx - 60, lx + 60));
  }
  // Arms.
  for (float side : {-1.0f, 1.0f}) {
    float sx = 231 + side * 140, hx = 231 + side * 178;
    Part(c, [=](float x, float y) { return sd::Capsule(x, y, sx, 260, hx, 420, 20); }, Cylinder(steel, std::min(sx, hx) - 20, std::max(sx, hx) + 20));
    Part(c, [=](float x, float y) { return sd::Circle(x, y, sx, 260, 30); }, Sphere(red, sx, 260, 30));
    Part(c, [=](float x, float y) {
      return sd::Cut(sd::Circle(x, y, hx, 450, 30), sd::Circle(x, y, hx, 468, 16));
    }, Sphere(dark, hx, 450, 30));
  }
  // Torso with a chest panel.
  Part(c, [](float x, float y) { return sd::Box(x, y, 231, 340, 120, 110, 22); }, Cylinder(steel, 111, 351));
  Part(c, [](float x, float y) { return sd::Box(x, y, 231, 330, 76, 62, 10); }, [](float, float y) {
    return Mix(Hex(0x1a2436), Hex(0x0a0e18), (y - 268) / 124);
  }, 2);
  const Px lamps[] = {Hex(0xff3030), Hex(0xffd020), Hex(0x30ff60), Hex(0x30b0ff)};
  for (int i = 0; i < 4; i++) {
    float lx = 183 + i * 32;
    FillShape(c, [=](float x, float y) { return sd::Circle(x, y, lx, 298, 9); }, Sphere(lamps[i], lx, 298, 9));
    Glow(c, lx, 298, 12, lamps[i], 0.5f);
  }
  Part(c, [](float x, float y) { return sd::Circle(x, y, 231, 352, 26); }, Sphere(Hex(0xe8e0c8), 231, 352, 26), 2);
  FillShape(c, [](float x, float y) { return sd::Capsule(x, y, 231, 352, 248, 336, 2.5f); }, Hex(0xc02010));
  // Rivets along the torso's edge.
  for (int i = 0; i < 7; i++)
    for (float rx : {124.0f, 338.0f}) {
      float ry = 250 + i * 30.0f;
      FillShape(c, [=](float x, float y) { return sd::Circle(x, y, rx, ry, 4); }, Sphere(Hex(0xd8e0ea), rx, ry, 4));
    }
  // Neck and head.
  Part(c, [](float x, float y) { return sd::Box(x, y, 231, 218, 34, 16, 4); }, Cylinder(dark, 197, 265));
  Part(c, [](float x, float y) { return sd::Box(x, y, 231, 152, 92, 58, 26); }, Cylinder(steel, 139, 323));
  for (float ex : {190.0f, 272.0f}) {
    FillShape(c, [=](float x, float y) { return sd::Circle(x, y, ex, 140, 22); }, Hex(0x101420));
    FillShape(c, [=](float x, float y) { return sd::Circle(x, y, ex, 140, 15); }, Sphere(Hex(0x40f0ff), ex, 140, 15));
    Glow(c, ex, 140, 22, Hex(0x40e0ff), 0.7f);
  }
  Part(c, [](float x, float y) { return sd::Box(x, y, 231, 182, 46, 10, 4); }, [](float, float) { return Hex(0x202838); }, 2);
  for (int i = 0; i < 6; i++)
    FillShape(c, [=](float x, float y) { return sd::Box(x, y, 196 + i * 14.0f, 182, 2, 7); }, Hex(0x8090a0));
  for (float bx : {135.0f, 327.0f})
    Part(c, [=](float x, float y) { return sd::Box(x, y, bx, 150, 10, 24, 4); }, Cylinder(red, bx - 10, bx + 10), 2);
  return c;
}

Canvas MakePlanet() {
  Canvas c(462, 694);
  const float px = 231, py = 440, pr = 186;
  // Atmosphere halo, then the banded gas giant.
  Glow(c, px, py, pr * 0.75f, Hex(0xff9040, 0.6f), 0.45f);
  FillShape(c, [&](float x, float y) { return sd::Circle(x, y, px, py, pr); }, [&](float x, float y) {
    float lat = (y - py) / pr;
    float band = std::sin(lat * 13 + 0.8f * std::sin((x - px) / pr * 4 + lat * 6));
    Px base = Mix(Hex(0xd07030), Hex(0xf8d8a0), 0.5f + 0.5f * band);
    base = Mix(base, Hex(0xa04020), Clamp01(std::fabs(lat - 0.25f) < 0.06f ? 0.7f : 0));
    return Sphere(base, px, py, pr)(x, y);
  });
  // The storm eye.
  FillShape(c, [&](float x, float y) { return sd::Both(sd::Ellipse(x, y, 290, 500, 34, 18), sd::Circle(x, y, px, py, pr)); },
            [&](float x, float y) { return Mix(Hex(0xc03010), Hex(0xff8050), Clamp01(1 - std::hypot((x - 290) / 34, (y - 500) / 18))); });
  // Night side.
  FillShape(c, [&](float x, float y) { return sd::Circle(x, y, px, py, pr); }, [&](float x, float y) {
    float nx = (x - px) / pr, ny = (y - py) / pr;
    return Hex(0x000010, Clamp01((nx * 0.7f + ny * 0.5f) * 1.3f));
  });
  // The ringed moon: back half of the ring, the moon, then the front half.
  const float mx = 318, my = 150, mr = 62;
  auto ring = [&](float x, float y) {
    float dx = x - mx, dy = y - my, cs = std::cos(-0.35f), sn = std::sin(-0.35f);
    float rx = dx * cs - dy * sn, ry = dx * sn + dy * cs;
    float k = std::hypot(rx / 120, ry / 30);
    return std::make_pair(std::fabs(k - 0.85f) * 120 - 16, ry);
  };
  auto ringPaint = [&](float x, float y) {
    float dx = x - mx, dy = y - my;
    float band = std::sin(std::hypot(dx, dy * 3) * 0.5f);
    return Mix(Hex(0x8098c0, 0.9f), Hex(0xe0f0ff, 0.95f), 0.5f + 0.5f * band);
  };
  FillShape(c, [&](float x, float y) { auto [d, ry] = ring(x, y); return ry < 0 ? d : 1e9f; }, ringPaint);
  FillShape(c, [&](float x, float y) { return sd::Circle(x, y, mx, my, mr + 2); }, Hex(0x0a0a18));
  FillShape(c, [&](float x, float y) { return sd::Circle(x, y, mx, my, mr); }, [&](float x, float y) {
    float crater = 0;
    const float craters[][3] = {{300, 130, 12}, {338, 170, 9}, {322, 112, 7}, {290, 170, 8}};
    for (auto& k : craters) crater += std::hypot(x - k[0], y - k[1]) < k[2] ? -0.25f : 0;
    return Shade(Sphere(Hex(0x90a8c8), mx, my, mr)(x, y), crater);
  });
  FillShape(c, [&](float x, float y) { auto [d, ry] = ring(x, y); return ry >= 0 ? d : 1e9f; }, ringPaint);
  Twinkle(c, 90, 120, 22, Hex(0xffffff));
  Twinkle(c, 410, 330, 14, Hex(0xfff0d0));
  Twinkle(c, 60, 640, 16, Hex(0xe0f0ff));
  return c;
}

Canvas MakeTotem() {
  Canvas c(462, 694);
  Glow(c, 231, 300, 130, Hex(0x30ffd0, 0.6f), 0.4f);
  // A crystal: a hexagonal prism with a pointed top, each facet lit differently.
  auto crystal = [&](float cx, float top, float bottom, float hw, Px colour) {
    float tip = hw * 1.6f;
    std::vector<sd::Pt> outline{{cx, top}, {cx + hw, top + tip}, {cx + hw, bottom}, {cx, bottom + hw * 0.4f},
                                {cx - hw, bottom}, {cx - hw, top + tip}};
    FillShape(c, [&](float x, float y) { return sd::Polygon(x, y, outline) - 3; }, Hex(0x041018));
    FillShape(c, [&](float x, float y) { return sd::Polygon(x, y, outline); }, [=](float x, float y) {
      float u = (x - cx) / hw;
      float facet = u < -0.35f ? 0.35f : (u < 0.35f ? 0.0f : -0.4f);
      if (y < top + tip * (1 - std::fabs(u))) facet += 0.25f;
      float inner = 0.15f * std::sin(y * 0.05f + u * 3);
      return Shade(Mix(colour, Hex(0xffffff), Clamp01((bottom - y) / (bottom - top) * 0.3f)), facet + inner);
    });
    // Edge highlights along the facet seams.
    for (float s : {-0.35f, 0.35f})
      FillShape(c, [=](float x, float y) {
        float ex = cx + s * hw;
        return sd::Capsule(x, y, ex, top + tip * (1 - std::fabs(s)) + 6, ex, bottom - 4, 1.2f);
      }, Hex(0xffffff, 0.55f));
  };
  crystal(150, 230, 520, 34, Hex(0x2080ff));
  crystal(312, 250, 520, 34, Hex(0xa040ff));
  crystal(231, 60, 540, 60, Hex(0x20e0c0));
  // Stone pedestal in three steps.
  const float steps[][3] = {{231, 560, 150}, {231, 600, 180}, {231, 648, 214}};
  for (auto& s : steps)
    Part(c, [&](float x, float y) { return sd::Box(x, y, s[0], s[1], s[2], 22, 6); }, [&](float x, float y) {
      float grain = 0.08f * std::sin(x * 0.7f) * std::sin(y * 1.3f);
      return Shade(Cylinder(Hex(0x6a6458), s[0] - s[2], s[0] + s[2])(x, y), grain + (y < s[1] - 14 ? 0.2f : 0));
    });
  // Glowing runes on the pedestal and a floating ring of sparks.
  for (int i = 0; i < 7; i++) {
    float rx = 111 + i * 40.0f;
    FillShape(c, [=](float x, float y) { return sd::Both(std::fabs(sd::Circle(x, y, rx, 648, 9)) - 1.6f, -(x - rx + 2)); }, Hex(0x60ffe0));
    Glow(c, rx, 648, 10, Hex(0x40ffd0), 0.35f);
  }
  for (int i = 0; i < 12; i++) {
    float a = i * PI / 6;
    Twinkle(c, 231 + 190 * std::cos(a), 330 + 46 * std::sin(a), i % 3 ? 10 : 18, Hex(0xc0fff0));
  }
  return c;
}

Canvas MakeRocket() {
  Canvas c(320, 694);
  const float cx = 160;
  // Exhaust flame: a long glowing tear under the nozzle.
  FillShape(c, [&](float x, float y) { return sd::Ellipse(x, y, cx, 590, 34, 100); }, [&](float x, float y) {
    float t = Clamp01((y - 500) / 190);
    return Mix(Hex(0xfff8d0, 0.95f), Hex(0xff3000, 0.2f), t);
  });
  FillShape(c, [&](float x, float y) { return sd::Ellipse(x, y, cx, 560, 16, 60); }, Hex(0xffffff, 0.9f));
  Glow(c, cx, 560, 60, Hex(0xff8020, 0.8f), 0.6f);
  // Fins behind the body.
  for (float side : {-1.0f, 1.0f}) {
    std::vector<sd::Pt> fin{{cx + side * 50, 360}, {cx + side * 130, 470}, {cx + side * 132, 545}, {cx + side * 50, 500}};
    Part(c, [=](float x, float y) { return sd::Polygon(x, y, fin); }, Cylinder(Hex(0xd02828), cx - 132, cx + 132));
  }
  Part(c, [&](float x, float y) { return sd::Box(x, y, cx, 512, 36, 22, 6); }, Cylinder(Hex(0x404850), cx - 36, cx + 36));
  // Body: an ogive from the nose at the top to the base.
  auto body = [&](float x, float y) {
    float t = Clamp01((y - 40) / 440);
    float half = 58 * std::sqrt(std::min(1.0f, t * 2.4f));
    return sd::Both(std::fabs(x - cx) - half, sd::Both(40 - y, y - 500));
  };
  Part(c, body, [&](float x, float y) {
    Px base = y < 150 ? Hex(0xd82020) : Hex(0xe8ecf0);
    if (std::fabs(y - 420) < 8) base = Hex(0xd82020);
    return Cylinder(base, cx - 58, cx + 58)(x, y);
  });
  FillShape(c, [&](float x, float y) { return sd::Both(std::fabs(y - 150) - 2, body(x, y)); }, Hex(0x301010));
  // Porthole with a reflection.
  Part(c, [&](float x, float y) { return sd::Circle(x, y, cx, 240, 30); }, Sphere(Hex(0xa0a8b0), cx, 240, 30));
  FillShape(c, [&](float x, float y) { return sd::Circle(x, y, cx, 240, 21); }, Sphere(Hex(0x2070d0), cx, 240, 21));
  FillShape(c, [&](float x, float y) { return sd::Ellipse(x, y, cx - 7, 232, 7, 4); }, Hex(0xffffff, 0.8f));
  // Centre fin seen edge-on and a row of rivets.
  Part(c, [&](float x, float y) { return sd::Box(x, y, cx, 470, 6, 60, 3); }, Cylinder(Hex(0xd02828), cx - 6, cx + 6), 2);
  for (int i = 0; i < 7; i++)
    FillShape(c, [=](float x, float y) { return sd::Circle(x, y, cx - 45 + i * 15.0f, 320, 3); }, Hex(0x707880));
  Twinkle(c, 60, 120, 20, Hex(0xffffff));
  Twinkle(c, 270, 300, 14, Hex(0xffffff));
  return c;
}
