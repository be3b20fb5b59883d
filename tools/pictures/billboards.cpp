// The six billboard logos (palette pictures with transparent surroundings):
// a chrome badge, the cow's head, a star burst, a ringed disc, a diamond, a shield.
#include <algorithm>

#include "tools/pictures/pictures.h"

namespace {

// Chrome bands that run round a centre, for rims and metal edges.
Paint ConicChrome(float cx, float cy, const Ramp& ramp, float bands) {
  return [=](float x, float y) {
    float a = std::atan2(y - cy, x - cx);
    return ramp(0.5f + 0.5f * std::sin(a * bands + 0.6f));
  };
}

// Spherical lighting of a disc of radius r: bright at the top-left, dark at the bottom-right.
float DiscLight(float x, float y, float cx, float cy, float r) {
  float nx = (x - cx) / r, ny = (y - cy) / r;
  float nz = std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny));
  return -0.45f * nx - 0.55f * ny + 0.7f * nz - 0.55f;
}

const Ramp CHROME{{{0, Hex(0x3a4250)}, {0.35f, Hex(0xe8f0ff)}, {0.5f, Hex(0x8090a8)}, {0.7f, Hex(0xffffff)}, {1, Hex(0x505a6a)}}};
const Ramp GOLD{{{0, Hex(0xfff4b0)}, {0.45f, Hex(0xffc830)}, {0.55f, Hex(0xb06a00)}, {1, Hex(0xffe070)}}};

void Lettered(Canvas& c, const std::string& text, int size, float cx, float cy, const Ramp& face, float tracking = 0) {
  Lettering st;
  st.face = face;
  st.outlineWidth = 3;
  st.shadow = Hex(0, 0.6f);
  st.shadowDx = 3, st.shadowDy = 4, st.shadowBlur = 3;
  st.bevel = 2;
  float cap = float(RenderGlyph('H', size).top);
  st.top = cy - cap / 2, st.bottom = cy + cap / 2;
  PaintLettering(c, CentredText(c.w, c.h, text, size, cx, cy, tracking), st);
}
}  // namespace

Canvas MakeBadge() {
  Canvas c(256, 256);
  const float cx = 128, cy = 128;
  FillShape(c, [&](float x, float y) { return sd::Circle(x, y, cx, cy, 124); }, Hex(0x0a0c14));
  FillShape(c, [&](float x, float y) { return sd::Circle(x, y, cx, cy, 120); }, ConicChrome(cx, cy, CHROME, 2));
  FillShape(c, [&](float x, float y) { return sd::Circle(x, y, cx, cy, 100); }, Hex(0x101830));
  FillShape(c, [&](float x, float y) { return sd::Circle(x, y, cx, cy, 96); }, [&](float x, float y) {
    return Shade(Hex(0x2050d0), DiscLight(x, y, cx, cy, 96));
  });
  // Fine ring of rivets on the blue face.
  for (int i = 0; i < 16; i++) {
    float a = i * PI / 8;
    float rx = cx + 86 * std::cos(a), ry = cy + 86 * std::sin(a);
    FillShape(c, [&](float x, float y) { return sd::Circle(x, y, rx, ry, 3.5f); }, [&](float x, float y) {
      return Shade(Hex(0xc0c8d8), DiscLight(x, y, rx, ry, 3.5f));
    });
  }
  Lettered(c, "ZW", 92, cx, cy + 2, CHROME, -4);
  // Gloss across the upper half.
  FillShape(c, [&](float x, float y) { return sd::Both(sd::Ellipse(x, y, cx, cy - 48, 78, 40), sd::Circle(x, y, cx, cy, 96)); },
            Hex(0xffffff, 0.18f));
  return c;
}

