// The capture's sound: the carried music decoded whole by the show's own
// decoder, played once from the show's start at a chosen volume, then silence.
#pragma once
#include <cstdint>
#include <cstddef>

constexpr int SOUNDTRACK_RATE = 48000;
constexpr int SOUNDTRACK_CHANNELS = 2;

// Decodes the music from its file's bytes; false when it cannot. A track of
// another rate or channel count is refused too.
bool LoadSoundtrack(const uint8_t* bytes, size_t size, int volumePercent);
// count frames (pairs of samples) from frame `first` of the show's sound,
// interleaved: the music, scaled by the volume, and zeros past its end.
void SoundtrackSamples(int64_t first, int count, int16_t* out);
