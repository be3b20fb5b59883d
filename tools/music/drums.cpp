// The drum kit and the noise effects: sine-sweep kick, noise snare, hats,
// crash cymbal and the filtered-noise riser of the build-ups. Every hit starts
// with a short ramp and ends with a fade to zero so nothing clicks.
#include <cmath>

#include "tools/music/music.h"

namespace {
constexpr float TWO_PI = 6.28318531f;

// 0 -> 1 over the first rampIn frames, 1 -> 0 over the last rampOut frames.
float Edges(int64_t n, int64_t total, int64_t rampIn, int64_t rampOut) {
  float g = 1.0f;
  if (n < rampIn) g = (float)n / (float)rampIn;
  int64_t left = total - n;
  if (left < rampOut) g *= (float)left / (float)rampOut;
  return g;
}

uint32_t hitCount = 0;  // gives every hit its own noise, the same on every run
uint32_t NextSeed() { return 0x9E3779B9u * ++hitCount; }
}  // namespace

void Kick(Song& song, int64_t frame, float velocity) {
  song.kicks.push_back(frame);
  const int64_t total = SAMPLE_RATE * 45 / 100;
  Noise noise(NextSeed());
  Svf click;
  click.Set(3000.0f, 0.7f);
  float phase = 0.0f;
  for (int64_t n = 0; n < total; ++n) {
    float t = (float)n / SAMPLE_RATE;
    float hz = 46.0f + 120.0f * std::exp(-t / 0.032f) + 40.0f * std::exp(-t / 0.006f);
    phase += hz / SAMPLE_RATE;
    if (phase >= 1.0f) phase -= 1.0f;
    float body = std::sin(TWO_PI * phase) * std::exp(-t / 0.30f);
    click.Process(noise.Next());
    float v = std::tanh(1.8f * body) * 0.82f + click.low * std::exp(-t / 0.004f) * 0.35f;
    v *= velocity * Edges(n, total, 24, 960);
    song.drums.Add(frame + n, v, v);
  }
}

void Snare(Song& song, int64_t frame, float velocity) {
  const int64_t total = SAMPLE_RATE * 35 / 100;
  Noise noise(NextSeed());
  Svf body;
  body.Set(1900.0f, 0.6f);
  float p1 = 0.0f, p2 = 0.0f;
  for (int64_t n = 0; n < total; ++n) {
    float t = (float)n / SAMPLE_RATE;
    p1 += (185.0f + 60.0f * std::exp(-t / 0.01f)) / SAMPLE_RATE;
    p2 += 330.0f / SAMPLE_RATE;
    p1 -= std::floor(p1);
    p2 -= std::floor(p2);
    float tone = std::sin(TWO_PI * p1) * std::exp(-t / 0.05f) * 0.5f +
                 std::sin(TWO_PI * p2) * std::exp(-t / 0.03f) * 0.25f;
    body.Process(noise.Next());
    float rattle = (body.high * 0.45f + body.band * 0.3f) * std::exp(-t / 0.13f);
    float v = (tone + rattle) * velocity * Edges(n, total, 48, 960);
    song.drums.Add(frame + n, v * 0.95f, v);
    song.reverbSend.Add(frame + n, v * 0.35f, v * 0.35f);
  }
}

void Hat(Song& song, int64_t frame, float velocity, bool open) {
  const float decay = open ? 0.20f : 0.032f;
  const int64_t total = (int64_t)(SAMPLE_RATE * (open ? 0.45f : 0.10f));
  Noise noise(NextSeed());
  Svf hp, bp;
  hp.Set(7200.0f, 0.8f);
  bp.Set(10500.0f, 1.5f);
  for (int64_t n = 0; n < total; ++n) {
    float t = (float)n / SAMPLE_RATE;
    float x = noise.Next();
    hp.Process(x);
    bp.Process(x);
    float v = (hp.high * 0.3f + bp.band * 0.25f) * std::exp(-t / decay);
    v *= velocity * Edges(n, total, 24, 480);
    song.drums.Add(frame + n, v * 0.8f, v);
  }
}

void Crash(Song& song, int64_t frame, float velocity) {
  const int64_t total = SAMPLE_RATE * 3;
  Noise nl(NextSeed()), nr(NextSeed());
  Svf fl, fr;
  fl.Set(4200.0f, 0.7f);
  fr.Set(4400.0f, 0.7f);
  for (int64_t n = 0; n < total; ++n) {
    float t = (float)n / SAMPLE_RATE;
    fl.Process(nl.Next());
    fr.Process(nr.Next());
    float g = (std::exp(-t / 0.9f) * 0.4f + std::exp(-t / 0.05f) * 0.2f) * velocity *
              Edges(n, total, 48, 4800);
    song.drums.Add(frame + n, fl.high * g, fr.high * g);
    song.reverbSend.Add(frame + n, fl.high * g * 0.3f, fr.high * g * 0.3f);
  }
}

void Riser(Song& song, int64_t frame, int64_t frames, float velocity) {
  Noise nl(NextSeed()), nr(NextSeed());
  Svf fl, fr;
  for (int64_t n = 0; n < frames; ++n) {
    float x = (float)n / (float)frames;
    if ((n & 31) == 0) {
      float hz = 300.0f * std::pow(30.0f, x);
      fl.Set(hz, 2.5f);
      fr.Set(hz * 1.05f, 2.5f);
    }
    fl.Process(nl.Next());
    fr.Process(nr.Next());
    float g = x * x * velocity * Edges(n, frames, 480, 2400);
    song.fx.Add(frame + n, fl.band * g, fr.band * g);
    song.reverbSend.Add(frame + n, fl.band * g * 0.5f, fr.band * g * 0.5f);
  }
}
