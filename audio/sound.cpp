// The sound table with its lock and the public music operations: loading a
// file into a record, its volume, and starting it on the output engine.
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>

#include "audio/audio.h"
#include "audio/sound_internal.h"
#include "platform/platform.h"

namespace {
constexpr int MAX_SOUND_ID = 1023;
std::mutex soundTableLock;
std::vector<std::shared_ptr<SoundRecord>> soundTable(64);
bool engineRunning = false;

// The last track decoded, by its identifier and the bytes it came from: the
// same bytes loaded again into the same identifier (a web page launching its
// show once more) reuse the record instead of decoding it again. It outlives
// SoundShutdown, which the page goes through at every Escape.
struct DecodedTrack {
  int id = -1;
  std::string bytes;
  std::shared_ptr<SoundRecord> record;
};
DecodedTrack lastDecoded;

std::shared_ptr<SoundRecord> FindSound(int id) {
  std::lock_guard<std::mutex> hold(soundTableLock);
  if (id < 0 || size_t(id) >= soundTable.size()) return nullptr;
  return soundTable[size_t(id)];
}

double ClampPercent(double percent) {
  if (std::isnan(percent) || percent < 0) return 0;
  return percent > 100 ? 100 : percent;
}
}  // namespace

int SoundInit() {
  if (!engineRunning) engineRunning = StartEngine();
  return engineRunning ? 1 : 0;
}

namespace {
bool DecodeSoundBytes(const uint8_t* data, size_t size, SoundRecord& out) {
  return size >= 4 && std::memcmp(data, "RIFF", 4) == 0 ? DecodeWave(data, size, out) : DecodeVorbis(data, size, out);
}

bool DecodeSoundBytes(const std::string& bytes, SoundRecord& out) {
  return DecodeSoundBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out);
}
}  // namespace

bool DecodeSoundFile(const std::string& path, SoundRecord& out) {
  std::string bytes;
  return ReadWholeFile(path, bytes) && DecodeSoundBytes(bytes, out);
}

// A track too large to hold (an allocation that fails) is a failed decode.
int DecodeSoundFile(const std::string& path, std::vector<int16_t>& samples, int& channels, int& sampleRate) try {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return 0;
  return DecodeSoundBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), samples, channels, sampleRate);
} catch (const std::bad_alloc&) {
  return 0;
}

int DecodeSoundBytes(const uint8_t* bytes, size_t size, std::vector<int16_t>& samples, int& channels,
                     int& sampleRate) try {
  SoundRecord record;
  if (!DecodeSoundBytes(bytes, size, record)) return 0;
  samples = std::move(record.samples);
  channels = record.channels;
  sampleRate = record.sampleRate;
  return 1;
} catch (const std::bad_alloc&) {
  return 0;
}

// A track too large to hold (an allocation that fails) is a failed load.
int MusicLoad(int id, const std::string& path) try {
  if (!engineRunning || id < 0 || id > MAX_SOUND_ID) return 0;
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return 0;
  std::shared_ptr<SoundRecord> record;
  if (lastDecoded.record && lastDecoded.id == id && lastDecoded.bytes == bytes) {
    record = lastDecoded.record;
    record->volume = SoundRecord().volume;
  } else {
    record = std::make_shared<SoundRecord>();
    if (!DecodeSoundBytes(bytes, *record)) return 0;
    lastDecoded = DecodedTrack{id, std::move(bytes), record};
  }
  std::lock_guard<std::mutex> hold(soundTableLock);
  if (size_t(id) >= soundTable.size()) soundTable.resize(size_t(id) + 1);
  // A voice still playing the old record keeps its own reference to it.
  soundTable[size_t(id)] = std::move(record);
  return 1;
} catch (const std::bad_alloc&) {
  return 0;
}

int MusicSetVolume(int id, double percent) {
  if (!engineRunning) return 0;
  std::shared_ptr<SoundRecord> sound = FindSound(id);
  if (!sound) return 0;
  sound->volume = ClampPercent(percent);
  SetVoiceVolume(id, sound->volume);
  return 1;
}

int MusicPlay(int id) {
  if (!engineRunning) return 0;
  std::shared_ptr<SoundRecord> sound = FindSound(id);
  if (!sound) return 0;
  return PlayVoice(id, sound);
}

void SoundShutdown() {
  if (!engineRunning) return;
  engineRunning = false;
  StopEngine();
  std::lock_guard<std::mutex> hold(soundTableLock);
  for (std::shared_ptr<SoundRecord>& slot : soundTable) slot.reset();
}

int TestSoundInfo(int id, int* channels, int* sampleRate, int* bitsPerSample, double* volume) {
  std::shared_ptr<SoundRecord> sound = FindSound(id);
  if (!sound) return 0;
  *channels = sound->channels;
  *sampleRate = sound->sampleRate;
  *bitsPerSample = sound->bitsPerSample;
  *volume = sound->volume;
  return 1;
}

std::vector<int16_t> TestSoundSamples(int id) {
  std::shared_ptr<SoundRecord> sound = FindSound(id);
  return sound ? sound->samples : std::vector<int16_t>();
}
