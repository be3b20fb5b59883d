// The pitched instruments of the track: detuned saw bass, wide pads, the chip
// arpeggio and the lead in three timbres (saw, chip square, soft). Each note
// renders on its own into the song's buses; the envelopes bring every note in
// and out from zero.
#include <cmath>

#include "tools/music/music.h"

namespace {
// Start phases differ per note and are the same on every run.
Noise phaseNoise(0x5EED1234u);
float RandomPhase() { return (phaseNoise.Next() + 1.0f) * 0.5f; }

float Wrap(float phase) { return phase >= 1.0f ? phase - 1.0f : phase; }

float Cents(float cents) { return std::exp2(cents / 1200.0f); }
}  // namespace

void BassNote(Song& song, int64_t frame, int64_t frames, int note, float velocity, float cutoff) {
  const Envelope env{0.003f, 0.18f, 0.7f, 0.03f};
  const float gate = (float)frames / SAMPLE_RATE;
  const int64_t total = env.Frames(gate);
  const float hz = MidiToHz((float)note);
  const float d0 = hz / SAMPLE_RATE, d1 = d0 * Cents(7.0f), ds = d0 * 0.5f;
  float p0 = RandomPhase(), p1 = RandomPhase(), ps = 0.0f;
  Svf filter;
  for (int64_t n = 0; n < total; ++n) {
    float t = (float)n / SAMPLE_RATE;
    if ((n & 15) == 0) filter.Set(cutoff * (1.0f + 3.0f * std::exp(-t / 0.07f)), 1.1f);
    float x = SawWave(p0, d0) * 0.5f + SawWave(p1, d1) * 0.5f + PulseWave(ps, ds, 0.5f) * 0.45f;
    p0 = Wrap(p0 + d0);
    p1 = Wrap(p1 + d1);
    ps = Wrap(ps + ds);
    filter.Process(x);
    float v = filter.low * env.At(t, gate) * velocity;
    song.bass.Add(frame + n, v, v);
  }
}

void PadNote(Song& song, int64_t frame, int64_t frames, int note, float velocity, float cutoff) {
  const Envelope env{0.35f, 1.0f, 1.0f, 0.9f};
  const float gate = (float)frames / SAMPLE_RATE;
  const int64_t total = env.Frames(gate);
  const float hz = MidiToHz((float)note) / SAMPLE_RATE;
  const float detune[4] = {-11.0f, 11.0f, -4.0f, 5.0f};
  float dt[4], phase[4];
  for (int i = 0; i < 4; ++i) {
    dt[i] = hz * Cents(detune[i]);
    phase[i] = RandomPhase();
  }
  Svf fl, fr;
  fl.Set(cutoff, 0.8f);
  fr.Set(cutoff * 1.04f, 0.8f);
  for (int64_t n = 0; n < total; ++n) {
    float t = (float)n / SAMPLE_RATE;
    float w[4];
    for (int i = 0; i < 4; ++i) {
      w[i] = SawWave(phase[i], dt[i]);
      phase[i] = Wrap(phase[i] + dt[i]);
    }
    fl.Process(w[0] + w[2]);
    fr.Process(w[1] + w[3]);
    float g = env.At(t, gate) * velocity;
    song.pads.Add(frame + n, fl.low * g, fr.low * g);
    song.reverbSend.Add(frame + n, fl.low * g * 0.4f, fr.low * g * 0.4f);
  }
}

void ArpNote(Song& song, int64_t frame, int64_t frames, int note, float velocity, float pan,
             float cutoff) {
  const Envelope env{0.002f, 0.09f, 0.15f, 0.03f};
  const float gate = (float)frames / SAMPLE_RATE;
  const int64_t total = env.Frames(gate);
  const float dt = MidiToHz((float)note) / SAMPLE_RATE;
  float phase = 0.0f;
  Svf filter;
  filter.Set(cutoff, 1.5f);
  const float gl = PanLeft(pan), gr = PanRight(pan);
  for (int64_t n = 0; n < total; ++n) {
    float t = (float)n / SAMPLE_RATE;
    filter.Process(PulseWave(phase, dt, 0.25f) * 0.8f + SawWave(phase, dt) * 0.2f);
    phase = Wrap(phase + dt);
    float v = filter.low * env.At(t, gate) * velocity;
    song.arp.Add(frame + n, v * gl, v * gr);
    song.reverbSend.Add(frame + n, v * gl * 0.25f, v * gr * 0.25f);
  }
}

void LeadNote(Song& song, int64_t frame, int64_t frames, int note, float glideFrom,
              float velocity, float pan, LeadTimbre timbre) {
  static const Envelope envs[3] = {
      {0.006f, 0.35f, 0.7f, 0.12f}, {0.003f, 0.2f, 0.6f, 0.06f}, {0.04f, 0.6f, 0.8f, 0.35f}};
  const Envelope& env = envs[timbre];
  const float gate = (float)frames / SAMPLE_RATE;
  const int64_t total = env.Frames(gate);
  const float vibratoDepth = timbre == LEAD_CHIP ? 0.3f : 0.18f;
  const float gl = PanLeft(pan), gr = PanRight(pan);
  float pa = RandomPhase(), pb = RandomPhase(), pc = 0.0f;
  float da = 0.0f, db = 0.0f, dc = 0.0f;
  Svf fa, fb;
  for (int64_t n = 0; n < total; ++n) {
    float t = (float)n / SAMPLE_RATE;
    if ((n & 15) == 0) {
      float ramp = std::fmin(std::fmax((t - 0.2f) / 0.3f, 0.0f), 1.0f);
      float pitch = (float)note + (glideFrom - (float)note) * std::exp(-t / 0.018f) +
                    vibratoDepth * ramp * std::sin(6.28318531f * 5.5f * t);
      float hz = MidiToHz(pitch) / SAMPLE_RATE;
      da = hz * Cents(-9.0f);
      db = hz * Cents(9.0f);
      dc = hz;
      float cutoff = timbre == LEAD_SAW    ? 1500.0f + 4500.0f * std::exp(-t / 0.3f)
                     : timbre == LEAD_CHIP ? 9000.0f
                                           : 900.0f + 600.0f * std::exp(-t / 0.5f);
      fa.Set(cutoff, timbre == LEAD_SAW ? 1.2f : 0.7f);
      fb.Set(cutoff, timbre == LEAD_SAW ? 1.2f : 0.7f);
    }
    float a, b;
    if (timbre == LEAD_CHIP) {
      float width = 0.4f + 0.1f * std::sin(6.28318531f * 0.7f * t);
      a = b = PulseWave(pc, dc, width) * 0.6f;
    } else if (timbre == LEAD_SAW) {
      float sq = PulseWave(pc, dc, 0.5f) * 0.3f;
      a = SawWave(pa, da) + sq;
      b = SawWave(pb, db) + sq;
    } else {
      float s = std::sin(6.28318531f * pc);
      a = SawWave(pa, da) * 0.5f + s;
      b = SawWave(pb, db) * 0.5f + s;
    }
    pa = Wrap(pa + da);
    pb = Wrap(pb + db);
    pc = Wrap(pc + dc);
    fa.Process(a);
    fb.Process(b);
    float g = env.At(t, gate) * velocity;
    float l = fa.low * g * gl, r = fb.low * g * gr;
    song.lead.Add(frame + n, l, r);
    song.reverbSend.Add(frame + n, l * 0.3f, r * 0.3f);
  }
}
