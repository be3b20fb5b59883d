// What the audio files share among themselves: the stored sound record (the
// platform's plain PCM with its volume) and the two decoders that fill it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound_output.h"

// One loaded sound. Every decoder stores 16-bit signed interleaved PCM in host
// order, whatever the file held (8/24/32-bit and float WAVE data is converted
// at load), so bitsPerSample is always 16 here.
struct SoundRecord : PcmSound {
  int bitsPerSample = 16;
  double volume = 100.0;  // 0..100, applied to every new playback
};

// Limits every decoder keeps: anything outside is refused.
constexpr int MAX_CHANNELS = 8;
constexpr int MIN_SAMPLE_RATE = 1000;
constexpr int MAX_SAMPLE_RATE = 384000;
constexpr size_t MAX_DECODED_BYTES = size_t(1) << 30;

// A RIFF/WAVE file held in memory; false when it is not one we accept.
bool DecodeWave(const uint8_t* bytes, size_t size, SoundRecord& out);
// An Ogg Vorbis stream held in memory; false when it cannot be decoded.
bool DecodeVorbis(const uint8_t* bytes, size_t size, SoundRecord& out);

// A whole WAVE or Ogg Vorbis file read and decoded; false when it cannot be.
bool DecodeSoundFile(const std::string& path, SoundRecord& out);

