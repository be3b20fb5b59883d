// The desktop icon: the show's chrome badge, reduced to the icon theme's sizes
// by averaging the badge pixels that each icon pixel covers.
#include <algorithm>

#include "tools/pictures/pictures.h"

namespace {
// Share of source pixel `s` inside the destination span [lo, hi) (source units).
float Overlap(int s, float lo, float hi) {
  return std::max(0.0f, std::min(hi, float(s + 1)) - std::max(lo, float(s)));
}
}  // namespace

Canvas MakeIcon(int size) {
  const Canvas badge = MakeBadge();
  Canvas icon(size, size);
  const float step = float(badge.w) / float(size);
  for (int y = 0; y < size; y++) {
    const float y0 = y * step, y1 = (y + 1) * step;
    for (int x = 0; x < size; x++) {
      const float x0 = x * step, x1 = (x + 1) * step;
      // Sum in premultiplied alpha so that the transparent surroundings do not
      // darken the badge's rim.
      float r = 0, g = 0, b = 0, a = 0, area = 0;
      for (int sy = int(y0); sy < badge.h && sy < y1; sy++) {
        const float wy = Overlap(sy, y0, y1);
        for (int sx = int(x0); sx < badge.w && sx < x1; sx++) {
          const float w = wy * Overlap(sx, x0, x1);
          const Px& p = badge.at(sx, sy);
          r += p.r * p.a * w, g += p.g * p.a * w, b += p.b * p.a * w, a += p.a * w;
          area += w;
        }
      }
      Px& out = icon.at(x, y);
      out.a = area > 0 ? a / area : 0;
      if (a > 0) out.r = r / a, out.g = g / a, out.b = b / a;
    }
  }
  return icon;
}
