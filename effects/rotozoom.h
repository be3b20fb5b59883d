// Block rotozoom: how a sample point maps onto the driver's texel cache, and the
// painters of the mosaic and of the fallback frame.
#pragma once
#include <cstdint>

// True when the cache is built and its size matches its texel table.
bool RotozoomCacheUsable();
// Cache index for the rotated, zoomed sample point (u, v) at clock b seconds:
// scrolled, mirrored across texel 0 and tiled. Needs a usable cache.
int64_t RotozoomTexelIndex(float u, float v, float b);
// Paints the mosaic at clock b seconds into the current output.
void PaintRotozoom(float b);
// Paints the dark red "cache not ready" band into the current output.
void PaintRotozoomFallback();
