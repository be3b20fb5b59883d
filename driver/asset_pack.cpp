// The 25 files the program carries (linked in from the generated asset_pack.S)
// and their extraction to the asset folder.
#include "driver/driver.h"
#include "platform/platform.h"

#define ZYNTRAX_ASSET(n) extern "C" const unsigned char zyntrax_asset_##n[], zyntrax_asset_##n##_end[];
ZYNTRAX_ASSET(0) ZYNTRAX_ASSET(1) ZYNTRAX_ASSET(2) ZYNTRAX_ASSET(3) ZYNTRAX_ASSET(4)
ZYNTRAX_ASSET(5) ZYNTRAX_ASSET(6) ZYNTRAX_ASSET(7) ZYNTRAX_ASSET(8) ZYNTRAX_ASSET(9)
ZYNTRAX_ASSET(10) ZYNTRAX_ASSET(11) ZYNTRAX_ASSET(12) ZYNTRAX_ASSET(13) ZYNTRAX_ASSET(14)
ZYNTRAX_ASSET(15) ZYNTRAX_ASSET(16) ZYNTRAX_ASSET(17) ZYNTRAX_ASSET(18) ZYNTRAX_ASSET(19)
ZYNTRAX_ASSET(20) ZYNTRAX_ASSET(21) ZYNTRAX_ASSET(22) ZYNTRAX_ASSET(23) ZYNTRAX_ASSET(24)
#undef ZYNTRAX_ASSET

#define ENTRY(n, name) {name, zyntrax_asset_##n, zyntrax_asset_##n##_end - zyntrax_asset_##n}
const EmbeddedAsset ASSET_PACK[25] = {
    ENTRY(0, "music.ogg"),          ENTRY(1, "police20.png"),       ENTRY(2, "billboard.png"),
    ENTRY(3, "Rotozoom.png"),       ENTRY(4, "billboard2.png"),     ENTRY(5, "haut1.png"),
    ENTRY(6, "haut2.png"),          ENTRY(7, "haut3.png"),          ENTRY(8, "haut4.png"),
    ENTRY(9, "haut5.png"),          ENTRY(10, "sideimage.png"),     ENTRY(11, "launcher.png"),
    ENTRY(12, "billboard3.png"),    ENTRY(13, "billboard4.png"),    ENTRY(14, "starfield_image.png"),
    ENTRY(15, "center_billboard.png"), ENTRY(16, "cyber_bg.png"),   ENTRY(17, "ship.png"),
    ENTRY(18, "tunnel_bg.png"),     ENTRY(19, "pulse_r.png"),       ENTRY(20, "pulse_g.png"),
    ENTRY(21, "pulse_b.png"),       ENTRY(22, "twister_image.png"), ENTRY(23, "billboard5.png"),
    ENTRY(24, "billboard6.png"),
};
#undef ENTRY

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
