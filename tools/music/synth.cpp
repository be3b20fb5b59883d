// Synthesis building blocks of the music generator: pitch, panning, noise,
// band-limited oscillators, the state-variable filter and the envelopes.
#include <cmath>

#include "tools/music/music.h"

float MidiToHz(float note) { return 440.0f * std::exp2((note - 69.0f) / 12.0f); }

float PanLeft(float pan) { return std::cos((pan + 1.0f) * 0.25f * 3.14159265f); }
float PanRight(float pan) { return std::sin((pan + 1.0f) * 0.25f * 3.14159265f); }

float Noise::Next() {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return (float)(state >> 8) * (2.0f / 16777216.0f) - 1.0f;
}

// Smooths the step of a discontinuous wave over one sample on each side.
static float PolyBlep(float t, float dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0f;
  }
  if (t > 1.0f - dt) {
    t = (t - 1.0f) / dt;
    return t * t + t + t + 1.0f;
  }
  return 0.0f;
}

float SawWave(float phase, float dt) { return 2.0f * phase - 1.0f - PolyBlep(phase, dt); }

float PulseWave(float phase, float dt, float width) {
  float v = phase < width ? 1.0f : -1.0f;
  v += PolyBlep(phase, dt);
  float shifted = phase + 1.0f - width;
  if (shifted >= 1.0f) shifted -= 1.0f;
  v -= PolyBlep(shifted, dt);
  return v - (2.0f * width - 1.0f);  // no offset, so short notes do not thump
}

void Svf::Set(float hz, float q) {
  if (hz > SAMPLE_RATE * 0.45f) hz = SAMPLE_RATE * 0.45f;
  if (hz < 10.0f) hz = 10.0f;
  float g = std::tan(3.14159265f * hz / SAMPLE_RATE);
  k = 1.0f / q;
  a1 = 1.0f / (1.0f + g * (g + k));
  a2 = g * a1;
  a3 = g * a2;
}

void Svf::Process(float x) {
  float v3 = x - ic2;
  float v1 = a1 * ic1 + a2 * v3;
  float v2 = ic2 + a2 * ic1 + a3 * v3;
  ic1 = 2.0f * v1 - ic1;
  ic2 = 2.0f * v2 - ic2;
  low = v2;
  band = v1;
  high = x - k * v1 - v2;
}

float Envelope::Held(float t) const {
  if (t < attack) return t / attack;
  return sustain + (1.0f - sustain) * std::exp(-(t - attack) / decay);
}

float Envelope::At(float t, float gate) const {
  if (t < 0.0f) return 0.0f;
  if (t < gate) return Held(t);
  float r = (t - gate) / release;
  if (r >= 1.0f) return 0.0f;
  return Held(gate) * (1.0f - r);
}
