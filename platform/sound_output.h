// The sound output behind the music operations of audio/: SDL's audio device
// on the desktop, WebAudio in a browser. It plays the decoded records that
// audio/ keeps; volumes are percentages, applied linearly.
#pragma once
#include <memory>

struct SoundRecord;  // audio/sound_internal.h

// Opens the output; false when there is none (the show then runs silent).
bool StartEngine();
void StopEngine();
// Starts the record once, at its own volume, as the voice of sound id; 0 on failure.
int PlayVoice(int id, const std::shared_ptr<SoundRecord>& sound);
// New volume for the voices playing sound id.
void SetVoiceVolume(int id, double percent);
