// The files kept under tests/fuzz (fuzzer findings, hand-made faulty files and
// the fuzzers' seeds) fed to every loader that reads a file: none may crash, and
// what a loader accepts is whole. Also: a picture header that claims far more
// than its file can hold is refused before anything is allocated for it, and a
// chained Ogg stream is decoded only when its links agree on rate and channels,
// and is read from its first link on without seeking back; Ogg files shaped to
// overflow the Vorbis library's stack are refused at a limit every target's
// stack can take, and a claimed length reserves nothing the file cannot hold.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>

#include "audio/sound_internal.h"
#include "audio/vorbis_survey.h"
#include "fuzz/vorbis_shapes.h"
#include "render/image.h"
#include "support/audio_files.h"

namespace {
std::atomic<size_t> largestAllocation{0};

const std::string KEPT = std::string(ZYNTRAX_ASSET_DIR) + "/../tests/fuzz/";

std::vector<std::string> KeptFiles() {
  std::vector<std::string> files;
  for (const char* folder : {"regressions", "corpus"})
    for (const auto& entry : std::filesystem::recursive_directory_iterator(KEPT + folder))
      if (entry.is_regular_file()) files.push_back(entry.path().string());
  return files;
}

void ExpectWholeSound(const SoundRecord& sound, const std::string& file) {
  ASSERT_GE(sound.channels, 1) << file;
  EXPECT_LE(sound.channels, MAX_CHANNELS) << file;
  EXPECT_GE(sound.sampleRate, MIN_SAMPLE_RATE) << file;
  EXPECT_LE(sound.sampleRate, MAX_SAMPLE_RATE) << file;
  EXPECT_FALSE(sound.samples.empty()) << file;
  EXPECT_EQ(sound.samples.size() % (size_t)sound.channels, 0u) << file;
}

// Each loader on a buffer of exactly the file's size, so that the address
// sanitizer catches any read past its end.
struct Loaded {
  bool picture = false, wave = false, vorbis = false;
  DecodedImage image;
  SoundRecord waveSound, vorbisSound;
};
Loaded LoadEveryWay(const std::string& file) {
  std::vector<uint8_t> bytes = ReadBytes(file);
  Loaded got;
  got.picture = DecodeImage(bytes.data(), bytes.size(), got.image);
  got.wave = DecodeWave(bytes.data(), bytes.size(), got.waveSound);
  got.vorbis = DecodeVorbis(bytes.data(), bytes.size(), got.vorbisSound);
  return got;
}

// A kept file that is stored compressed with xz. Built for Windows, where
// there is no xz to run, the build has unpacked it into ZYNTRAX_UNPACKED_DIR.
std::vector<uint8_t> Unpacked(const std::string& file) {
  std::vector<uint8_t> bytes;
#ifdef ZYNTRAX_UNPACKED_DIR
  const std::string name = file.substr(file.find_last_of('/') + 1);
  return ReadBytes(std::string(ZYNTRAX_UNPACKED_DIR) + "/" + name.substr(0, name.size() - 3));
#endif
  if (FILE* pipe = popen(("xz -dc '" + file + "'").c_str(), "r")) {
    uint8_t chunk[65536];
    for (size_t got; (got = fread(chunk, 1, sizeof chunk, pipe)) > 0;) bytes.insert(bytes.end(), chunk, chunk + got);
    pclose(pipe);
  }
  return bytes;
}

bool Decodes(const std::vector<uint8_t>& bytes) {
  SoundRecord record;
  return DecodeVorbis(bytes.data(), bytes.size(), record);
}
}  // namespace

