// Test helpers for the audio tests: sound files made with sox in a scratch
// folder, and raw bytes read back or written out.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A fresh path in the test scratch folder (the folder is created on demand).
std::string AudioScratchPath(const std::string& name);
// Runs a shell command; true when it exits with 0.
bool RunCommand(const std::string& command);
std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// What sox makes of a sound file as 16-bit signed host-order samples, undithered.
std::vector<int16_t> SoxSamples16(const std::string& path);
