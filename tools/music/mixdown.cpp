// The mixdown: kick-driven pumping on pads, bass and arpeggio, the ping-pong
// echo on the lead, a plate-style reverb on the send bus, the bus levels, a
// look-ahead peak limiter and the fades at the very start and end.
#include <cmath>
#include <cstdio>
#include <deque>

#include "tools/music/music.h"

namespace {
constexpr float TARGET_RMS = 0.20f;     // loudness aimed for before limiting
constexpr int LOOKAHEAD = 240;          // 5 ms either side of each sample
constexpr float FADE_IN_S = 0.05f;
constexpr float FADE_OUT_FROM_S = 183.5f;

// 0 between kicks, rising to 1 over 4 ms at each kick and falling back over
// about a beat; always continuous, so the ducked buses never step.
std::vector<float> PumpCurve(const std::vector<int64_t>& kicks) {
  std::vector<float> curve(SONG_FRAMES, 0.0f);
  const int64_t attack = 192, length = FRAMES_PER_BEAT;
  for (int64_t k : kicks) {
    for (int64_t n = 0; n < length && k + n < SONG_FRAMES; ++n) {
      float t = (float)n / SAMPLE_RATE;
      float v = n < attack ? (float)n / attack : std::exp(-(t - 0.004f) / 0.11f);
      v *= 1.0f - (float)n / length;
      if (v > curve[k + n]) curve[k + n] = v;
    }
  }
  return curve;
}

// Dotted-eighth echo bouncing between the channels, darker on every repeat.
void PingPong(const Bus& in, Bus& out, float wet) {
  const int64_t delay = FRAMES_PER_STEP * 3;
  const float feedback = 0.42f;
  std::vector<float> l(SONG_FRAMES, 0.0f), r(SONG_FRAMES, 0.0f);
  float lpL = 0.0f, lpR = 0.0f;
  for (int64_t n = delay; n < SONG_FRAMES; ++n) {
    float x = (in.left[n - delay] + in.right[n - delay]) * 0.5f;
    lpL += 0.35f * (r[n - delay] - lpL);
    lpR += 0.35f * (l[n - delay] - lpR);
    l[n] = x + feedback * lpL;
    r[n] = feedback * lpR;
    out.left[n] += l[n] * wet;
    out.right[n] += r[n] * wet;
  }
}

// Freeverb-style: eight damped combs and four allpasses per channel.
struct Comb {
  std::vector<float> buffer;
  size_t pos = 0;
  float store = 0.0f;
  float Process(float x, float feedback, float damp) {
    float y = buffer[pos];
    store = y * (1.0f - damp) + store * damp;
    buffer[pos] = x + store * feedback;
    if (++pos == buffer.size()) pos = 0;
    return y;
  }
};
struct Allpass {
  std::vector<float> buffer;
  size_t pos = 0;
  float Process(float x) {
    float b = buffer[pos];
    buffer[pos] = x + b * 0.5f;
    if (++pos == buffer.size()) pos = 0;
    return b - x;
  }
};

void Reverb(const Bus& send, Bus& out, float wet) {
  static const int combs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
  static const int allpasses[4] = {556, 441, 341, 225};
  for (int side = 0; side < 2; ++side) {
    const int spread = side ? 23 : 0;
    Comb c[8];
    Allpass a[4];
    for (int i = 0; i < 8; ++i) c[i].buffer.assign((combs[i] + spread) * 48 / 44, 0.0f);
    for (int i = 0; i < 4; ++i) a[i].buffer.assign((allpasses[i] + spread) * 48 / 44, 0.0f);
    std::vector<float>& dest = side ? out.right : out.left;
    for (int64_t n = 0; n < SONG_FRAMES; ++n) {
      float x = (send.left[n] + send.right[n]) * 0.015f;
      float y = 0.0f;
      for (Comb& comb : c) y += comb.Process(x, 0.86f, 0.3f);
      for (Allpass& ap : a) y = ap.Process(y);
      dest[n] += y * wet;
    }
  }
}

double Rms(const std::vector<float>& l, const std::vector<float>& r) {
  double sum = 0.0;
  for (int64_t n = 0; n < SONG_FRAMES; ++n) sum += (double)l[n] * l[n] + (double)r[n] * r[n];
  return std::sqrt(sum / (2.0 * SONG_FRAMES));
}
}  // namespace

