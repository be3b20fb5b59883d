// Loading the carried files for the capture, each one straight from the
// asset pack linked into the program, in the order the show loads them.
#include "tools/capture/carried_files.h"

#include <cstring>
#include <vector>

#include "driver/driver.h"
#include "render/font.h"
#include "render/image.h"
#include "render/sprite.h"
#include "tools/capture/soundtrack.h"
#include "tools/capture/test_hooks.h"

namespace {
struct Bytes {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

std::vector<uint8_t> spoiled;

// The carried file's bytes; empty when the pack has no such file. The test
// build may hand out garbage of the file's length instead.
Bytes Carried(const char* name) {
  for (const EmbeddedAsset& asset : ASSET_PACK) {
    if (std::strcmp(asset.name, name) != 0) continue;
    if (TestSpoilsCarriedFile(name)) {
      spoiled.resize((size_t)asset.length);
      for (size_t i = 0; i < spoiled.size(); i++) spoiled[i] = (uint8_t)(i * 7 + 13);
      return Bytes{spoiled.data(), spoiled.size()};
    }
    return Bytes{asset.bytes, (size_t)asset.length};
  }
  return Bytes{};
}

bool Refuse(const char* name, std::string& error) {
  error = std::string("the carried file ") + name + " cannot be loaded";
  return false;
}

struct ShowSprite {
  SpriteId id;
  const char* name;
  int flags;
};
// The show's sprites, under its ids. cyber_bg.png is never drawn: sprite 27 is
// billboard6.png, as in the show.
constexpr ShowSprite SHOW_SPRITES[] = {
    {34, "center_billboard.png", SPRITE_KEEP_ALPHA}, {28, "ship.png", SPRITE_KEEP_ALPHA},
    {29, "tunnel_bg.png", 0},                        {20, "billboard.png", SPRITE_KEEP_ALPHA},
    {21, "billboard2.png", SPRITE_KEEP_ALPHA},       {23, "billboard3.png", SPRITE_KEEP_ALPHA},
    {24, "starfield_image.png", SPRITE_KEEP_ALPHA},  {25, "billboard4.png", SPRITE_KEEP_ALPHA},
    {26, "billboard5.png", SPRITE_KEEP_ALPHA},       {27, "billboard6.png", SPRITE_KEEP_ALPHA},
    {33, "twister_image.png", SPRITE_KEEP_ALPHA},    {30, "pulse_r.png", SPRITE_KEEP_ALPHA},
    {31, "pulse_g.png", SPRITE_KEEP_ALPHA},          {32, "pulse_b.png", SPRITE_KEEP_ALPHA},
    {1, "haut1.png", 0},                             {2, "haut2.png", 0},
    {3, "haut3.png", 0},                             {4, "haut4.png", 0},
    {5, "haut5.png", 0},                             {22, "sideimage.png", SPRITE_KEEP_ALPHA},
};
}  // namespace

bool LoadCarriedFiles(int volumePercent, std::string& error) {
  Bytes font = Carried("police20.png");
  LoadFontSpriteBytes(font.data, font.size);
  if (fontReady == 0) return Refuse("police20.png", error);
  for (const ShowSprite& s : SHOW_SPRITES) {
    Bytes b = Carried(s.name);
    if (!LoadSpriteBytes(s.id, b.data, b.size, s.flags)) return Refuse(s.name, error);
  }
  for (SpriteId id : {20, 21, 23, 30, 31, 32}) {
    cachedSpriteWidth[id] = SpriteWidth(id);
    cachedSpriteHeight[id] = SpriteHeight(id);
  }
  Bytes rotozoom = Carried("Rotozoom.png");
  if (!LoadImageBytes(ROTOZOOM_PICTURE, rotozoom.data, rotozoom.size)) return Refuse("Rotozoom.png", error);
  BuildRotozoomCache();
  if (cacheReady == 0) return Refuse("Rotozoom.png", error);
  Bytes music = Carried("music.ogg");
  if (!LoadSoundtrack(music.data, music.size, volumePercent)) return Refuse("music.ogg", error);
  spoiled = std::vector<uint8_t>();
  return true;
}
