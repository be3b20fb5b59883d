// The two decoders on their own: every accepted WAVE format against what sox
// reads from the same file, WAVE headers that lie, and whole, truncated and
// damaged Ogg Vorbis streams.
#include <gtest/gtest.h>

#include <cstring>

#include "audio/sound_internal.h"
#include "support/audio_files.h"

namespace {
struct Bytes {
  std::vector<uint8_t> b;
  Bytes& Tag(const char* t) {
    b.insert(b.end(), t, t + 4);
    return *this;
  }
  Bytes& U16(uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
    return *this;
  }
  Bytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  Bytes& Raw(const std::vector<uint8_t>& more) {
    b.insert(b.end(), more.begin(), more.end());
    return *this;
  }
};

// A RIFF header and a 16-byte "fmt " chunk; the caller appends the rest.
Bytes WaveHead(int format, int channels, uint32_t rate, int bits) {
  Bytes w;
  w.Tag("RIFF").U32(0).Tag("WAVE").Tag("fmt ").U32(16).U16(format).U16(channels).U32(rate);
  w.U32(rate * channels * (bits / 8)).U16(channels * (bits / 8)).U16(bits);
  return w;
}

// Decodes from a buffer of exactly the given size, so that any read past its
// end is caught by the address sanitizer.
bool Wave(const std::vector<uint8_t>& bytes, SoundRecord& out) {
  std::vector<uint8_t> exact(bytes);
  return DecodeWave(exact.data(), exact.size(), out);
}

const std::vector<uint8_t> FOUR_FRAMES = {1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0};
}  // namespace

