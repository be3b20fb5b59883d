// Painting one sprite quad on the show frame: which pixels it covers, which
// texel each takes and how it is put down (copied, blended or as a tinted
// silhouette). sprites.cpp decides what to draw; this file only paints.
#pragma once
#include <cstdint>

enum class SpriteMode : uint8_t { Opaque, Blended, Tinted };

struct SpriteQuad {
  const uint32_t* texels = nullptr;  // 0xAARRGGBB, last picture row first
  int texWidth = 0, texHeight = 0;
  // Corners in frame pixels (y down), in quad order, with their texture
  // coordinates (t counts picture rows from the bottom).
  float x[4] = {}, y[4] = {};
  float s[4] = {}, t[4] = {};
  SpriteMode mode = SpriteMode::Opaque;
  int intensity = 255;     // 0..255, blended and tinted draws
  uint32_t tint = 0;       // 0x00RRGGBB, tinted draws
};

// Paints the quad's pixels on frame rows first..last (inclusive), on the
// calling thread. A row is painted the same way whatever range it is part of.
void PaintSpriteQuad(const SpriteQuad& quad, int firstRow, int lastRow);
// Threads that paint the frame: 1 paints every draw as it comes; 2 keeps the
// frame's draws and paints them in strips on two threads when the frame is
// looked at (render/frame_bands.h). The count is the shared work's
// (platform/work_sharing.h): 2 by default on machines with more than one
// core. The picture is the same either way.
void SetPaintThreads(int threads);
int PaintThreads();
