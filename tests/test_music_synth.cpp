// The music generator's building blocks: envelopes that start and end at
// zero without steps, offset-free pulses, a limiter that holds its ceiling
// with a smooth gain, and an encoder that writes the same exact-length
// stream every time.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <fstream>
#include <string>
#include <unistd.h>

#include "tools/music/music.h"

namespace {
std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

TEST(MusicSynth, EnvelopesRiseAndFallWithoutSteps) {
  const Envelope shapes[] = {{0.003f, 0.18f, 0.7f, 0.03f}, {0.35f, 1.0f, 1.0f, 0.9f},
                             {0.04f, 0.6f, 0.8f, 0.35f}};
  for (const Envelope& env : shapes) {
    // A long note and one released during its own attack.
    for (float gate : {0.5f, env.attack * 0.5f}) {
      const int64_t total = env.Frames(gate);
      EXPECT_EQ(env.At(0.0f, gate), 0.0f);
      EXPECT_NEAR(env.At((float)total / SAMPLE_RATE, gate), 0.0f, 1e-3f);
      EXPECT_NEAR(env.At(gate + env.release, gate), 0.0f, 1e-5f);
      float previous = 0.0f, biggestStep = 0.0f;
      for (int64_t n = 1; n <= total; ++n) {
        float v = env.At((float)n / SAMPLE_RATE, gate);
        EXPECT_LE(v, 1.0f);
        biggestStep = std::fmax(biggestStep, std::fabs(v - previous));
        previous = v;
      }
      // The steepest slope allowed is the attack's: 1 over its length.
      EXPECT_LE(biggestStep, 1.01f / (env.attack * SAMPLE_RATE)) << "gate " << gate;
    }
  }
}

TEST(MusicSynth, OscillatorsStayBoundedAndPulsesCarryNoOffset) {
  for (float hz : {55.0f, 440.0f, 3520.0f}) {
    const float dt = hz / SAMPLE_RATE;
    const int period = (int)std::lround(1.0f / dt);
    for (float width : {0.25f, 0.5f}) {
      double sum = 0.0;
      float phase = 0.0f;
      for (int n = 0; n < SAMPLE_RATE; ++n) {  // a second: whole cycles to within one
        float v = PulseWave(phase, dt, width);
        EXPECT_LE(std::fabs(v), 2.01f);
        sum += v;
        phase += dt;
        if (phase >= 1.0f) phase -= 1.0f;
      }
      EXPECT_NEAR(sum / SAMPLE_RATE, 0.0, 0.01) << hz << " Hz, width " << width;
    }
    float phase = 0.0f;
    for (int n = 0; n < period * 4; ++n) {
      EXPECT_LE(std::fabs(SawWave(phase, dt)), 1.01f);
      phase += dt;
      if (phase >= 1.0f) phase -= 1.0f;
    }
  }
}

TEST(MusicSynth, LimiterHoldsTheCeilingWithASmoothGain) {
  const int64_t frames = SAMPLE_RATE * 4;
  std::vector<float> l(frames), r(frames);
  Noise noise(7);
  for (int64_t n = 0; n < frames; ++n) {
    float t = (float)n / SAMPLE_RATE;
    // Quiet tone, then loud bursts, single-sample spikes and a spike right at the edges.
    float level = (t > 1.0f && t < 2.5f) ? 2.5f : 0.3f;
    l[n] = level * std::sin(6.2831853f * 220.0f * t) + 0.05f * noise.Next();
    r[n] = level * (0.6f + 0.4f * std::sin(6.2831853f * 330.0f * t));  // never near zero, so
                                                                       // the gain reads off it
    if (n % 30011 == 0) l[n] = 3.0f;
  }
  l[frames - 1] = -4.0f;
  const std::vector<float> inL = l, inR = r;
  Limit(l, r);
  for (int64_t n = 0; n < frames; ++n) {
    ASSERT_LE(std::fabs(l[n]), CEILING) << n;
    ASSERT_LE(std::fabs(r[n]), CEILING) << n;
  }
  // Far from the loud parts the signal passes unchanged.
  const int64_t quiet = SAMPLE_RATE * 3 + 100;
  EXPECT_NEAR(r[quiet] / inR[quiet], 1.0f, 0.01f);
  // The gain moves at most a few thousandths from one sample to the next.
  float biggestStep = 0.0f;
  for (int64_t n = 1; n < frames; ++n)
    biggestStep = std::fmax(biggestStep, std::fabs(r[n] / inR[n] - r[n - 1] / inR[n - 1]));
  EXPECT_LT(biggestStep, 0.01f);
}

TEST(MusicSynth, EncoderWritesTheSameExactLengthStreamEveryTime) {
  const int64_t frames = 48000 + 123;  // not a whole number of blocks
  std::vector<float> master(frames * 2);
  for (int64_t n = 0; n < frames; ++n) {
    master[2 * n] = 0.5f * std::sin(0.05f * n);
    master[2 * n + 1] = 0.5f * std::sin(0.031f * n);
  }
  const std::string base = std::string("/tmp/music-synth-") + std::to_string(getpid());
  ASSERT_TRUE(WriteOggVorbis(base + "-a.ogg", master, 0.55f));
  ASSERT_TRUE(WriteOggVorbis(base + "-b.ogg", master, 0.55f));
  EXPECT_EQ(ReadAll(base + "-a.ogg"), ReadAll(base + "-b.ogg"));

  OggVorbis_File file;
  ASSERT_EQ(ov_fopen((base + "-a.ogg").c_str(), &file), 0);
  EXPECT_EQ(ov_streams(&file), 1);
  EXPECT_EQ(ov_info(&file, -1)->channels, 2);
  EXPECT_EQ(ov_info(&file, -1)->rate, 48000);
  EXPECT_EQ(ov_pcm_total(&file, -1), frames);
  ov_clear(&file);
  EXPECT_FALSE(WriteOggVorbis("/nonexistent-dir/x.ogg", master, 0.55f));
  std::remove((base + "-a.ogg").c_str());
  std::remove((base + "-b.ogg").c_str());
}