TEST(WaveDecoding, EveryAcceptedFormatGivesTheSamplesSoxReads) {
  struct Case {
    const char* options;
    int channels;
    int rate;
  } cases[] = {{"-b 8 -e unsigned-integer", 2, 48000},  {"-b 16 -e signed-integer", 2, 48000},
               {"-b 24 -e signed-integer", 2, 44100},   {"-b 32 -e signed-integer", 2, 48000},
               {"-b 32 -e floating-point", 2, 48000},   {"-b 16 -e signed-integer", 1, 22050},
               {"-b 24 -e signed-integer", 6, 48000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    std::string path = AudioScratchPath("format.wav");
    // Loud enough to reach both rails, so rounding and saturation are both met.
    ASSERT_TRUE(RunCommand("sox -D -n -r " + std::to_string(c.rate) + " -c " +
                           std::to_string(c.channels) + " " + c.options + " " + path +
                           " synth 0.2 sine 440 sine 1234 gain 0.5 2>/dev/null"));
    std::vector<uint8_t> bytes = ReadBytes(path);
    std::vector<int16_t> expected = SoxSamples16(path);
    ASSERT_FALSE(expected.empty());
    SoundRecord record;
    ASSERT_TRUE(Wave(bytes, record));
    EXPECT_EQ(record.channels, c.channels);
    EXPECT_EQ(record.sampleRate, c.rate);
    EXPECT_EQ(record.bitsPerSample, 16);
    ASSERT_EQ(record.samples.size(), expected.size());
    size_t mismatches = 0;
    for (size_t i = 0; i < expected.size(); i++) mismatches += record.samples[i] != expected[i];
    EXPECT_EQ(mismatches, 0u);
  }
}

TEST(WaveDecoding, WalksOtherChunksWithTheirPadding) {
  SoundRecord record;
  // An odd-sized chunk is followed by a pad byte before the next chunk.
  Bytes w = WaveHead(1, 2, 48000, 16);
  w.Tag("LIST").U32(3).Raw({'a', 'b', 'c', 0}).Tag("data").U32(16).Raw(FOUR_FRAMES);
  ASSERT_TRUE(Wave(w.b, record));
  ASSERT_EQ(record.samples.size(), 8u);
  EXPECT_EQ(record.samples[0], 1);
  EXPECT_EQ(record.samples[7], 8);

  // A larger "fmt " chunk (with cbSize) and a "fact" chunk, as float files have.
  Bytes f;
  f.Tag("RIFF").U32(0).Tag("WAVE").Tag("fmt ").U32(18).U16(3).U16(1).U32(8000);
  f.U32(32000).U16(4).U16(32).U16(0).Tag("fact").U32(4).U32(2).Tag("data").U32(8);
  f.U32(0x3F000000).U32(0xBF800000);  // 0.5, -1.0
  ASSERT_TRUE(Wave(f.b, record));
  EXPECT_EQ(record.channels, 1);
  EXPECT_EQ(record.sampleRate, 8000);
  EXPECT_EQ(record.samples, (std::vector<int16_t>{16384, -32768}));
}

TEST(WaveDecoding, DataRunningPastTheEndKeepsTheWholeFramesThatAreThere) {
  SoundRecord record;
  for (uint32_t claimed : {17u, 1000u, 0xFFFFFFFFu}) {
    Bytes w = WaveHead(1, 2, 48000, 16);
    w.Tag("data").U32(claimed).Raw(FOUR_FRAMES).Raw({9, 0});  // a half frame at the end
    ASSERT_TRUE(Wave(w.b, record)) << claimed;
    EXPECT_EQ(record.samples.size(), 8u);
  }
}

TEST(WaveDecoding, RefusesHeadersThatLieOrNameOtherFormats) {
  SoundRecord record;
  std::vector<std::pair<const char*, Bytes>> bad;
  Bytes good = WaveHead(1, 2, 48000, 16);
  good.Tag("data").U32(16).Raw(FOUR_FRAMES);
  ASSERT_TRUE(Wave(good.b, record));

  Bytes listFirst;
  listFirst.Tag("RIFF").U32(0).Tag("WAVE").Tag("LIST").U32(4).Raw({0, 0, 0, 0});
  listFirst.Raw(std::vector<uint8_t>(good.b.begin() + 12, good.b.end()));
  bad.push_back({"fmt not at byte 12", listFirst});
  Bytes hugeFmt = good;
  hugeFmt.b[16] = hugeFmt.b[17] = hugeFmt.b[18] = hugeFmt.b[19] = 0xFF;
  bad.push_back({"fmt size past the end", hugeFmt});
  Bytes shortFmt = good;
  shortFmt.b[16] = 14;
  bad.push_back({"fmt shorter than 16", shortFmt});
  Bytes chunkPastEnd = WaveHead(1, 2, 48000, 16);
  chunkPastEnd.Tag("LIST").U32(0x7FFFFFF0).Tag("data").U32(16).Raw(FOUR_FRAMES);
  bad.push_back({"chunk before data runs past the end", chunkPastEnd});
  Bytes noData = WaveHead(1, 2, 48000, 16);
  noData.Tag("LIST").U32(4).Raw({1, 2, 3, 4});
  bad.push_back({"no data chunk", noData});
  Bytes emptyData = WaveHead(1, 2, 48000, 16);
  emptyData.Tag("data").U32(0);
  bad.push_back({"empty data", emptyData});
  Bytes halfHeader = WaveHead(1, 2, 48000, 16);
  halfHeader.Raw({'d', 'a', 't'});
  bad.push_back({"chunk header cut short", halfHeader});
  bad.push_back({"cut inside fmt", Bytes{std::vector<uint8_t>(good.b.begin(), good.b.begin() + 30)}});
  bad.push_back({"only RIFF", Bytes{std::vector<uint8_t>(good.b.begin(), good.b.begin() + 4)}});

  struct Fmt {
    const char* why;
    int format, channels;
    uint32_t rate;
    int bits;
  } fmts[] = {{"zero channels", 1, 0, 48000, 16},   {"nine channels", 1, 9, 48000, 16},
              {"rate 0", 1, 2, 0, 16},             {"rate 1e9", 1, 2, 1000000000, 16},
              {"12 bits", 1, 2, 48000, 12},        {"0 bits", 1, 2, 48000, 0},
              {"64-bit float", 3, 2, 48000, 64},   {"16-bit float", 3, 2, 48000, 16},
              {"ADPCM", 2, 2, 48000, 4},           {"A-law", 6, 2, 48000, 8}};
  for (const Fmt& f : fmts) {
    Bytes w = WaveHead(f.format, f.channels, f.rate, f.bits);
    w.Tag("data").U32(16).Raw(FOUR_FRAMES);
    bad.push_back({f.why, w});
  }
  // An extended header whose sub-format is not plain PCM.
  Bytes ext;
  ext.Tag("RIFF").U32(0).Tag("WAVE").Tag("fmt ").U32(40).U16(0xFFFE).U16(2).U32(48000);
  ext.U32(192000).U16(4).U16(16).U16(22).U16(16).U32(3).U16(2).U16(0);
  ext.Raw({0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71});
  ext.Tag("data").U32(16).Raw(FOUR_FRAMES);
  bad.push_back({"extensible ADPCM", ext});

  for (auto& [why, w] : bad) {
    SoundRecord untouched;
    EXPECT_FALSE(Wave(w.b, untouched)) << why;
    EXPECT_TRUE(untouched.samples.empty()) << why;
  }
}

namespace {
std::vector<uint8_t> TrackBytes() { return ReadBytes(std::string(ZYNTRAX_ASSET_DIR) + "/music.ogg"); }

bool Vorbis(const std::vector<uint8_t>& bytes, SoundRecord& out) {
  std::vector<uint8_t> exact(bytes);
  return DecodeVorbis(exact.data(), exact.size(), out);
}
}  // namespace

TEST(VorbisDecoding, TheTrackDecodesToWhatSoxReads) {
  std::vector<uint8_t> bytes = TrackBytes();
  ASSERT_GT(bytes.size(), 1000u);
  SoundRecord record;
  ASSERT_TRUE(Vorbis(bytes, record));
  EXPECT_EQ(record.channels, 2);
  EXPECT_EQ(record.sampleRate, 48000);
  EXPECT_EQ(record.bitsPerSample, 16);
  EXPECT_NEAR(double(record.samples.size() / 2) / 48000.0, 187.5, 0.05);
  std::vector<int16_t> expected = SoxSamples16(std::string(ZYNTRAX_ASSET_DIR) + "/music.ogg");
  ASSERT_EQ(record.samples.size(), expected.size());
  // Both go through libvorbis; sox's float path may round a sample differently.
  size_t off = 0;
  for (size_t i = 0; i < expected.size(); i++) off += std::abs(record.samples[i] - expected[i]) > 1;
  EXPECT_EQ(off, 0u);
}

TEST(VorbisDecoding, ATruncatedTrackKeepsWhatIsThere) {
  std::vector<uint8_t> bytes = TrackBytes();
  SoundRecord whole;
  ASSERT_TRUE(Vorbis(bytes, whole));
  // Cut where the last page starts, plus a little of it.
  size_t lastPage = bytes.size() - 4;
  while (lastPage > 0 && std::memcmp(bytes.data() + lastPage, "OggS", 4) != 0) lastPage--;
  SoundRecord half;
  ASSERT_TRUE(Vorbis(std::vector<uint8_t>(bytes.begin(), bytes.begin() + lastPage + 100), half));
  ASSERT_GT(half.samples.size(), 0u);
  ASSERT_LT(half.samples.size(), whole.samples.size());
  EXPECT_EQ(half.samples.size() % 2, 0u);
  EXPECT_TRUE(std::equal(half.samples.begin(), half.samples.end(), whole.samples.begin()));
  // Cut inside the headers: nothing to decode.
  for (size_t cut : {0, 4, 58, 100, 500}) {
    SoundRecord none;
    EXPECT_FALSE(Vorbis(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut), none)) << cut;
  }
}

