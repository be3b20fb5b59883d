// What every sound decoder promises about a sound it accepts: whole frames of
// 16-bit samples within the decoders' limits. Aborts (a fuzzer finding) if not.
#pragma once
#include <cstdlib>

#include "audio/sound_internal.h"

inline void CheckAcceptedSound(const SoundRecord& sound) {
  if (sound.channels < 1 || sound.channels > MAX_CHANNELS || sound.sampleRate < MIN_SAMPLE_RATE ||
      sound.sampleRate > MAX_SAMPLE_RATE || sound.samples.empty() ||
      sound.samples.size() % (size_t)sound.channels != 0)
    std::abort();
}