// Counts the largest single allocation of the program, for the check that a
// refused picture cost nothing. The pair hands plain malloc memory to free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
  size_t seen = largestAllocation.load();
  while (size > seen && !largestAllocation.compare_exchange_weak(seen, size)) {
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

TEST(LoaderInputs, EveryKeptFileIsRefusedOrLoadedWhole) {
  std::vector<std::string> files = KeptFiles();
  ASSERT_GE(files.size(), 8u);
  for (const std::string& file : files) {
    Loaded got = LoadEveryWay(file);
    if (got.picture) {
      const DecodedImage& image = got.image;
      EXPECT_TRUE(image.depth == 24 || image.depth == 32) << file;
      EXPECT_EQ(image.pixels.size(), (size_t)image.width * image.height * (image.depth / 8)) << file;
    }
    if (got.wave) ExpectWholeSound(got.waveSound, file);
    if (got.vorbis) ExpectWholeSound(got.vorbisSound, file);
    // The seeds are good files of their kind.
    if (file.find("/corpus/png/") != std::string::npos) {
      EXPECT_TRUE(got.picture) << file;
    }
    if (file.find("/corpus/vorbis/") != std::string::npos) {
      EXPECT_TRUE(got.vorbis) << file;
    }
  }
}

TEST(LoaderInputs, APictureClaimingMoreThanItsFileHoldsIsRefusedBeforeAllocating) {
  // 197 bytes whose header claims 16384 x 16384 RGBA: a full GiB once decoded.
  std::vector<uint8_t> bytes = ReadBytes(KEPT + "regressions/png/huge-header.png");
  ASSERT_LT(bytes.size(), 300u);
  DecodedImage image;
  largestAllocation = 0;
  EXPECT_FALSE(DecodeImage(bytes.data(), bytes.size(), image));
  EXPECT_LT(largestAllocation.load(), size_t(1) << 20);
  EXPECT_TRUE(image.pixels.empty());
  // Tiny but honest pictures and the carried ones still load.
  for (const char* file : {"corpus/png/palette-2bit-trns.png", "corpus/png/interlaced-rgb.png"})
    EXPECT_TRUE(LoadEveryWay(KEPT + file).picture) << file;
  std::vector<uint8_t> big = ReadBytes(std::string(ZYNTRAX_ASSET_DIR) + "/cyber_bg.png");
  EXPECT_TRUE(DecodeImage(big.data(), big.size(), image));
}

TEST(LoaderInputs, ChainedOggLinksMustAgreeOnRateAndChannels) {
  // A second link at 17400 Hz would otherwise play 2.76 times too slowly.
  EXPECT_FALSE(LoadEveryWay(KEPT + "regressions/vorbis/chained-rates.ogg").vorbis);
  EXPECT_FALSE(LoadEveryWay(KEPT + "regressions/vorbis/chained-channels.ogg").vorbis);
  // Two links of 960 stereo frames at 48000 Hz play one after the other: the
  // same samples as each link on its own (the second starts on the page that
  // opens a stream, the header flag 2 at byte 5).
  std::vector<uint8_t> chain = ReadBytes(KEPT + "corpus/vorbis/chained-same.ogg");
  size_t second = 1;
  while (second + 6 < chain.size() && !(std::memcmp(&chain[second], "OggS", 4) == 0 && chain[second + 5] == 2))
    second++;
  ASSERT_LT(second + 6, chain.size());
  SoundRecord whole, first, next;
  ASSERT_TRUE(DecodeVorbis(chain.data(), chain.size(), whole));
  ASSERT_TRUE(DecodeVorbis(chain.data(), second, first));
  ASSERT_TRUE(DecodeVorbis(chain.data() + second, chain.size() - second, next));
  EXPECT_EQ(whole.sampleRate, 48000);
  EXPECT_EQ(whole.channels, 2);
  EXPECT_EQ(first.samples.size(), 2u * 960u);
  first.samples.insert(first.samples.end(), next.samples.begin(), next.samples.end());
  EXPECT_EQ(whole.samples, first.samples);
}

TEST(LoaderInputs, DamagedChainsAreReadInOrderWithoutSeekingBack) {
  // Spliced links with repeated pages (a fuzzer finding): opened, then seeked
  // back to the start, it made libogg write out of bounds on the next read.
  EXPECT_FALSE(LoadEveryWay(KEPT + "regressions/vorbis/vorbis-chain-seek-double-free.ogg").vorbis);
  // An 11025 Hz link spliced in after a 48000 Hz link's headers: the scan of
  // the file sees one link, the reading meets the second and refuses it.
  EXPECT_FALSE(LoadEveryWay(KEPT + "regressions/vorbis/chained-rate-link-inside-headers.ogg").vorbis);
}

TEST(LoaderInputs, OggShapesThatOverflowedTheVorbisStackAreRefusedPastTheirLimits) {
  // 230 bytes whose one ordered codebook has 2^20 entries: libvorbis built its
  // decode table on the stack at the first read, 8 MB and more.
  EXPECT_FALSE(LoadEveryWay(KEPT + "regressions/vorbis/vorbis-huge-ordered-codebook.ogg").vorbis);
  // 30,000 minimal links: the seekable opening recursed once a link.
  std::vector<uint8_t> chain = Unpacked(KEPT + "regressions/vorbis/vorbis-chain-30000-links.ogg.xz");
  ASSERT_GT(chain.size(), 5000000u) << "xz (xz-utils) is needed";
  EXPECT_FALSE(Decodes(chain));
  // The same shapes at each limit decode; one step past it they are refused.
  using vorbis_shapes::Chain;
  using vorbis_shapes::Link;
  EXPECT_TRUE(Decodes(Link(1, uint32_t(MAX_BOOK_ENTRIES), 4)));
  EXPECT_FALSE(Decodes(Link(1, uint32_t(MAX_BOOK_ENTRIES) + 1, 4)));
  EXPECT_TRUE(Decodes(Chain(MAX_VORBIS_LINKS)));
  EXPECT_FALSE(Decodes(Chain(MAX_VORBIS_LINKS + 1)));
  // Links whose books are each within the limit but pass the file's share.
  const int links = int(MAX_FILE_BOOK_ENTRIES / MAX_BOOK_ENTRIES);
  std::vector<uint8_t> books = Chain(links, uint32_t(MAX_BOOK_ENTRIES));
  VorbisSurvey survey;
  EXPECT_TRUE(SurveyVorbis(books.data(), books.size(), survey));
  EXPECT_FALSE(Decodes(Chain(links + 1, uint32_t(MAX_BOOK_ENTRIES))));
}

TEST(LoaderInputs, AClaimedLengthReservesOnlyWhatThePacketsHold) {
  // One link of four short silent blocks whose last page claims 2^28 frames:
  // a whole GiB of samples once reserved.
  std::vector<uint8_t> bytes = vorbis_shapes::Link(1, 2, 4, int64_t(1) << 28);
  ASSERT_LT(bytes.size(), 300u);
  SoundRecord record;
  largestAllocation = 0;
  ASSERT_TRUE(DecodeVorbis(bytes.data(), bytes.size(), record));
  EXPECT_EQ(record.samples.size(), 2u * 3 * 128);
  EXPECT_LT(largestAllocation.load(), size_t(1) << 20);
}
