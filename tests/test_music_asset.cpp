// The carried music track as the player will decode it: one Vorbis stream in
// the expected format and length, headroom below full scale, fades at both
// ends, music all the way through and no clicks.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <string>
#include <vector>

namespace {
const std::string MUSIC = std::string(ZYNTRAX_ASSET_DIR) + "/music.ogg";

struct Decoded {
  int streams = 0, channels = 0;
  long rate = 0;
  int64_t totalFrames = 0;
  std::vector<float> left, right;
};

// Opens and fully decodes the track once for all tests.
const Decoded& Track() {
  static Decoded d = [] {
    Decoded out;
    OggVorbis_File file;
    if (ov_fopen(MUSIC.c_str(), &file) != 0) return out;
    out.streams = (int)ov_streams(&file);
    vorbis_info* info = ov_info(&file, -1);
    out.channels = info->channels;
    out.rate = info->rate;
    out.totalFrames = ov_pcm_total(&file, -1);
    if (out.channels == 2 && out.totalFrames > 0) {
      out.left.reserve(out.totalFrames);
      out.right.reserve(out.totalFrames);
      float** pcm;
      int section;
      long got;
      while ((got = ov_read_float(&file, &pcm, 4096, &section)) > 0) {
        out.left.insert(out.left.end(), pcm[0], pcm[0] + got);
        out.right.insert(out.right.end(), pcm[1], pcm[1] + got);
      }
    }
    ov_clear(&file);
    return out;
  }();
  return d;
}

double Db(double amplitude) { return 20.0 * std::log10(amplitude + 1e-12); }

double Rms(const std::vector<float>& x, size_t from, size_t to) {
  double sum = 0.0;
  for (size_t i = from; i < to; ++i) sum += (double)x[i] * x[i];
  return std::sqrt(sum / (double)(to - from));
}
}  // namespace

TEST(MusicAsset, IsOneStereoStreamOfTheShowLength) {
  const Decoded& d = Track();
  ASSERT_EQ(d.streams, 1) << MUSIC;
  EXPECT_EQ(d.channels, 2);
  EXPECT_EQ(d.rate, 48000);
  EXPECT_NEAR((double)d.totalFrames / 48000.0, 187.5, 0.5);
  EXPECT_EQ((int64_t)d.left.size(), d.totalFrames) << "decoded length differs from the stream's";
}

TEST(MusicAsset, DecodedPeakLeavesHeadroomAndEndsFadeToSilence) {
  const Decoded& d = Track();
  ASSERT_FALSE(d.left.empty());
  float peak = 0.0f;
  for (size_t i = 0; i < d.left.size(); ++i)
    peak = std::fmax(peak, std::fmax(std::fabs(d.left[i]), std::fabs(d.right[i])));
  EXPECT_LT(Db(peak), -1.0) << "peak " << peak;
  EXPECT_GT(Db(peak), -6.0) << "track is far quieter than intended";

  const size_t edge = 480;  // 10 ms
  const size_t n = d.left.size();
  for (const auto* ch : {&d.left, &d.right}) {
    EXPECT_LT(Db(Rms(*ch, 0, edge)), -50.0) << "no fade-in";
    EXPECT_LT(Db(Rms(*ch, n - edge, n)), -50.0) << "no fade-out";
  }
}

TEST(MusicAsset, PlaysMusicThroughoutWithQuieterAndLouderSections) {
  const Decoded& d = Track();
  ASSERT_FALSE(d.left.empty());
  const size_t window = 48000 * 5;
  double loudest = -200.0, quietest = 0.0;
  // Every five-second stretch until the closing fade carries sound.
  for (size_t from = 0; from + window <= d.left.size() - 48000 * 5; from += window) {
    double db = Db(Rms(d.left, from, from + window) + Rms(d.right, from, from + window));
    EXPECT_GT(db, -35.0) << "near silence at " << from / 48000 << " s";
    loudest = std::fmax(loudest, db);
    quietest = std::fmin(quietest, db);
  }
  EXPECT_GT(loudest - quietest, 3.0) << "no dynamics between intro, breakdowns and drops";
}

// A click is a kink in the waveform far sharper than those around it: the
// second difference picks out steps and corners while smooth tones, even
// bright ones, keep it small.
TEST(MusicAsset, HasNoClicks) {
  const Decoded& d = Track();
  ASSERT_FALSE(d.left.empty());
  const size_t around = 480, gap = 8;
  for (const auto* ch : {&d.left, &d.right}) {
    const std::vector<float>& x = *ch;
    std::vector<double> kink(x.size(), 0.0), sum(x.size() + 1, 0.0);
    for (size_t i = 2; i < x.size(); ++i) kink[i] = (double)x[i] - 2.0 * x[i - 1] + x[i - 2];
    for (size_t i = 0; i < x.size(); ++i) sum[i + 1] = sum[i] + kink[i] * kink[i];
    double worst = 0.0;
    size_t worstAt = 0;
    for (size_t i = around; i + around < x.size(); ++i) {
      double k = std::fabs(kink[i]);
      if (k < 0.02) continue;
      double local = (sum[i - gap] - sum[i - around] + sum[i + around] - sum[i + gap]) /
                     (2.0 * (around - gap));
      double ratio = k / (std::sqrt(local) + 1e-4);
      if (ratio > worst) {
        worst = ratio;
        worstAt = i;
      }
    }
    EXPECT_LT(worst, 15.0) << "click at " << worstAt / 48000.0 << " s";
  }
}
