// Running zyntrax-capture from a test and reading its files back through
// libavformat: frames, sound, tags and start times; frame hashes to compare
// captures with each other and with the show painted in this process.
#pragma once
#include <cmath>
#include <cstdint>
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "driver/driver.h"

struct RunResult {
  int exitCode = -1;
  std::string output, errors;
};

std::string ReadText(const std::string& path);
// A temporary folder for the captures of one test (beside its scratch folder).
std::string PrivateTemp(const std::string& folder);
// Runs the tool with args (no display), its output kept in files beside
// folder; shell is put before the command (limits, traps).
RunResult RunCapture(const std::string& folder, const std::string& args, const std::string& shell = "");
std::vector<std::string> FilesIn(const std::string& folder);
// The test's scratch folder, emptied (captures never replace a file unasked).
std::string EmptyScratchFolder(const std::string& name);
// Starts binary with args (split at spaces) in the background, its output kept
// beside folder as RunCapture keeps it, with env added ("NAME=value" words)
// and TMPDIR private. Returns its pid.
pid_t SpawnCapture(const std::string& folder, const std::string& args, const std::vector<std::string>& env = {},
                   const char* binary = ZYNTRAX_CAPTURE);
// The pid of a process that holds a file in folder open, and where that
// descriptor points ("folder/#123 (deleted)" for an unnamed file); waits up to
// a minute. -1 when none appears.
pid_t WaitForWriter(const std::string& folder, std::string* link = nullptr);

// What a video file holds, as libavformat and libavcodec read it.
struct ReadBack {
  bool opened = false;
  std::string videoCodec, soundCodec;
  int width = 0, height = 0;
  AVRational frameRate{0, 1};
  int64_t pictures = 0;     // video packets, or decoded pictures when decoding
  int64_t soundFrames = 0;  // decoded sample frames
  int sampleRate = 0;
  std::vector<int16_t> sound;  // interleaved, when the decoder gives packed 16-bit
  // Colour tags and chroma siting of the picture stream, as the demuxer reports them.
  int primaries = 0, transfer = 0, matrix = 0, range = 0, chromaSite = 0, pixelFormat = -1;
  // Presentation time of the first decoded sound frame (after the encoder's
  // priming samples are skipped) and of the first picture, in seconds.
  double firstSoundSeconds = NAN, firstPictureSeconds = NAN;
};

// Decodes the sound, and the pictures too when onPicture is given.
ReadBack ReadVideo(const std::string& path, const std::function<void(const AVFrame*)>& onPicture = nullptr);
// The decoded 32-bit picture as packed 0xRRGGBB rows.
std::vector<uint32_t> PicturePixels(const AVFrame* f);
std::vector<int16_t> DecodedTrack();
// The track's interleaved samples of sample frames [from, to) at a volume,
// scaled as the show's mixer scales them.
std::vector<int16_t> TrackSpan(const std::vector<int16_t>& track, int64_t from, int64_t to, int volume);
// Pixels of a decoded 0xRRGGBB picture that differ from the current frame.
int64_t DifferencesFromFrame(const std::vector<uint32_t>& picture);

// A hash of rows y0 .. y1 - 1 of a 1920-wide picture of 0x??RRGGBB values.
uint64_t RowsHash(const uint32_t* pixels, int stridePixels, int y0, int y1);
// The hash of those rows of every picture of a lossless .mkv, from picture
// `skip` on (the pictures before it are not decoded).
std::vector<uint64_t> FileFrameHashes(const std::string& path, int64_t skip, int y0, int y1);
// The show painted in this process as a capture from 0 paints it: started with
// seed, every frame of grid from 0 to end - 1 drawn; the hashes of frames from
// `from` on. Needs an open test display.
std::vector<uint64_t> ShowFrameHashes(const FrameGrid& grid, uint64_t seed, int64_t from, int64_t end, int y0,
                                      int y1);