TEST(VorbisDecoding, DamagedOrForeignBytesNeverCrash) {
  // The opening of the track is enough to scribble on, and quick to decode.
  std::vector<uint8_t> bytes = TrackBytes();
  bytes.resize(std::min<size_t>(bytes.size(), 200000));
  SoundRecord clean;
  ASSERT_TRUE(Vorbis(bytes, clean));
  SoundRecord record;
  std::vector<uint8_t> noise(20000);
  uint32_t state = 12345;
  for (uint8_t& b : noise) b = uint8_t((state = state * 1103515245 + 12345) >> 16);
  EXPECT_FALSE(Vorbis(noise, record));
  EXPECT_FALSE(Vorbis(std::vector<uint8_t>{'O', 'g', 'g', 'S'}, record));
  // Scribbled over in several places: decoding stops or skips, within bounds.
  for (size_t at = 0; at < bytes.size(); at += bytes.size() / 7) {
    std::vector<uint8_t> damaged(bytes);
    for (size_t i = at; i < std::min(damaged.size(), at + 300); i++) damaged[i] ^= 0x5A;
    SoundRecord out;
    if (Vorbis(damaged, out)) {
      EXPECT_EQ(out.samples.size() % size_t(out.channels), 0u) << at;
      EXPECT_LE(out.samples.size(), clean.samples.size()) << at;
    }
  }
}
