// The sound output each target provides (SDL's audio device on the desktop,
// WebAudio in a page): plain 16-bit PCM played as voices, one per sound id,
// at a linear volume in percent. The decoded sounds and their table are
// audio/'s.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

// A sound as the output plays it: interleaved signed 16-bit samples in host
// order, `channels` per frame, sampleRate frames a second.
struct PcmSound {
  std::vector<int16_t> samples;
  int channels = 0;
  int sampleRate = 0;
};

// Opens the output; false when there is none (the show then runs silent).
bool StartEngine();
// Stops every voice and closes the output.
void StopEngine();
// Starts the sound once as the voice of sound id at volume percent; 0 on
// failure. The voice holds its own reference, so the caller may drop the sound.
int PlayVoice(int id, std::shared_ptr<const PcmSound> sound, double percent);
// New volume for the voices playing sound id.
void SetVoiceVolume(int id, double percent);
