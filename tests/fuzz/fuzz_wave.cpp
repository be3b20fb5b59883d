// Fuzz target: the RIFF/WAVE reader, checked against what a decoder promises.
#include "sound_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SoundRecord sound;
  if (DecodeWave(data, size, sound)) CheckAcceptedSound(sound);
  return 0;
}