Canvas MakeCowHead() {
  Canvas c(256, 256);
  auto ear = [](float x, float y, float ex, float ey, float turn) {
    float dx = x - ex, dy = y - ey, cs = std::cos(turn), sn = std::sin(turn);
    return sd::Ellipse(dx * cs + dy * sn, -dx * sn + dy * cs, 0, 0, 34, 15);
  };
  auto horn = [](float x, float y, float side) {
    float mx = 128 + side * (x - 128);  // mirror the right horn onto the left one
    return sd::Polygon(mx, y, {{86, 58}, {70, 34}, {52, 22}, {38, 20}, {52, 30}, {62, 48}, {70, 66}});
  };
  auto head = [](float x, float y) { return sd::Ellipse(x, y, 132, 100, 74, 82); };
  auto muzzle = [](float x, float y) { return sd::Ellipse(x, y, 132, 156, 78, 46); };
  auto whole = [&](float x, float y) {
    float d = sd::Union(head(x, y), muzzle(x, y));
    d = sd::Union(d, ear(x, y, 50, 84, -0.35f));
    d = sd::Union(d, ear(x, y, 214, 84, 0.35f));
    return sd::Union(d, sd::Union(horn(x, y, 1), horn(x + 8, y, -1)));
  };
  // Dark outline first, then each part over it.
  FillShape(c, [&](float x, float y) { return whole(x, y) - 4; }, Hex(0x120a06));
  for (float side : {1.0f, -1.0f})
    FillShape(c, [&](float x, float y) { return horn(x + (side < 0 ? 8 : 0), y, side); }, [](float x, float y) {
      return Mix(Hex(0xfff6dc), Hex(0x9c8a60), Clamp01((40 - y) / 24 + 0.3f));
    });
  for (auto [ex, turn] : {std::pair{50.0f, -0.35f}, std::pair{214.0f, 0.35f}}) {
    FillShape(c, [&](float x, float y) { return ear(x, y, ex, 84, turn); }, Hex(0xf2efe8));
    FillShape(c, [&](float x, float y) { return ear(x, y, ex, 84, turn) + 7; }, Hex(0xf0a0a8));
  }
  FillShape(c, head, [](float x, float y) { return Shade(Hex(0xf4f2ec), DiscLight(x, y, 132, 100, 90) * 0.6f); });
  // Black patches, kept inside the head.
  const float patches[][3] = {{90, 40, 34}, {186, 78, 30}, {160, 26, 22}, {78, 120, 16}};
  for (auto& p : patches)
    FillShape(c, [&](float x, float y) { return sd::Both(sd::Circle(x, y, p[0], p[1], p[2]), head(x, y)); },
              [](float x, float y) { return Shade(Hex(0x1e1a1a), DiscLight(x, y, 132, 100, 90) * 0.3f); });
  FillShape(c, muzzle, [](float x, float y) { return Shade(Hex(0xf5a5b0), DiscLight(x, y, 132, 150, 80) * 0.5f); });
  // Nostrils at (90, 145) and (175, 145): the finale's steam comes out of them.
  for (float nx : {90.0f, 175.0f}) {
    FillShape(c, [&](float x, float y) { return sd::Ellipse(x, y, nx, 145, 15, 10); }, Hex(0x7a2a38));
    FillShape(c, [&](float x, float y) { return sd::Ellipse(x, y, nx, 146, 10, 6); }, Hex(0x2a0a10));
  }
  FillShape(c, [](float x, float y) { return sd::Capsule(x, y, 110, 182, 154, 182, 2.5f); }, Hex(0x8a3444));
  // Eyes with a catch light.
  for (float ex : {100.0f, 164.0f}) {
    FillShape(c, [&](float x, float y) { return sd::Ellipse(x, y, ex, 88, 14, 16); }, Hex(0x140c08));
    FillShape(c, [&](float x, float y) { return sd::Ellipse(x, y, ex, 90, 10, 12); }, Hex(0x4a2a18));
    FillShape(c, [&](float x, float y) { return sd::Circle(x, y, ex - 4, 84, 4); }, Hex(0xffffff));
  }
  // Tuft of hair between the horns.
  for (int i = 0; i < 5; i++) {
    float tx = 112 + i * 9;
    FillShape(c, [&](float x, float y) { return sd::Capsule(x, y, tx, 22, tx + 4, 36, 5); }, Hex(0x3a2a22));
  }
  return c;
}

Canvas MakeStarBurst() {
  Canvas c(256, 256);
  const float cx = 128, cy = 128;
  auto outer = sd::Star(cx, cy, 124, 84, 16);
  auto inner = sd::Star(cx, cy, 106, 70, 16, PI / 16);
  FillShape(c, [&](float x, float y) { return sd::Polygon(x, y, outer) - 2; }, Hex(0x200400));
  FillShape(c, [&](float x, float y) { return sd::Polygon(x, y, outer) + 2; }, [&](float x, float y) {
    // Alternate light and dark facets between the star's points.
    float a = std::atan2(y - cy, x - cx) + PI / 2;
    float facet = std::fmod(a * 16 / PI + 64, 2.0f) < 1 ? 0.25f : -0.15f;
    return Shade(Mix(Hex(0xffe040), Hex(0xff7000), std::hypot(x - cx, y - cy) / 124), facet);
  });
  FillShape(c, [&](float x, float y) { return sd::Polygon(x, y, inner); }, [&](float x, float y) {
    return Shade(Hex(0xff3010), DiscLight(x, y, cx, cy, 100) * 0.8f);
  });
  FillShape(c, [&](float x, float y) { return std::fabs(sd::Circle(x, y, cx, cy, 66)) - 3; }, Hex(0xfff0a0));
  Lettered(c, "5", 120, cx, cy, GOLD);
  return c;
}

