// The test build's hooks (see test_hooks.h); empty in the shipped tool.
#include "tools/capture/test_hooks.h"

#ifdef ZYNTRAX_CAPTURE_TEST_HOOKS
#include <cstdlib>
#include <cstring>

bool TestSpoilsCarriedFile(const char* name) {
  const char* spoil = std::getenv("ZYNTRAX_TEST_SPOIL");
  return spoil && std::strcmp(spoil, name) == 0;
}

bool TestRefusesUnnamedFiles() {
  const char* refuse = std::getenv("ZYNTRAX_TEST_NO_UNNAMED_FILE");
  return refuse && std::strcmp(refuse, "1") == 0;
}
#endif
