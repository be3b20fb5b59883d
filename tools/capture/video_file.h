// The video file being written through FFmpeg's libraries: one picture stream
// and one sound stream, chosen by the container, fed frame by frame.
#pragma once
#include <cstdint>
#include <string>

#include "tools/capture/options.h"

struct VideoFileSettings {
  Container container = Container::Mp4;
  int width = 1920, height = 1080;
  int fps = 60;
  int sampleRate = 48000, channels = 2;
};

// Opens path for writing in the container (formatName: the file name whose
// extension names it), sets the encoders up and writes the header. False with
// a reason when anything fails; nothing is left open then.
bool OpenVideoFile(const std::string& path, const VideoFileSettings& settings, std::string& error);
// One picture of width x height 32-bit 0xXXRRGGBB pixels, top row first.
bool WriteVideoPicture(const uint32_t* pixels);
// count interleaved 16-bit sample frames, following those written before.
bool WriteVideoSound(const int16_t* samples, int count);
// Flushes both encoders, writes the trailer and closes the file.
bool FinishVideoFile(std::string& error);
// Closes everything without finishing (the caller removes the file).
void AbandonVideoFile();
// The x264 preset of .mp4 files.
extern const char* const MP4_PRESET;
