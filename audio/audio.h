// Music playback: the engine on SDL's audio output, the sound table, the voice
// slots and the idle watchdog.
#pragma once
#include <cstdint>
#include <string>

int SoundInit();
int MusicLoad(int id, const std::string& path);
int MusicSetVolume(int id, double percent);
int MusicPlay(int id);
void SoundShutdown();
