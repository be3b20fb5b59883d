// The music generator's shared pieces: the song's fixed timing, the stereo buses
// the instruments render into, the small synthesis helpers and the steps that
// take the score to an Ogg Vorbis file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

constexpr int SAMPLE_RATE = 48000;
constexpr int FRAMES_PER_BEAT = 22500;                 // 128 beats a minute
constexpr int FRAMES_PER_STEP = FRAMES_PER_BEAT / 4;   // a sixteenth note
constexpr int FRAMES_PER_BAR = FRAMES_PER_BEAT * 4;
constexpr int SONG_BARS = 100;
constexpr int64_t SONG_FRAMES = (int64_t)FRAMES_PER_BAR * SONG_BARS;  // 187.5 s

// One stereo track of the whole song, in float.
struct Bus {
  std::vector<float> left, right;
  Bus() : left(SONG_FRAMES), right(SONG_FRAMES) {}
  void Add(int64_t frame, float l, float r) {
    if (frame < 0 || frame >= SONG_FRAMES) return;
    left[frame] += l;
    right[frame] += r;
  }
};

// Everything the score renders; the mixdown turns it into the master.
struct Song {
  Bus drums, bass, pads, arp, lead, fx;
  Bus reverbSend;
  std::vector<int64_t> kicks;  // start frames of every kick, for the pumping
};

// ---- synthesis helpers ----
float MidiToHz(float note);
float PanLeft(float pan);   // constant-power gains, pan -1 (left) .. 1 (right)
float PanRight(float pan);

// Deterministic white noise in -1..1 (xorshift).
struct Noise {
  uint32_t state;
  explicit Noise(uint32_t seed) : state(seed ? seed : 1u) {}
  float Next();
};

// Band-limited oscillators on a 0..1 phase.
float SawWave(float phase, float dt);
float PulseWave(float phase, float dt, float width);

// Trapezoidal state-variable filter; Process fills low, band and high.
struct Svf {
  float ic1 = 0, ic2 = 0, a1 = 1, a2 = 0, a3 = 0, k = 1;
  float low = 0, band = 0, high = 0;
  void Set(float hz, float q);
  void Process(float x);
};

// Attack, exponential decay towards sustain while the gate is held, then a
// linear release to exactly zero. Times in seconds.
struct Envelope {
  float attack, decay, sustain, release;
  float Held(float t) const;
  float At(float t, float gate) const;
  int64_t Frames(float gate) const { return (int64_t)((gate + release) * SAMPLE_RATE); }
};

// ---- instruments (instruments.cpp, drums.cpp) ----
void Kick(Song& song, int64_t frame, float velocity);
void Snare(Song& song, int64_t frame, float velocity);
void Hat(Song& song, int64_t frame, float velocity, bool open);
void Crash(Song& song, int64_t frame, float velocity);
void Riser(Song& song, int64_t frame, int64_t frames, float velocity);
void BassNote(Song& song, int64_t frame, int64_t frames, int note, float velocity, float cutoff);
void PadNote(Song& song, int64_t frame, int64_t frames, int note, float velocity, float cutoff);
void ArpNote(Song& song, int64_t frame, int64_t frames, int note, float velocity, float pan, float cutoff);

enum LeadTimbre { LEAD_SAW, LEAD_CHIP, LEAD_SOFT };
void LeadNote(Song& song, int64_t frame, int64_t frames, int note, float glideFrom,
              float velocity, float pan, LeadTimbre timbre);

// ---- song, mix and file ----
void ComposeSong(Song& song);                         // score.cpp
constexpr float CEILING = 0.76f;  // limiter output peak, about -2.4 dBFS before encoding
void Limit(std::vector<float>& left, std::vector<float>& right);
void MixDown(Song& song, std::vector<float>& master); // interleaved stereo
bool WriteOggVorbis(const std::string& path, const std::vector<float>& master, float quality);
