// Sine and Cosine of a double for the per-block sine fields: the same bits on
// every target, from one reduction and one polynomial, instead of each C
// library's own (mingw-w64's x87 sin and cos cost three times glibc's).
#pragma once
#include <cmath>
#include <cstdint>

namespace sine_detail {
// pi/2 in two parts: the first has 33 bits, so k times it is exact for the
// k below 2^20 that the fast path takes.
constexpr double PIO2_HIGH = 1.57079632673412561417e+00;
constexpr double PIO2_LOW = 6.07710050650619224932e-11;
constexpr double TWO_OVER_PI = 6.36619772367581382433e-01;
constexpr double ROUNDER = 6755399441055744.0;  // 1.5 * 2^52: adding it rounds to a whole number
constexpr double FAST_LIMIT = 1.0e6;

// x = k pi/2 + r with |r| <= pi/4; the value in quadrant (k + shift) mod 4
// of the sine: sin r, cos r, -sin r, -cos r. Taylor terms to r^17 and r^16
// leave less than 1e-17 out on that interval.
inline double Quadrant(double x, int shift) {
  const double kd = (x * TWO_OVER_PI + ROUNDER) - ROUNDER;
  const double r = (x - kd * PIO2_HIGH) - kd * PIO2_LOW;
  const double r2 = r * r;
  const int q = ((int)(int64_t)kd + shift) & 3;
  double v;
  if (q & 1) {
    v = 1.0 + r2 * (-1.0 / 2 + r2 * (1.0 / 24 + r2 * (-1.0 / 720 + r2 * (1.0 / 40320 + r2 * (-1.0 / 3628800 +
        r2 * (1.0 / 479001600 + r2 * (-1.0 / 87178291200.0 + r2 * (1.0 / 20922789888000.0))))))));
  } else {
    v = r + r * r2 * (-1.0 / 6 + r2 * (1.0 / 120 + r2 * (-1.0 / 5040 + r2 * (1.0 / 362880 + r2 * (-1.0 / 39916800 +
        r2 * (1.0 / 6227020800.0 + r2 * (-1.0 / 1307674368000.0 + r2 * (1.0 / 355687428096000.0))))))));
  }
  return q & 2 ? -v : v;
}
}  // namespace sine_detail

// Within a few units in the last place of the C library's results; NaN,
// infinities and angles past a million go to the library.
inline double Sine(double x) {
  if (!(std::fabs(x) < sine_detail::FAST_LIMIT)) return std::sin(x);
  return sine_detail::Quadrant(x, 0);
}

inline double Cosine(double x) {
  if (!(std::fabs(x) < sine_detail::FAST_LIMIT)) return std::cos(x);
  return sine_detail::Quadrant(x, 1);
}
