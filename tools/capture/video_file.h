// The video file being written through FFmpeg's libraries: one picture stream
// and one sound stream, chosen by the container, fed frame by frame and written
// through a descriptor the caller opened (never by name).
#pragma once
#include <cstdint>
#include <string>

#include "tools/capture/options.h"

struct VideoFileSettings {
  Container container = Container::Mp4;
  int width = 1920, height = 1080;  // of the pictures handed in
  int scale = 1;                    // 2 doubles every pixel in the file
  FrameGrid rate;                   // frames per second, num / den
  int sampleRate = 48000, channels = 2;
  int crf = DEFAULT_MP4_CRF;        // .mp4 and .webm
  std::string preset = "veryfast";  // .mp4
  bool yuv444 = false;              // .mp4: no chroma subsampling
};

// Sets the encoders up for the container and writes the header to fd (open
// for reading and writing, empty); name is only used in the muxer's
// bookkeeping. False with FFmpeg's reason when anything fails; nothing is left
// open then (the descriptor stays the caller's).
bool OpenVideoFile(int fd, const std::string& name, const VideoFileSettings& settings, std::string& error);
// One picture of width x height 32-bit 0xXXRRGGBB values (native byte order),
// top row first.
bool WriteVideoPicture(const uint32_t* pixels);
// count interleaved 16-bit sample frames, following those written before.
bool WriteVideoSound(const int16_t* samples, int count);
// Why the last write failed, in FFmpeg's words.
std::string VideoFileError();
// Called while the file is finished: done of total (total 0 while the
// encoders give out their last packets; then bytes of the .mp4 index being
// moved to the front); false stops the finish, which then fails.
using FinishWatch = bool (*)(int64_t done, int64_t total);
// Flushes both encoders, writes the trailer and hands everything to the
// descriptor (the caller syncs and closes it).
bool FinishVideoFile(std::string& error, FinishWatch watch = nullptr);
// True when the linked libavformat takes an Opus track's priming off the
// stamps itself (from the CodecDelay it writes in .webm files); before that,
// the capture stamps the sound that much later itself.
bool MuxerAppliesCodecDelay();
// Closes everything without finishing (the caller removes the file).
void AbandonVideoFile();
