// nearest(x): a float taken to the nearest integer, ties to even, as every
// effect turns a float into a coordinate, size, radius, colour or intensity.
#pragma once
#include <cmath>

inline int Nearest(float x) { return (int)std::nearbyint(x); }
