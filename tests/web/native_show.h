// The native side of the web comparisons: the show started in memory the way
// the tools start it, one frame painted at a show time with a seed; the music
// as our decoder gives it; the timeline row of a show time.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct NativeFrame {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom; empty on failure
  int64_t row = -1;              // the timeline row the frame was painted in
  std::string messages;          // message boxes of the start-up ("title|text\n" each)
};
// A fresh start (start values, every show picture from the source tree, the
// generator seeded), the show entered at showMs, one frame function run.
NativeFrame NativeFrameAt(int64_t showMs, uint64_t seed);

struct NativeTrack {
  bool decoded = false;
  int64_t frames = 0;  // sample frames
  int channels = 0, sampleRate = 0;
  uint32_t crc = 0;    // CRC-32 of the interleaved 16-bit samples, little-endian
  std::vector<int16_t> samples;
};
NativeTrack NativeMusic();
// CRC-32 (zlib's) of 16-bit samples as little-endian bytes.
uint32_t Crc32Of(const std::vector<int16_t>& samples);

// The row that the timeline gives at showMs of the first pass.
int64_t TimelineRowAt(int64_t showMs);
// The start time of a row in the first pass, and its duration.
int64_t RowStartMs(int64_t row);
int64_t RowDurationMs(int64_t row);
