// What the web platform files share: putting a 32-bit picture on one of the
// page's canvas elements.
#pragma once
#include <cstdint>
#include <string>

// rgba: width x height pixels as R, G, B, A bytes, rows top to bottom. The
// canvas element (by id) keeps its own size; the picture goes at its top-left.
void PutCanvasPicture(const std::string& elementId, const uint32_t* rgba, int width, int height);
