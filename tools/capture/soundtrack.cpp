// The decoded music and the volume applied to it, sample by sample, the way
// the show's mixer does: value x gain in float, rounded and clamped to 16 bits.
#include "tools/capture/soundtrack.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/audio.h"

namespace {
std::vector<int16_t> track;
float gain = 1.0f;
}  // namespace

bool LoadSoundtrack(const uint8_t* bytes, size_t size, int volumePercent) {
  track.clear();
  gain = float(std::clamp(volumePercent, 0, 100) / 100.0);
  std::vector<int16_t> samples;
  int channels = 0, rate = 0;
  if (!DecodeSoundBytes(bytes, size, samples, channels, rate)) return false;
  if (channels != SOUNDTRACK_CHANNELS || rate != SOUNDTRACK_RATE) return false;
  track = std::move(samples);
  return true;
}

void SoundtrackSamples(int64_t first, int count, int16_t* out) {
  const int64_t trackFrames = (int64_t)track.size() / SOUNDTRACK_CHANNELS;
  for (int i = 0; i < count; i++) {
    int64_t frame = first + i;
    for (int c = 0; c < SOUNDTRACK_CHANNELS; c++) {
      int16_t v = 0;
      if (frame >= 0 && frame < trackFrames) {
        float s = float(track[(size_t)(frame * SOUNDTRACK_CHANNELS + c)]) * gain;
        v = int16_t(std::clamp(std::nearbyint(s), -32768.0f, 32767.0f));
      }
      out[i * SOUNDTRACK_CHANNELS + c] = v;
    }
  }
}
