// The test build's hooks (see test_hooks.h); empty in the shipped tool.
#include "tools/capture/test_hooks.h"

#ifdef ZYNTRAX_CAPTURE_TEST_HOOKS
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

const EmbeddedAsset* TestCarriedFiles() {
  static std::vector<EmbeddedAsset> files(ASSET_PACK, ASSET_PACK + ASSET_COUNT);
  static std::vector<uint8_t> garbage;
  const char* spoil = std::getenv("ZYNTRAX_TEST_SPOIL");
  for (EmbeddedAsset& file : files) {
    if (!spoil || std::strcmp(spoil, file.name) != 0) continue;
    garbage.resize((size_t)file.length);
    for (size_t i = 0; i < garbage.size(); i++) garbage[i] = (uint8_t)(i * 7 + 13);
    file.bytes = garbage.data();
  }
  return files.data();
}

bool TestRefusesUnnamedFiles() {
  const char* refuse = std::getenv("ZYNTRAX_TEST_NO_UNNAMED_FILE");
  return refuse && std::strcmp(refuse, "1") == 0;
}
#endif
