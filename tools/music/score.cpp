// The composition: 100 bars in A minor at 128 BPM. A one-bar swell, then
// eight-bar phrases (intro, build-up, drop, groove, breakdown, build-up, drop,
// breakdown and build-up, final drop) and a three-bar ending on A minor. The
// phrases start on bars 1, 9, 17, ... so that they meet the show's scene changes.
#include "tools/music/music.h"

namespace {
struct Chord {
  int root;      // bass note
  int tones[3];  // pad voicing
};
constexpr Chord AM{33, {57, 60, 64}}, FM{29, {57, 60, 65}}, CM{36, {55, 60, 64}},
    GM{31, {55, 59, 62}}, EM{28, {55, 59, 64}};
constexpr Chord MAIN[4] = {AM, FM, CM, GM};   // i - VI - III - VII
constexpr Chord BREAK[4] = {FM, GM, EM, AM};  // VI - VII - v - i

bool InBreakdown(int bar) { return (bar >= 41 && bar <= 48) || (bar >= 73 && bar <= 76); }

Chord ChordAt(int bar) {
  if (bar == 0 || bar >= 97) return AM;
  return InBreakdown(bar) ? BREAK[(bar - 1) & 3] : MAIN[(bar - 1) & 3];
}

int64_t At(int bar, int step) { return (int64_t)bar * FRAMES_PER_BAR + (int64_t)step * FRAMES_PER_STEP; }

// What plays in a run of bars. Cutoffs glide linearly from the first bar to the last.
enum { KICK_NONE, KICK_ONE, KICK_FOUR };
enum { HATS_NONE, HATS_SOFT, HATS_BUILD, HATS_FULL };
enum { BASS_NONE, BASS_WHOLE, BASS_EIGHTHS, BASS_OCTAVES, BASS_SIXTEENTHS };
struct Section {
  int first, last;
  int kick, hats, bass;
  bool backbeat;
  float bassCutFrom, bassCutTo;
  float padVelocity, padCutFrom, padCutTo;
  float arpVelocity, arpCutFrom, arpCutTo;
};

constexpr Section SECTIONS[] = {
    // bars    kick        hats        bass            snare  bass cut      pads               arp
    {0, 0, KICK_NONE, HATS_NONE, BASS_NONE, false, 0, 0, 0.6f, 1200, 1400, 0, 0, 0},
    {1, 4, KICK_NONE, HATS_NONE, BASS_NONE, false, 0, 0, 0.8f, 1400, 2000, 0.6f, 500, 1200},
    {5, 8, KICK_NONE, HATS_SOFT, BASS_WHOLE, false, 250, 300, 0.8f, 2000, 2600, 0.7f, 1200, 2500},
    {9, 12, KICK_FOUR, HATS_BUILD, BASS_EIGHTHS, false, 400, 700, 0.8f, 2600, 2600, 0.7f, 2500, 3200},
    {13, 16, KICK_FOUR, HATS_BUILD, BASS_EIGHTHS, true, 700, 1000, 0.8f, 2600, 2600, 0.7f, 3200, 4000},
    {17, 32, KICK_FOUR, HATS_FULL, BASS_OCTAVES, true, 900, 900, 0.75f, 3200, 3200, 0.5f, 4000, 4000},
    {33, 40, KICK_FOUR, HATS_FULL, BASS_SIXTEENTHS, true, 1100, 1100, 0.7f, 3000, 3000, 0.85f, 5000, 5000},
    {41, 46, KICK_NONE, HATS_NONE, BASS_WHOLE, false, 220, 220, 1.0f, 1800, 1800, 0.4f, 1200, 1200},
    {47, 48, KICK_NONE, HATS_BUILD, BASS_WHOLE, false, 220, 400, 1.0f, 1800, 2200, 0.5f, 1200, 2500},
    {49, 52, KICK_FOUR, HATS_BUILD, BASS_EIGHTHS, false, 500, 800, 0.8f, 2200, 2700, 0.7f, 1500, 3500},
    {53, 56, KICK_FOUR, HATS_BUILD, BASS_EIGHTHS, true, 800, 1200, 0.8f, 2700, 3200, 0.7f, 3500, 6000},
    {57, 72, KICK_FOUR, HATS_FULL, BASS_OCTAVES, true, 900, 900, 0.75f, 3200, 3200, 0.55f, 4000, 4000},
    {73, 76, KICK_ONE, HATS_NONE, BASS_WHOLE, false, 250, 250, 1.0f, 2000, 2000, 0.45f, 1500, 1500},
    {77, 80, KICK_FOUR, HATS_BUILD, BASS_EIGHTHS, false, 500, 1300, 0.8f, 2500, 3500, 0.7f, 2000, 6500},
    {81, 96, KICK_FOUR, HATS_FULL, BASS_OCTAVES, true, 950, 950, 0.75f, 3400, 3400, 0.6f, 4200, 4200},
};

float Glide(const Section& s, int bar, float from, float to) {
  if (s.last == s.first) return from;
  return from + (to - from) * (float)(bar - s.first) / (float)(s.last - s.first);
}

// Bars whose last beat drops out before the final drop.
bool IsGap(int bar, int step) { return bar == 80 && step >= 12; }

// ---- drums ----
int crashBars[] = {17, 25, 33, 41, 49, 57, 65, 73, 81, 89};
struct Roll { int bar, every; float from, to; };  // snare roll: a hit every `every` steps
constexpr Roll ROLLS[] = {{8, 1, 0.08f, 0.45f}, {15, 2, 0.3f, 0.5f}, {16, 1, 0.5f, 1.0f},
                          {47, 2, 0.25f, 0.5f}, {48, 1, 0.5f, 1.0f}, {55, 2, 0.3f, 0.5f},
                          {56, 1, 0.5f, 1.0f},  {79, 2, 0.3f, 0.55f}, {80, 1, 0.55f, 1.0f}};
struct Rise { int bar, bars; float velocity; };
constexpr Rise RISERS[] = {{0, 1, 0.25f}, {8, 1, 0.5f}, {15, 2, 0.7f}, {47, 2, 0.7f},
                           {55, 2, 0.7f}, {77, 4, 0.85f}};

const Roll* RollIn(int bar) {
  for (const Roll& r : ROLLS)
    if (r.bar == bar) return &r;
  return nullptr;
}

void DrumBar(Song& song, const Section& s, int bar) {
  const Roll* roll = RollIn(bar);
  const bool fill = s.hats == HATS_FULL && bar % 8 == 0;
  for (int step = 0; step < 16; ++step) {
    if (IsGap(bar, step)) continue;
    int64_t f = At(bar, step);
    if (step % 4 == 0 && (s.kick == KICK_FOUR || (s.kick == KICK_ONE && step == 0))) Kick(song, f, 1.0f);
    if (roll) {
      if (step % roll->every == 0) Snare(song, f, roll->from + (roll->to - roll->from) * step / 15.0f);
    } else if (s.backbeat && (step == 4 || step == 12)) {
      Snare(song, f, 0.9f);
    } else if (fill && step >= 13) {
      Snare(song, f, 0.35f + 0.15f * (step - 12));
    }
    bool offbeat = step % 4 == 2;
    switch (s.hats) {
      case HATS_SOFT: Hat(song, f, offbeat ? 0.2f : 0.1f, false); break;
      case HATS_BUILD: Hat(song, f, offbeat ? 0.45f : 0.15f, false); break;
      case HATS_FULL:
        if (step == 14 && bar % 2 == 1) Hat(song, f, 0.4f, true);
        else Hat(song, f, offbeat ? 0.6f : 0.2f, false);
        break;
    }
  }
}

// ---- bass, pads, arpeggio ----
void BassBar(Song& song, const Section& s, int bar) {
  const int root = ChordAt(bar).root;
  const float cut = Glide(s, bar, s.bassCutFrom, s.bassCutTo);
  const int64_t eighth = FRAMES_PER_STEP * 2;
  switch (s.bass) {
    case BASS_WHOLE: BassNote(song, At(bar, 0), FRAMES_PER_BAR - 1440, root, 0.9f, cut); break;
    case BASS_EIGHTHS:
    case BASS_OCTAVES:
      for (int i = 0; i < 8; ++i) {
        if (IsGap(bar, i * 2)) break;
        int note = s.bass == BASS_OCTAVES && i % 2 == 1 ? root + 12 : root;
        BassNote(song, At(bar, i * 2), eighth * 8 / 10, note, i % 2 ? 1.0f : 0.85f, cut);
      }
      break;
    case BASS_SIXTEENTHS: {
      static const int offset[4] = {0, 0, 12, 0};
      static const float velocity[4] = {1.0f, 0.6f, 0.9f, 0.6f};
      for (int step = 0; step < 16; ++step)
        BassNote(song, At(bar, step), FRAMES_PER_STEP * 7 / 10, root + offset[step % 4],
                 velocity[step % 4], cut);
      break;
    }
  }
}

void PadBar(Song& song, const Section& s, int bar) {
  const Chord c = ChordAt(bar);
  const float cut = Glide(s, bar, s.padCutFrom, s.padCutTo);
  const int64_t gate = bar == 80 ? FRAMES_PER_BEAT * 3 : FRAMES_PER_BAR;
  for (int tone : c.tones) PadNote(song, At(bar, 0), gate, tone, s.padVelocity * 0.22f, cut);
  PadNote(song, At(bar, 0), gate, c.tones[0] + 12, s.padVelocity * 0.12f, cut);
}

void ArpBar(Song& song, const Section& s, int bar) {
  static const int pattern[10] = {0, 1, 2, 3, 4, 5, 4, 3, 2, 1};
  const Chord c = ChordAt(bar);
  const int notes[6] = {c.tones[0] + 12, c.tones[1] + 12, c.tones[2] + 12,
                        c.tones[0] + 24, c.tones[1] + 24, c.tones[2] + 24};
  const float cut = Glide(s, bar, s.arpCutFrom, s.arpCutTo);
  for (int step = 0; step < 16; ++step) {
    if (IsGap(bar, step)) break;
    int index = pattern[(bar * 16 + step) % 10];
    float accent = step % 4 == 0 ? 1.0f : 0.75f;
    ArpNote(song, At(bar, step), FRAMES_PER_STEP * 6 / 10, notes[index], s.arpVelocity * 0.8f * accent,
            step % 2 ? 0.45f : -0.45f, cut);
  }
}

// ---- lead melodies: four bars each, in sixteenth steps ----
struct Tone { int step, length, note; };
using Phrase = std::vector<Tone>;
const Phrase HOOK = {{0, 3, 76},  {3, 3, 76},  {6, 2, 74},  {8, 4, 76},  {12, 4, 72}, {16, 3, 72},
                     {19, 3, 69}, {22, 2, 72}, {24, 8, 74}, {32, 3, 76}, {35, 3, 79}, {38, 2, 76},
                     {40, 4, 74}, {44, 4, 72}, {48, 4, 71}, {52, 4, 74}, {56, 2, 71}, {58, 6, 67}};
const Phrase HOOK_ANSWER = {{0, 3, 76},  {3, 3, 76},  {6, 2, 74},  {8, 4, 76},  {12, 4, 72},
                            {16, 3, 72}, {19, 3, 69}, {22, 2, 72}, {24, 8, 74}, {32, 3, 76},
                            {35, 3, 79}, {38, 2, 81}, {40, 4, 79}, {44, 4, 76}, {48, 4, 74},
                            {52, 4, 71}, {56, 2, 74}, {58, 6, 76}};
const Phrase RUN = {{0, 2, 81},  {2, 2, 79},  {4, 2, 76},  {6, 2, 81},  {8, 2, 79},  {10, 2, 76},
                    {12, 2, 74}, {14, 2, 76}, {16, 2, 72}, {18, 2, 69}, {20, 2, 72}, {22, 4, 77},
                    {26, 2, 76}, {28, 2, 72}, {30, 2, 69}, {32, 2, 79}, {34, 2, 76}, {36, 2, 72},
                    {38, 2, 79}, {40, 2, 76}, {42, 2, 72}, {44, 2, 74}, {46, 2, 76}, {48, 3, 74},
                    {51, 3, 71}, {54, 2, 67}, {56, 4, 71}, {60, 4, 74}};
Phrase RunAnswer() {
  Phrase p(RUN.begin(), RUN.begin() + 23);
  p.insert(p.end(), {{48, 3, 74}, {51, 3, 76}, {54, 2, 79}, {56, 8, 81}});
  return p;
}
const Phrase RUN_ANSWER = RunAnswer();
const Phrase FLOAT = {{0, 6, 72},  {6, 2, 69},  {8, 4, 72},  {12, 4, 77}, {16, 6, 74},
                      {22, 2, 71}, {24, 4, 74}, {28, 4, 79}, {32, 6, 76}, {38, 2, 74},
                      {40, 4, 76}, {44, 4, 79}, {48, 12, 81}, {60, 2, 79}, {62, 2, 76}};

// Moves a note of A natural minor by whole scale degrees.
int ScaleShift(int note, int degrees) {
  static const bool inScale[12] = {1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1};
  int step = degrees < 0 ? -1 : 1;
  for (int moved = 0; moved != degrees; moved += step) {
    note += step;
    while (!inScale[note % 12]) note += step;
  }
  return note;
}

struct Part { int transpose, degrees; float velocity, pan; LeadTimbre timbre; };

void Play(Song& song, int bar, const Phrase& phrase, const Part& part) {
  int previous = -1, previousEnd = -1;
  for (const Tone& t : phrase) {
    int note = ScaleShift(t.note, part.degrees) + part.transpose;
    float from = previousEnd == t.step ? (float)previous : (float)note;
    LeadNote(song, At(bar, t.step), (int64_t)t.length * FRAMES_PER_STEP * 92 / 100, note, from,
             part.velocity, part.pan, part.timbre);
    previous = note;
    previousEnd = t.step + t.length;
  }
}

constexpr Part MAIN_SAW{0, 0, 0.6f, 0.0f, LEAD_SAW};
constexpr Part HARMONY{0, -2, 0.32f, 0.4f, LEAD_SAW};
constexpr Part CHIP{0, 0, 0.45f, 0.0f, LEAD_CHIP};
constexpr Part CHIP_HIGH{12, 0, 0.2f, -0.4f, LEAD_CHIP};
constexpr Part SOFT{0, 0, 0.55f, 0.0f, LEAD_SOFT};

void PlayLead(Song& song) {
  Play(song, 17, HOOK, MAIN_SAW);
  Play(song, 21, HOOK_ANSWER, MAIN_SAW);
  Play(song, 25, RUN, MAIN_SAW);
  Play(song, 29, RUN_ANSWER, MAIN_SAW);
  Play(song, 33, HOOK, CHIP);
  Play(song, 37, HOOK_ANSWER, CHIP);
  Play(song, 41, FLOAT, SOFT);
  Play(song, 45, FLOAT, SOFT);
  for (int bar : {57, 81}) {
    for (const Part* p : {&MAIN_SAW, &HARMONY}) {
      Play(song, bar, HOOK, *p);
      Play(song, bar + 4, HOOK_ANSWER, *p);
    }
  }
  for (int bar : {65, 89}) {
    for (const Part* p : {&MAIN_SAW, &HARMONY, &CHIP_HIGH}) {
      Play(song, bar, RUN, *p);
      Play(song, bar + 4, RUN_ANSWER, *p);
    }
  }
  Play(song, 81, HOOK, CHIP_HIGH);
  Play(song, 85, HOOK_ANSWER, CHIP_HIGH);
  Play(song, 73, FLOAT, SOFT);
}

// The last three bars: one more hit, the tonic chord held and a falling arpeggio.
void PlayEnding(Song& song) {
  const int64_t start = At(97, 0);
  Kick(song, start, 1.0f);
  Crash(song, start, 0.8f);
  BassNote(song, start, FRAMES_PER_BAR * 2, AM.root, 0.9f, 600.0f);
  for (int tone : AM.tones) PadNote(song, start, FRAMES_PER_BAR * 2, tone, 0.22f, 2600.0f);
  PadNote(song, start, FRAMES_PER_BAR * 2, AM.tones[0] + 12, 0.12f, 2600.0f);
  for (int note : {69, 76, 81}) LeadNote(song, start, FRAMES_PER_BAR, note, note, 0.35f, 0.0f, LEAD_SOFT);
  static const int fall[8] = {93, 88, 84, 81, 76, 72, 69, 64};
  for (int i = 0; i < 16; ++i)
    ArpNote(song, At(97, i * 2), FRAMES_PER_STEP, fall[i % 8] - (i >= 8 ? 12 : 0),
            0.45f * (1.0f - i / 18.0f), i % 2 ? 0.5f : -0.5f, 3000.0f);
}
}  // namespace

void ComposeSong(Song& song) {
  for (const Section& s : SECTIONS) {
    for (int bar = s.first; bar <= s.last; ++bar) {
      DrumBar(song, s, bar);
      BassBar(song, s, bar);
      PadBar(song, s, bar);
      if (s.arpVelocity > 0.0f) ArpBar(song, s, bar);
    }
  }
  for (int bar : crashBars) Crash(song, At(bar, 0), bar == 41 || bar == 73 ? 0.5f : 0.8f);
  for (const Rise& r : RISERS) Riser(song, At(r.bar, 0), (int64_t)r.bars * FRAMES_PER_BAR, r.velocity);
  PlayLead(song);
  PlayEnding(song);
}
