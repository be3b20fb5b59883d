// The capture's pictures and music, read in place from the files the program
// carries: never written to or read from a folder on disk, so captures that
// run side by side share nothing, and a file that fails to load ends the
// capture with its name (no message box, no video with a hole in it).
#pragma once
#include <string>

// Loads every picture the show draws (under the ids the show gives them, the
// font sheet and the rotozoom picture included) and the music at volume
// percent; false with the reason at the first that fails.
bool LoadCarriedFiles(int volumePercent, std::string& error);
