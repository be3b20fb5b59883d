// Test helpers for the audio tests: scratch paths, sox, raw file bytes.
#include "support/audio_files.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

std::string AudioScratchPath(const std::string& name) {
  std::string dir = std::string(ZYNTRAX_TEST_SCRATCH) + "/audio-" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  return dir + "/" + name;
}

bool RunCommand(const std::string& command) { return std::system(command.c_str()) == 0; }

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<int16_t> SoxSamples16(const std::string& path) {
  // Into the scratch folder, never next to the file (which may be a carried asset).
  std::string raw = AudioScratchPath("sox-samples.raw");
  if (!RunCommand("sox -V1 -D '" + path + "' -t raw -e signed-integer -b 16 -L '" + raw + "'")) return {};
  std::vector<uint8_t> bytes = ReadBytes(raw);
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}
