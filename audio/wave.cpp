// The RIFF/WAVE reader: walks the chunks from the "fmt " chunk at byte 12 to the
// "data" chunk and converts integer (8/16/24/32-bit) or 32-bit float PCM to
// 16-bit signed samples.
#include <cmath>
#include <cstring>

#include "audio/sound_internal.h"

namespace {
constexpr int FORMAT_PCM = 1;
constexpr int FORMAT_FLOAT = 3;
constexpr int FORMAT_EXTENSIBLE = 0xFFFE;
// The tail shared by the KSDATAFORMAT_SUBTYPE GUIDs after their first two bytes.
constexpr uint8_t SUBTYPE_TAIL[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                      0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint32_t Le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }

// Rounds a wider signed sample to 16 bits, halves upwards, saturating at the top.
int16_t Narrow(int64_t value, int shift) {
  int64_t v = (value + (int64_t(1) << (shift - 1))) >> shift;
  return int16_t(v > 32767 ? 32767 : v);
}

int16_t FromFloat(float f) {
  if (std::isnan(f)) return 0;
  double v = std::floor(double(f) * 32768.0 + 0.5);
  if (v > 32767.0) return 32767;
  if (v < -32768.0) return -32768;
  return int16_t(v);
}

int16_t ConvertOne(const uint8_t* p, int format, int bits) {
  if (format == FORMAT_FLOAT) {
    uint32_t raw = Le32(p);
    float f;
    std::memcpy(&f, &raw, sizeof f);
    return FromFloat(f);
  }
  switch (bits) {
    case 8: return int16_t((int(p[0]) - 128) * 256);
    case 16: return int16_t(Le16(p));
    case 24: {
      int32_t v = int32_t(Le16(p) | uint32_t(p[2]) << 16);
      return Narrow(v >= 0x800000 ? v - 0x1000000 : v, 8);
    }
    default: return Narrow(int32_t(Le32(p)), 16);
  }
}
}  // namespace

bool DecodeWave(const uint8_t* bytes, size_t size, SoundRecord& out) {
  if (size < 20 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0 ||
      std::memcmp(bytes + 12, "fmt ", 4) != 0)
    return false;
  uint64_t fmtSize = Le32(bytes + 16);
  if (fmtSize < 16 || 20 + fmtSize > size) return false;
  const uint8_t* fmt = bytes + 20;
  int format = int(Le16(fmt));
  int channels = int(Le16(fmt + 2));
  uint32_t rate = Le32(fmt + 4);
  int bits = int(Le16(fmt + 14));
  if (format == FORMAT_EXTENSIBLE) {
    // Writers use the extended header for more than 16 bits or 2 channels; its
    // sub-format GUID names plain integer or float PCM.
    if (fmtSize < 40 || std::memcmp(fmt + 26, SUBTYPE_TAIL, sizeof SUBTYPE_TAIL) != 0) return false;
    format = int(Le16(fmt + 24));
  }
  bool integerPcm = format == FORMAT_PCM && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
  bool floatPcm = format == FORMAT_FLOAT && bits == 32;
  if (!integerPcm && !floatPcm) return false;
  if (channels < 1 || channels > MAX_CHANNELS || rate < MIN_SAMPLE_RATE || rate > MAX_SAMPLE_RATE)
    return false;

  // Walk the chunks after "fmt " (each padded to an even size) up to "data".
  uint64_t at = 20 + fmtSize + (fmtSize & 1);
  while (at + 8 <= size) {
    uint64_t chunkSize = Le32(bytes + at + 4);
    if (std::memcmp(bytes + at, "data", 4) == 0) {
      // A data size that runs past the end (streamed writers leave it open)
      // keeps the whole frames that are really there.
      uint64_t available = size - (at + 8);
      if (chunkSize > available) chunkSize = available;
      size_t frameBytes = size_t(channels) * size_t(bits / 8);
      size_t frames = size_t(chunkSize) / frameBytes;
      if (frames == 0 || frames * size_t(channels) * 2 > MAX_DECODED_BYTES) return false;
      const uint8_t* data = bytes + at + 8;
      out.samples.resize(frames * size_t(channels));
      for (size_t i = 0; i < out.samples.size(); i++)
        out.samples[i] = ConvertOne(data + i * size_t(bits / 8), format, bits);
      out.channels = channels;
      out.sampleRate = int(rate);
      out.bitsPerSample = 16;
      return true;
    }
    at += 8 + chunkSize + (chunkSize & 1);
  }
  return false;
}
