// Flat-colour test sprites written as PNG files under the scratch folder.
#include "support/solid_sprite.h"

#include <string>
#include <vector>

#include "support/gl_display.h"

bool LoadSolidSprite(SpriteId id, int width, int height, Colour c, bool keepAlpha) {
  int channels = keepAlpha ? 4 : 3;
  std::vector<uint8_t> pixels((size_t)width * height * channels);
  for (size_t i = 0; i < pixels.size(); i += channels) {
    pixels[i] = (uint8_t)RedOf(c);
    pixels[i + 1] = (uint8_t)GreenOf(c);
    pixels[i + 2] = (uint8_t)BlueOf(c);
    if (keepAlpha) pixels[i + 3] = 255;
  }
  std::string path = TestScratchFolder("solid_sprites") + "sprite" + std::to_string(id) + ".png";
  if (!WriteTestPng(path, width, height, channels, pixels)) return false;
  return LoadSpriteFile(id, path, keepAlpha ? SPRITE_KEEP_ALPHA : 0) != 0;
}
