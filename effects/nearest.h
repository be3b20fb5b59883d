// nearest(x): a float taken to the nearest integer, ties to even, as every
// effect turns a float into a coordinate, size, radius, colour or intensity.
#pragma once
#include <cmath>

// Exactly std::nearbyint under the default rounding, without the library call
// (mingw-w64's nearbyintf reloads the x87 control word each time, and effects
// call this per pixel): below 2^23 in magnitude, adding and taking away 2^23
// leaves the float rounded to an integer, ties to even; from 2^23 on, every
// float is an integer already.
inline int Nearest(float x) {
  constexpr float TWO_TO_23 = 8388608.0f;
  const float size = std::fabs(x);
  if (!(size < TWO_TO_23)) return (int)x;
  const int rounded = (int)((size + TWO_TO_23) - TWO_TO_23);
  return x < 0 ? -rounded : rounded;
}

// The same for a double below 2^52 in magnitude (adding and taking away 2^52).
inline double NearestWhole(double x) {
  constexpr double TWO_TO_52 = 4503599627370496.0;
  const double size = std::fabs(x);
  if (!(size < TWO_TO_52)) return x;
  const double rounded = (size + TWO_TO_52) - TWO_TO_52;
  return x < 0 ? -rounded : rounded;
}
