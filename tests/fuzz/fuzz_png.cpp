// Fuzz target: the PNG decoder behind sprites and in-memory pictures. A picture
// it accepts must hold exactly width x height pixels of its depth.
#include <cstdlib>

#include "render/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DecodedImage image;
  if (!DecodeImage(data, size, image)) return 0;
  size_t expected = (size_t)image.width * (size_t)image.height * (size_t)(image.depth / 8);
  if (image.width < 1 || image.height < 1 || (image.depth != 24 && image.depth != 32) ||
      image.pixels.size() != expected)
    std::abort();
  return 0;
}
