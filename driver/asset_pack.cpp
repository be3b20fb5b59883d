// The carried files (driver/carried_files.h): their bytes, linked in from the
// generated asset_pack.S, their extraction to the asset folder, and the show's
// loading of them once the display is open.
#include <string>

#include "audio/audio.h"
#include "driver/driver.h"
#include "platform/platform.h"
#include "render/font.h"
#include "render/image.h"
#include "render/sprite.h"

#define CARRIED_MUSIC(symbol, ...) extern "C" const unsigned char zyntrax_asset_##symbol[], zyntrax_asset_##symbol##_end[];
#define CARRIED_PICTURE(symbol, ...) extern "C" const unsigned char zyntrax_asset_##symbol[], zyntrax_asset_##symbol##_end[];
#include "driver/carried_files.h"

#define ASSET(symbol, name) {name, zyntrax_asset_##symbol, zyntrax_asset_##symbol##_end - zyntrax_asset_##symbol},
const EmbeddedAsset ASSET_PACK[ASSET_COUNT] = {
#define CARRIED_MUSIC(symbol, name, ...) ASSET(symbol, name)
#define CARRIED_PICTURE(symbol, name, ...) ASSET(symbol, name)
#include "driver/carried_files.h"
};
#undef ASSET

int64_t ExtractAsset(const std::string& path, const unsigned char* bytes, int64_t length) {
  if (FileSize(assetFolder) != -2) CreateDirectory(assetFolder);
  if (FileSize(path) == length) return length;
  intptr_t file = CreateFileForWrite(path);
  if (!file) file = CreateFileForWrite(path);
  bool written = false;
  if (file) {
    written = WriteData(file, bytes, length) != 0;
    written = CloseFile(file) != 0 && written;
  }
  // A short or failed write is reported too: the file on disk is not the asset.
  if (!written) MessageBox("Erreur", "Impossible d'extraire : " + path);
  return 0;
}

void ExtractAssetPack() {
  // Made if need be, then opened once: every file below is reached through it.
  if (FileSize(assetFolder) != -2) CreateDirectory(assetFolder);
  OpenAssetFolder(assetFolder);
  for (const EmbeddedAsset& asset : ASSET_PACK) ExtractAsset(AssetPath(asset.name), asset.bytes, asset.length);
}

namespace {
enum CarriedUse { KEPT, FONT, MUSIC, SPRITE_PLAIN, SPRITE_ALPHA, SPRITE_SIZED, PICTURE };
struct CarriedLoad {
  const char* name;
  int order;
  CarriedUse use;
  int number;
};
const CarriedLoad CARRIED_LOADS[] = {
#define CARRIED_MUSIC(symbol, name, order) {name, order, MUSIC, 0},
#define CARRIED_PICTURE(symbol, name, order, use, number, ...) {name, order, use, number},
#include "driver/carried_files.h"
};

void NotLoaded(const char* name) { MessageBox("Erreur", std::string(name) + " non chargé."); }

void LoadSprite(const CarriedLoad& file) {
  SpriteId id = file.number;
  // The header pictures load from the paths start-up made for them.
  std::string path = id >= 1 && id <= 5 ? headerImagePaths[id - 1] : AssetPath(file.name);
  if (!LoadSpriteFile(id, path, file.use == SPRITE_PLAIN ? 0 : SPRITE_KEEP_ALPHA)) NotLoaded(file.name);
  if (file.use == SPRITE_SIZED && SpriteExists(id)) {
    cachedSpriteWidth[id] = SpriteWidth(id);
    cachedSpriteHeight[id] = SpriteHeight(id);
  }
}

void LoadCarried(const CarriedLoad& file) {
  switch (file.use) {
    case FONT:
      LoadFontSprite();
      if (fontReady == 0) NotLoaded(file.name);
      break;
    case MUSIC:
      // A track that does not load leaves the show silent, unreported.
      if (MusicLoad(0, AssetPath(file.name))) {
        MusicSetVolume(0, (double)musicVolume);
        if (musicMuted == 0 && musicVolume >= 1) MusicPlay(0);
      }
      break;
    case SPRITE_PLAIN:
    case SPRITE_ALPHA:
    case SPRITE_SIZED:
      LoadSprite(file);
      break;
    case PICTURE: {
      // The rotozoom picture, read once into the texel cache.
      std::string path = AssetPath(file.name);
      if (!LoadImageFile(file.number, path)) {
        MessageBox("Rotozoom", "rotozoom.png non chargé : " + path);
      } else {
        BuildRotozoomCache();
        if (cacheReady == 0) MessageBox("Rotozoom", "Cache rotozoom non initialisé.");
      }
      break;
    }
    case KEPT:
      break;
  }
}
}  // namespace

void LoadShowAssets() {
  for (int order = 1; order <= ASSET_COUNT; order++)
    for (const CarriedLoad& file : CARRIED_LOADS)
      if (file.order == order) LoadCarried(file);
}