Canvas MakeRingDisc() {
  Canvas c(256, 256);
  const float cx = 128, cy = 128;
  FillShape(c, [&](float x, float y) { return sd::Circle(x, y, cx, cy, 125); }, Hex(0x06060c));
  const Px colours[] = {Hex(0x00d0ff), Hex(0x7020ff), Hex(0xff30c0), Hex(0xffd000), Hex(0x30ff90)};
  for (int i = 0; i < 5; i++) {
    float r = 120 - i * 22;
    Px base = colours[i];
    FillShape(c, [&](float x, float y) { return sd::Circle(x, y, cx, cy, r); }, [&](float x, float y) {
      float d = r - std::hypot(x - cx, y - cy);  // 0 at the ring's outer edge
      float groove = d < 3 ? -0.5f : (d > 17 ? -0.35f : 0.0f);
      return Shade(base, DiscLight(x, y, cx, cy, 124) * 0.7f + groove);
    });
  }
  FillShape(c, [&](float x, float y) { return sd::Circle(x, y, cx, cy, 18); }, ConicChrome(cx, cy, CHROME, 1));
  FillShape(c, [&](float x, float y) { return sd::Circle(x, y, cx, cy, 6); }, Hex(0x06060c));
  // Specular arc on the upper left.
  FillShape(c, [&](float x, float y) {
    return sd::Both(std::fabs(sd::Circle(x, y, cx, cy, 100)) - 5, sd::Polygon(x, y, {{30, 30}, {128, 10}, {128, 128}, {10, 128}}));
  }, Hex(0xffffff, 0.35f));
  return c;
}

Canvas MakeDiamond() {
  Canvas c(250, 250);
  const float cx = 125, cy = 125;
  std::vector<sd::Pt> rim{{125, 3}, {247, 125}, {125, 247}, {3, 125}};
  FillShape(c, [&](float x, float y) { return sd::Polygon(x, y, rim); }, Hex(0x001020));
  std::vector<sd::Pt> body{{125, 12}, {238, 125}, {125, 238}, {12, 125}};
  FillShape(c, [&](float x, float y) { return sd::Polygon(x, y, body); }, [&](float x, float y) {
    // Four facets, each with its own light, plus a sheen across the middle.
    bool right = x > cx, low = y > cy;
    float k = right ? (low ? -0.45f : 0.1f) : (low ? -0.15f : 0.45f);
    Px base = Mix(Hex(0x40e0ff), Hex(0x0040c0), Clamp01((x + y - 120) / 260));
    return Shade(base, k);
  });
  std::vector<sd::Pt> table{{125, 60}, {190, 125}, {125, 190}, {60, 125}};
  FillShape(c, [&](float x, float y) { return std::fabs(sd::Polygon(x, y, table)) - 1.5f; }, Hex(0xffffff, 0.5f));
  FillShape(c, [&](float x, float y) { return sd::Box(x, y, cx, cy, 112, 22, 6); }, Hex(0x08101c, 0.92f));
  Lettered(c, "ZYNTRAX", 33, cx, cy, CHROME, 0);
  Twinkle(c, 84, 60, 20, Hex(0xffffff));
  Twinkle(c, 182, 178, 14, Hex(0xe0f8ff));
  return c;
}

Canvas MakeShield() {
  Canvas c(250, 250);
  const float cx = 125;
  auto shield = [](float x, float y, float grow) {
    std::vector<sd::Pt> pts{{20, 14}, {125, 30}, {230, 14}, {226, 120}, {200, 180}, {125, 240}, {50, 180}, {24, 120}};
    return sd::Polygon(x, y, pts) - grow;
  };
  FillShape(c, [&](float x, float y) { return shield(x, y, 6); }, Hex(0x1a0c00));
  FillShape(c, [&](float x, float y) { return shield(x, y, 3); }, [](float x, float y) { return GOLD(Clamp01(y / 250)); });
  FillShape(c, [&](float x, float y) { return shield(x, y, -10); }, [&](float x, float y) {
    bool left = x < cx;
    Px base = left ? Hex(0xc01020) : Hex(0xf0f0f0);
    float light = -0.3f * (x - 125) / 110 - 0.25f * (y - 110) / 130;
    return Shade(base, light);
  });
  // A gold chevron and a star.
  FillShape(c, [&](float x, float y) {
    float chevron = sd::Union(sd::Capsule(x, y, 30, 178, 125, 110, 9), sd::Capsule(x, y, 220, 178, 125, 110, 9));
    return sd::Both(chevron, shield(x, y, -10));
  }, [](float x, float y) { return GOLD(Clamp01((y - 100) / 80)); });
  auto star = sd::Star(cx, 72, 38, 16, 5);
  FillShape(c, [&](float x, float y) { return sd::Polygon(x, y, star) - 3; }, Hex(0x1a0c00));
  FillShape(c, [&](float x, float y) { return sd::Polygon(x, y, star); }, [](float x, float y) { return GOLD(Clamp01((y - 40) / 70)); });
  return c;
}
