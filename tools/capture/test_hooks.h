// Hooks that only the test build of the capture carries (built with
// ZYNTRAX_CAPTURE_TEST_HOOKS), set through the environment of a test's run:
// the shipped tool reads the program's own carried files and takes the file
// system as it is.
#pragma once
#include "driver/driver.h"

#ifdef ZYNTRAX_CAPTURE_TEST_HOOKS
// The carried files the capture reads in place: with ZYNTRAX_TEST_SPOIL=NAME,
// the carried file NAME reads as garbage of its length.
const EmbeddedAsset* TestCarriedFiles();
// ZYNTRAX_TEST_NO_UNNAMED_FILE=1: the file system is taken to refuse unnamed files.
bool TestRefusesUnnamedFiles();
#else
inline const EmbeddedAsset* TestCarriedFiles() { return ASSET_PACK; }
inline bool TestRefusesUnnamedFiles() { return false; }
#endif
