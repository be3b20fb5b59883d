// Music playback: the engine on SDL's audio output, the sound table, the voice
// slots and the idle watchdog.
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
// How many voice slots are playing, and whether the output device is open.
int TestVoicesInUse();
int TestDeviceRunning();
// Runs one idle-watchdog check at nowMs; from then on the watchdog thread's own
// wake-ups do nothing until the engine restarts.
void TestWatchdogCheck(int64_t nowMs);
