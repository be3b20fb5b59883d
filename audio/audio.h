// Music: loading a sound file into the sound table (decoded to 16-bit PCM),
// its volume, and playing it on the platform's sound output; decoding a file
// without the output.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

int SoundInit();
int MusicLoad(int id, const std::string& path);
int MusicSetVolume(int id, double percent);
int MusicPlay(int id);
void SoundShutdown();
// Decodes a whole sound file (Ogg Vorbis or WAVE) without the output engine:
// 16-bit signed interleaved samples, their channel count and rate. 0 when the
// file cannot be read or decoded. The capture tool writes the music from it.
int DecodeSoundFile(const std::string& path, std::vector<int16_t>& samples, int& channels, int& sampleRate);
// The same from the file's bytes in memory (a carried file read in place).
int DecodeSoundBytes(const uint8_t* bytes, size_t size, std::vector<int16_t>& samples, int& channels, int& sampleRate);

// ---- test-only (never used by the program itself) --------------------------
// The stored record of a sound: 0 when the id holds none.
int TestSoundInfo(int id, int* channels, int* sampleRate, int* bitsPerSample, double* volume);
// The record's 16-bit interleaved samples (empty when the id holds none).
std::vector<int16_t> TestSoundSamples(int id);
