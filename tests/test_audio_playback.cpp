// Playback through SDL's disk audio driver, which writes what the device plays
// to a file: the track once at its volume then silence, volume changes on a
// playing voice, conversion, the voice limit, the watchdog, and no device.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "audio/audio.h"
#include "support/audio_files.h"
#include "platform/test_hooks.h"

namespace {
void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string MakeTone(const std::string& name, const std::string& format, double seconds) {
  std::string path = AudioScratchPath(name);
  RunCommand("sox -V1 -n " + format + " " + path + " synth " + std::to_string(seconds) +
             " sine 440 sine 660 gain -3");
  return path;
}

int16_t Scaled(int16_t sample, double percent) {
  float v = std::nearbyint(float(sample) * float(percent / 100.0));
  return int16_t(std::fmax(-32768.0f, std::fmin(32767.0f, v)));
}

class Playback : public ::testing::Test {
 protected:
  std::string output;
  void SetUp() override {
    output = AudioScratchPath(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    ASSERT_EQ(SoundInit(), 1);
  }
  void TearDown() override { SoundShutdown(); }

  // Waits for every voice to end, lets some silence follow, and returns what
  // the device played.
  std::vector<int16_t> PlayedToTheEnd() {
    for (int waited = 0; TestVoicesInUse() > 0 && waited < 10000; waited += 10) Sleep(10);
    EXPECT_EQ(TestVoicesInUse(), 0);
    Sleep(200);
    SoundShutdown();
    std::vector<uint8_t> bytes = ReadBytes(output);
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
  }
};

// Where in `played` the track's first sample lies, found from the first sample
// that is not silent in either.
size_t StartOf(const std::vector<int16_t>& played, const std::vector<int16_t>& track, double percent) {
  size_t k = 0, j = 0;
  while (k < played.size() && played[k] == 0) k++;
  while (j < track.size() && Scaled(track[j], percent) == 0) j++;
  EXPECT_LT(k, played.size()) << "nothing was played";
  EXPECT_GE(k, j);
  return k - j;
}

// Seconds from the first to the last sample that is not silent, and the span.
double SoundingSeconds(const std::vector<int16_t>& played, size_t* first = nullptr, size_t* last = nullptr) {
  size_t begin = 0, end = played.size();
  while (begin < played.size() && played[begin] == 0) begin++;
  while (end > begin && played[end - 1] == 0) end--;
  if (first) *first = begin;
  if (last) *last = end;
  return double(end - begin) / 2 / 48000;
}
}  // namespace

TEST_F(Playback, PlaysTheTrackOnceAtItsVolumeThenSilence) {
  std::string tone = MakeTone("tone.wav", "-r 48000 -c 2 -b 16", 0.5);
  ASSERT_EQ(MusicLoad(0, tone), 1);
  ASSERT_EQ(MusicSetVolume(0, 40), 1);
  std::vector<int16_t> track = TestSoundSamples(0);
  ASSERT_EQ(track.size(), 48000u);
  ASSERT_EQ(MusicPlay(0), 1);
  EXPECT_EQ(TestVoicesInUse(), 1);
  std::vector<int16_t> played = PlayedToTheEnd();

  size_t start = StartOf(played, track, 40);
  EXPECT_EQ(start % 2, 0u);
  ASSERT_LE(start + track.size(), played.size());
  size_t wrong = 0;
  for (size_t i = 0; i < track.size(); i++) wrong += std::abs(played[start + i] - Scaled(track[i], 40)) > 1;
  EXPECT_EQ(wrong, 0u);
  size_t noise = 0;
  for (size_t i = start + track.size(); i < played.size(); i++) noise += played[i] != 0;
  EXPECT_EQ(noise, 0u) << "the track must not play again";
  EXPECT_GT(played.size() - start - track.size(), 4800u);
}

TEST_F(Playback, AVolumeChangeReachesThePlayingVoice) {
  std::string tone = MakeTone("long.wav", "-r 48000 -c 2 -b 16", 1.0);
  ASSERT_EQ(MusicLoad(0, tone), 1);
  std::vector<int16_t> track = TestSoundSamples(0);
  ASSERT_EQ(MusicPlay(0), 1);  // at the stored 100
  Sleep(400);
  ASSERT_EQ(MusicSetVolume(0, 25), 1);
  std::vector<int16_t> played = PlayedToTheEnd();

  size_t start = StartOf(played, track, 100);
  ASSERT_LE(start + track.size(), played.size());
  size_t change = 0;
  while (change < track.size() && std::abs(played[start + change] - track[change]) <= 1) change++;
  // The change lands within the second, at a buffer boundary after the call.
  EXPECT_GT(change, track.size() / 10);
  EXPECT_LT(change, track.size() * 9 / 10);
  size_t wrong = 0;
  for (size_t i = change; i < track.size(); i++) wrong += std::abs(played[start + i] - Scaled(track[i], 25)) > 1;
  EXPECT_EQ(wrong, 0u);
}

TEST_F(Playback, OtherRatesAndChannelCountsAreConverted) {
  std::string tone = MakeTone("mono.wav", "-r 22050 -c 1 -b 16", 0.3);
  ASSERT_EQ(MusicLoad(0, tone), 1);
  int channels, rate, bits;
  double volume;
  ASSERT_EQ(TestSoundInfo(0, &channels, &rate, &bits, &volume), 1);
  EXPECT_EQ(channels, 1);
  EXPECT_EQ(rate, 22050);
  ASSERT_EQ(MusicPlay(0), 1);
  std::vector<int16_t> played = PlayedToTheEnd();
  size_t first, last;
  EXPECT_NEAR(SoundingSeconds(played, &first, &last), 0.3, 0.01);
  size_t unequal = 0;
  for (size_t i = first; i + 1 < last; i += 2) unequal += played[i] != played[i + 1];
  EXPECT_EQ(unequal, 0u);
}

TEST_F(Playback, VolumeIsClampedAndKeptPerSound) {
  std::string tone = MakeTone("short.wav", "-r 48000 -c 2 -b 16", 0.05);
  EXPECT_EQ(MusicSetVolume(0, 50), 0) << "nothing loaded yet";
  ASSERT_EQ(MusicLoad(0, tone), 1);
  int channels, rate, bits;
  double volume;
  struct {
    double set, stored;
  } cases[] = {{150, 100}, {-5, 0}, {37.5, 37.5}, {NAN, 0}, {100, 100}};
  for (auto c : cases) {
    EXPECT_EQ(MusicSetVolume(0, c.set), 1);
    ASSERT_EQ(TestSoundInfo(0, &channels, &rate, &bits, &volume), 1);
    EXPECT_EQ(volume, c.stored) << c.set;
  }
}

TEST_F(Playback, FailedLoadsReturnZeroAndKeepWhatWasStored) {
  std::string tone = MakeTone("keep.wav", "-r 48000 -c 2 -b 16", 0.05);
  ASSERT_EQ(MusicLoad(3, tone), 1);
  std::string empty = AudioScratchPath("empty.ogg");
  WriteBytes(empty, {});
  std::vector<uint8_t> track = ReadBytes(std::string(ZYNTRAX_ASSET_DIR) + "/music.ogg");
  std::string cut = AudioScratchPath("cut.ogg");
  WriteBytes(cut, std::vector<uint8_t>(track.begin(), track.begin() + 200));
  std::string garbage = AudioScratchPath("garbage.ogg");
  WriteBytes(garbage, std::vector<uint8_t>(5000, 0x41));
  for (const std::string& bad : {AudioScratchPath("missing.ogg"), AudioScratchPath(""), empty, cut, garbage})
    EXPECT_EQ(MusicLoad(3, bad), 0) << bad;
  EXPECT_EQ(TestSoundSamples(3).size(), 4800u);
  EXPECT_EQ(MusicLoad(-1, tone), 0);
  EXPECT_EQ(MusicLoad(1 << 30, tone), 0);
  EXPECT_EQ(MusicPlay(7), 0) << "no record under that id";
  EXPECT_EQ(MusicPlay(-1), 0);
  ASSERT_EQ(MusicLoad(0, std::string(ZYNTRAX_ASSET_DIR) + "/music.ogg"), 1);
}

TEST_F(Playback, ReloadingAPlayingSoundLetsTheOldOneFinish) {
  std::string first = MakeTone("first.wav", "-r 48000 -c 2 -b 16", 0.3);
  std::string second = MakeTone("second.wav", "-r 48000 -c 2 -b 16", 0.1);
  ASSERT_EQ(MusicLoad(0, first), 1);
  ASSERT_EQ(MusicPlay(0), 1);
  Sleep(50);
  ASSERT_EQ(MusicLoad(0, second), 1);
  EXPECT_EQ(TestSoundSamples(0).size(), 9600u);
  std::vector<int16_t> played = PlayedToTheEnd();
  EXPECT_NEAR(SoundingSeconds(played), 0.3, 0.005);
}

TEST_F(Playback, SixtyFourVoicesAtMostAndFinishedSlotsAreReused) {
  std::string tone = MakeTone("blip.wav", "-r 48000 -c 2 -b 16", 0.1);
  ASSERT_EQ(MusicLoad(0, tone), 1);
  ASSERT_EQ(MusicSetVolume(0, 1), 1);
  for (int i = 0; i < 64; i++) ASSERT_EQ(MusicPlay(0), 1) << i;
  EXPECT_EQ(MusicPlay(0), 0);
  for (int waited = 0; TestVoicesInUse() > 0 && waited < 5000; waited += 10) Sleep(10);
  EXPECT_EQ(TestVoicesInUse(), 0);
  EXPECT_EQ(MusicPlay(0), 1);
  EXPECT_EQ(TestVoicesInUse(), 1);
}

TEST_F(Playback, TheWatchdogClosesAnIdleDeviceAndPlayReopensIt) {
  std::string tone = MakeTone("wake.wav", "-r 48000 -c 2 -b 16", 0.2);
  ASSERT_EQ(MusicLoad(0, tone), 1);
  EXPECT_EQ(TestDeviceRunning(), 1);
  TestWatchdogCheck(1000);
  TestWatchdogCheck(11000);
  EXPECT_EQ(TestDeviceRunning(), 1) << "exactly ten seconds is not yet too long";
  TestWatchdogCheck(11001);
  EXPECT_EQ(TestDeviceRunning(), 0);
  ASSERT_EQ(MusicPlay(0), 1);
  EXPECT_EQ(TestDeviceRunning(), 1);
  // A playing voice restarts the wait.
  TestWatchdogCheck(20000);
  TestWatchdogCheck(40000);
  EXPECT_EQ(TestDeviceRunning(), 1);
  std::vector<int16_t> played = PlayedToTheEnd();
  size_t loud = 0;
  for (int16_t s : played) loud += s != 0;
  EXPECT_GT(loud, 18000u) << "the reopened device played the sound";
}

TEST(NoDevice, EveryCallReturnsZero) {
  std::string tone = MakeTone("silent.wav", "-r 48000 -c 2 -b 16", 0.05);
  for (const char* driver : {"no-such-driver", "dummy"}) {
    SCOPED_TRACE(driver);
    setenv("SDL_AUDIODRIVER", driver, 1);
    EXPECT_EQ(SoundInit(), 0);
    EXPECT_EQ(SoundInit(), 0);
    EXPECT_EQ(MusicLoad(0, tone), 0);
    EXPECT_EQ(MusicSetVolume(0, 50), 0);
    EXPECT_EQ(MusicPlay(0), 0);
    SoundShutdown();
  }
  unsetenv("SDL_AUDIODRIVER");
}
