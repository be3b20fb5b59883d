// The carried files (driver/carried_files.h): their bytes, linked in from the
// generated asset_pack.S, their extraction to the asset folder, the paths made
// from their rows, and the show's loading of them once the display is open,
// from the folder or in place.
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
enum CarriedUse { KEPT, LAUNCHER, FONT, MUSIC, SPRITE_PLAIN, SPRITE_ALPHA, SPRITE_SIZED, PICTURE };
struct CarriedLoad {
  const char* name;
  int order;
  CarriedUse use;
  int number;
};
// One per row of the list, in its order: row i is ASSET_PACK[i].
const CarriedLoad CARRIED_LOADS[ASSET_COUNT] = {
#define CARRIED_MUSIC(symbol, name, order) {name, order, MUSIC, 0},
#define CARRIED_PICTURE(symbol, name, order, use, number, ...) {name, order, use, number},
#include "driver/carried_files.h"
};

bool IsSprite(CarriedUse use) { return use == SPRITE_PLAIN || use == SPRITE_ALPHA || use == SPRITE_SIZED; }

void NotLoaded(const char* name) { MessageBox("Erreur", std::string(name) + " non chargé."); }

// One carried file, read from the asset folder or, when inPlace is given, from
// those bytes; false when it did not load. Read from the folder, a failure is
// reported in its box (the music's is not: the show runs silent).
bool LoadCarried(const CarriedLoad& file, const EmbeddedAsset* inPlace, const ShowStart& how) {
  const bool fromFolder = inPlace == nullptr;
  const uint8_t* bytes = inPlace ? inPlace->bytes : nullptr;
  const size_t size = inPlace ? (size_t)inPlace->length : 0;
  switch (file.use) {
    case FONT:
      if (fromFolder)
        LoadFontSprite();
      else
        LoadFontSpriteBytes(bytes, size);
      if (fontReady == 0 && fromFolder) NotLoaded(file.name);
      return fontReady != 0;
    case MUSIC:
      if (!fromFolder) return !how.takeMusic || how.takeMusic(bytes, size, how.musicVolume);
      // A track that does not load leaves the show silent, unreported.
      if (MusicLoad(0, AssetPath(file.name))) {
        MusicSetVolume(0, (double)musicVolume);
        if (musicMuted == 0 && musicVolume >= 1) MusicPlay(0);
      }
      return true;
    case SPRITE_PLAIN:
    case SPRITE_ALPHA:
    case SPRITE_SIZED: {
      SpriteId id = file.number;
      int flags = file.use == SPRITE_PLAIN ? 0 : SPRITE_KEEP_ALPHA;
      // The header pictures load from the paths start-up made for them.
      std::string path = id >= 1 && id <= 5 ? headerImagePaths[id - 1] : AssetPath(file.name);
      bool loaded = (fromFolder ? LoadSpriteFile(id, path, flags) : LoadSpriteBytes(id, bytes, size, flags)) != 0;
      if (!loaded && fromFolder) NotLoaded(file.name);
      if (file.use == SPRITE_SIZED && SpriteExists(id)) {
        cachedSpriteWidth[id] = SpriteWidth(id);
        cachedSpriteHeight[id] = SpriteHeight(id);
      }
      return loaded;
    }
    case PICTURE: {
      // The rotozoom picture, read once into the texel cache.
      std::string path = AssetPath(file.name);
      if (!(fromFolder ? LoadImageFile(file.number, path) : LoadImageBytes(file.number, bytes, size))) {
        if (fromFolder) MessageBox("Rotozoom", "rotozoom.png non chargé : " + path);
        return false;
      }
      BuildRotozoomCache();
      if (cacheReady == 0 && fromFolder) MessageBox("Rotozoom", "Cache rotozoom non initialisé.");
      return cacheReady != 0;
    }
    case LAUNCHER:
    case KEPT:
      break;
  }
  return true;
}
}  // namespace

std::string unloadedFile;

void UseAssetFolder(const std::string& folder) {
  assetFolder = folder;
  for (const CarriedLoad& file : CARRIED_LOADS) {
    if (file.use == FONT) fontPath = AssetPath(file.name);
    if (file.use == LAUNCHER) launcherImagePath = AssetPath(file.name);
    if (IsSprite(file.use) && file.number >= 1 && file.number <= 5)
      headerImagePaths[file.number - 1] = AssetPath(file.name);
  }
}

int LoadShowAssets(const ShowStart& how) {
  unloadedFile.clear();
  for (int order = 1; order <= ASSET_COUNT; order++)
    for (int i = 0; i < ASSET_COUNT; i++) {
      const CarriedLoad& file = CARRIED_LOADS[i];
      if (file.order != order) continue;
      const EmbeddedAsset* inPlace = how.carriedInMemory ? &how.carriedInMemory[i] : nullptr;
      if (!LoadCarried(file, inPlace, how) && inPlace) {
        unloadedFile = file.name;
        return 0;
      }
    }
  return 1;
}