// Gain that keeps every sample under CEILING: the needed gain is held at its
// minimum over a window, released slowly, then averaged over the same window,
// so it moves smoothly and still meets every peak in time.
void Limit(std::vector<float>& l, std::vector<float>& r) {
  const int64_t count = (int64_t)l.size();
  std::vector<float> need(count);
  for (int64_t n = 0; n < count; ++n) {
    float peak = std::fmax(std::fabs(l[n]), std::fabs(r[n]));
    need[n] = peak > CEILING ? CEILING / peak : 1.0f;
  }
  std::vector<float> held(count);
  std::deque<int64_t> window;  // indices with increasing need
  for (int64_t n = 0; n < count + LOOKAHEAD; ++n) {
    if (n < count) {
      while (!window.empty() && need[window.back()] >= need[n]) window.pop_back();
      window.push_back(n);
    }
    int64_t centre = n - LOOKAHEAD;
    if (centre < 0) continue;
    while (window.front() < centre - LOOKAHEAD) window.pop_front();
    held[centre] = need[window.front()];
  }
  const float release = 1.0f - std::exp(-1.0f / (0.08f * SAMPLE_RATE));
  for (int64_t n = 1; n < count; ++n) {
    float up = held[n - 1] + (1.0f - held[n - 1]) * release;
    if (held[n] > up) held[n] = up;
  }
  // Running average over [n - LOOKAHEAD, n + LOOKAHEAD], edges clamped: every
  // term's own hold window contains n, so the average never exceeds need[n].
  auto at = [&](int64_t i) { return (double)held[i < 0 ? 0 : (i >= count ? count - 1 : i)]; };
  double sum = 0.0;
  for (int64_t i = -LOOKAHEAD; i <= LOOKAHEAD; ++i) sum += at(i);
  for (int64_t n = 0; n < count; ++n) {
    float g = std::fmin((float)(sum / (2 * LOOKAHEAD + 1)), need[n]);
    // The product can round one step past the ceiling; keep it on the line.
    l[n] = std::fmax(-CEILING, std::fmin(CEILING, l[n] * g));
    r[n] = std::fmax(-CEILING, std::fmin(CEILING, r[n] * g));
    sum += at(n + LOOKAHEAD + 1) - at(n - LOOKAHEAD);
  }
}

// Level of one bus over the first drop, to keep an eye on the balance.
static void ReportLevel(const char* name, const Bus& bus) {
  const int64_t from = (int64_t)17 * FRAMES_PER_BAR, to = (int64_t)25 * FRAMES_PER_BAR;
  double sum = 0.0;
  for (int64_t n = from; n < to; ++n) sum += (double)bus.left[n] * bus.left[n] + (double)bus.right[n] * bus.right[n];
  std::printf("  %-6s %6.1f dB\n", name, 10.0 * std::log10(sum / (2.0 * (to - from)) + 1e-12));
}

void MixDown(Song& song, std::vector<float>& master) {
  std::printf("bus levels over the first drop:\n");
  ReportLevel("drums", song.drums);
  ReportLevel("bass", song.bass);
  ReportLevel("pads", song.pads);
  ReportLevel("arp", song.arp);
  ReportLevel("lead", song.lead);
  ReportLevel("fx", song.fx);
  ReportLevel("send", song.reverbSend);
  Bus wet;
  PingPong(song.lead, wet, 0.32f);
  Reverb(song.reverbSend, wet, 1.0f);
  const std::vector<float> pump = PumpCurve(song.kicks);

  std::vector<float> l(SONG_FRAMES), r(SONG_FRAMES);
  double dcL = 0.0, dcR = 0.0;  // one-pole high-pass state against offset
  float prevL = 0.0f, prevR = 0.0f;
  for (int64_t n = 0; n < SONG_FRAMES; ++n) {
    float p = pump[n];
    // The pads' two sides are independent voices: fold a little of each into
    // the other so the chords stay wide without losing the centre.
    float padL = song.pads.left[n] * 0.8f + song.pads.right[n] * 0.2f;
    float padR = song.pads.right[n] * 0.8f + song.pads.left[n] * 0.2f;
    float padGain = 1.0f - 0.7f * p, bassGain = 1.0f - 0.45f * p, arpGain = 1.0f - 0.35f * p;
    float xl = song.drums.left[n] * 0.9f + song.bass.left[n] * 0.56f * bassGain +
               padL * 0.8f * padGain + song.arp.left[n] * arpGain + song.lead.left[n] +
               song.fx.left[n] * 0.5f + wet.left[n];
    float xr = song.drums.right[n] * 0.9f + song.bass.right[n] * 0.56f * bassGain +
               padR * 0.8f * padGain + song.arp.right[n] * arpGain + song.lead.right[n] +
               song.fx.right[n] * 0.5f + wet.right[n];
    dcL = 0.9995 * (dcL + xl - prevL);
    dcR = 0.9995 * (dcR + xr - prevR);
    prevL = xl;
    prevR = xr;
    l[n] = (float)dcL;
    r[n] = (float)dcR;
  }

  double rms = Rms(l, r);
  float gain = rms > 0.0 ? (float)(TARGET_RMS / rms) : 1.0f;
  for (int64_t n = 0; n < SONG_FRAMES; ++n) {
    l[n] *= gain;
    r[n] *= gain;
  }
  Limit(l, r);

  const int64_t fadeIn = (int64_t)(FADE_IN_S * SAMPLE_RATE);
  const int64_t fadeFrom = (int64_t)(FADE_OUT_FROM_S * SAMPLE_RATE);
  master.assign(SONG_FRAMES * 2, 0.0f);
  float peak = 0.0f;
  for (int64_t n = 0; n < SONG_FRAMES; ++n) {
    float g = 1.0f;
    if (n < fadeIn) g = (float)n / fadeIn;
    if (n >= fadeFrom) {
      float x = (float)(n - fadeFrom) / (float)(SONG_FRAMES - 1 - fadeFrom);
      g = 0.5f + 0.5f * std::cos(3.14159265f * x);
    }
    master[2 * n] = l[n] * g;
    master[2 * n + 1] = r[n] * g;
    peak = std::fmax(peak, std::fmax(std::fabs(master[2 * n]), std::fabs(master[2 * n + 1])));
  }
  std::printf("mix: rms before limiting %.4f, gain %.3f, peak %.4f (%.2f dBFS)\n", rms, gain, peak,
              20.0 * std::log10(peak));
}
