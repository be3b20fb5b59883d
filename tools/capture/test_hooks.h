// Hooks that only the test build of the capture carries (built with
// ZYNTRAX_CAPTURE_TEST_HOOKS), set through the environment of a test's run:
// the shipped tool answers no to both.
#pragma once

#ifdef ZYNTRAX_CAPTURE_TEST_HOOKS
// ZYNTRAX_TEST_SPOIL=NAME: the carried file NAME reads as garbage of its length.
bool TestSpoilsCarriedFile(const char* name);
// ZYNTRAX_TEST_NO_UNNAMED_FILE=1: the file system is taken to refuse unnamed files.
bool TestRefusesUnnamedFiles();
#else
inline bool TestSpoilsCarriedFile(const char*) { return false; }
inline bool TestRefusesUnnamedFiles() { return false; }
#endif
