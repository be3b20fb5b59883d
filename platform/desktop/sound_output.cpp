// The sound output on the desktop, SDL's audio device: the 64 voice slots,
// the mixing callback that marks a voice finished at the end of its sound,
// and the idle watchdog that closes the device after ten silent seconds.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/sound_output.h"
#ifdef ZYNTRAX_TEST_HOOKS
#include "platform/test_hooks.h"
#endif

namespace {
constexpr int VOICE_COUNT = 64;
constexpr int OUTPUT_RATE = 48000;
constexpr int OUTPUT_CHANNELS = 2;
constexpr int MIX_FRAMES = 512;           // frames mixed per pass of the callback
constexpr int FEED_FRAMES = 4096;         // frames handed to a converter at a time
constexpr int64_t WATCHDOG_WAKE_MS = 2000;
constexpr int64_t IDLE_STOP_MS = 10000;

struct VoiceSlot {
  bool inUse = false;
  bool finished = false;
  int soundId = -1;
  int flags = 0;  // looping is never asked for
  std::shared_ptr<const PcmSound> sound;
  size_t position = 0;               // next sample of sound->samples to play
  float gain = 1.0f;
  SDL_AudioStream* convert = nullptr;  // only when the sound is not in the output format
  bool flushed = false;
};

// deviceLock orders opening and closing the device (main thread, watchdog);
// voiceLock guards the slots (main thread, mixing callback). When both are
// needed deviceLock comes first, and voiceLock is never held while the device
// closes, since closing waits for the callback.
std::mutex deviceLock;
std::mutex voiceLock;
VoiceSlot voices[VOICE_COUNT];
SDL_AudioDeviceID device = 0;

std::thread watchdog;
std::mutex watchdogLock;
std::condition_variable watchdogWake;
bool watchdogQuit = false;
std::atomic<bool> watchdogDriven{false};
int64_t idleSince = -1;

// SDL's resampler keeps the last few hundred input frames back even when
// flushed, so 50 ms of silence goes in after the sound to push its tail out.
void FinishFeeding(VoiceSlot& voice) {
  static const int16_t silence[FEED_FRAMES] = {};
  size_t left = size_t(voice.sound->sampleRate / 20) * size_t(voice.sound->channels);
  while (left > 0) {
    size_t count = std::min(left, size_t(FEED_FRAMES));
    if (SDL_AudioStreamPut(voice.convert, silence, int(count * 2)) != 0) break;
    left -= count;
  }
  SDL_AudioStreamFlush(voice.convert);
  voice.flushed = true;
}

// Copies up to `frames` frames of the voice's sound, in the output format, into
// out; returns the frames written and marks the voice finished at the end.
int PullVoice(VoiceSlot& voice, int16_t* out, int frames) {
  const std::vector<int16_t>& samples = voice.sound->samples;
  int got = 0;
  if (!voice.convert) {
    size_t left = (samples.size() - voice.position) / OUTPUT_CHANNELS;
    got = int(std::min<size_t>(left, size_t(frames)));
    std::memcpy(out, samples.data() + voice.position, size_t(got) * OUTPUT_CHANNELS * 2);
    voice.position += size_t(got) * OUTPUT_CHANNELS;
    if (voice.position >= samples.size()) voice.finished = true;
    return got;
  }
  int wanted = frames * OUTPUT_CHANNELS * 2;
  int channels = voice.sound->channels;
  while (SDL_AudioStreamAvailable(voice.convert) < wanted && !voice.flushed) {
    size_t count = std::min(samples.size() - voice.position, size_t(FEED_FRAMES) * size_t(channels));
    if (count > 0 && SDL_AudioStreamPut(voice.convert, samples.data() + voice.position, int(count * 2)) != 0)
      count = samples.size() - voice.position;  // a converter that fails ends the sound
    voice.position += count;
    if (voice.position >= samples.size()) FinishFeeding(voice);
  }
  int bytes = SDL_AudioStreamGet(voice.convert, out, wanted);
  got = bytes > 0 ? bytes / (OUTPUT_CHANNELS * 2) : 0;
  if (voice.flushed && (bytes < 0 || SDL_AudioStreamAvailable(voice.convert) < OUTPUT_CHANNELS * 2))
    voice.finished = true;
  return got;
}

void MixCallback(void*, Uint8* stream, int len) {
  int16_t* out = reinterpret_cast<int16_t*>(stream);
  int totalFrames = len / (OUTPUT_CHANNELS * 2);
  float mix[MIX_FRAMES * OUTPUT_CHANNELS];
  int16_t pulled[MIX_FRAMES * OUTPUT_CHANNELS];
  std::lock_guard<std::mutex> hold(voiceLock);
  for (int done = 0; done < totalFrames; done += MIX_FRAMES) {
    int frames = std::min(MIX_FRAMES, totalFrames - done);
    std::fill(mix, mix + frames * OUTPUT_CHANNELS, 0.0f);
    for (VoiceSlot& voice : voices) {
      if (!voice.inUse || voice.finished) continue;
      int got = PullVoice(voice, pulled, frames);
      for (int i = 0; i < got * OUTPUT_CHANNELS; i++) mix[i] += float(pulled[i]) * voice.gain;
      // The end of the sound frees its slot; the next play releases the rest.
      if (voice.finished) voice.inUse = false;
    }
    int16_t* dest = out + done * OUTPUT_CHANNELS;
    for (int i = 0; i < frames * OUTPUT_CHANNELS; i++)
      dest[i] = int16_t(std::clamp(std::nearbyint(mix[i]), -32768.0f, 32767.0f));
  }
}

// With deviceLock held.
bool OpenDevice() {
  SDL_AudioSpec want{};
  want.freq = OUTPUT_RATE;
  want.format = AUDIO_S16SYS;
  want.channels = OUTPUT_CHANNELS;
  want.samples = 1024;
  want.callback = MixCallback;
  // No changes allowed: SDL converts to whatever the hardware takes.
  device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  if (device != 0) SDL_PauseAudioDevice(device, 0);
  idleSince = -1;
  return device != 0;
}

// With deviceLock held, voiceLock not held.
void CloseDevice() {
  if (device != 0) SDL_CloseAudioDevice(device);
  device = 0;
}

// Releases what a finished or abandoned slot still holds. With voiceLock held.
void ReleaseVoice(VoiceSlot& voice) {
  if (voice.convert) SDL_FreeAudioStream(voice.convert);
  voice = VoiceSlot();
}

bool AnyVoiceInUse() {
  std::lock_guard<std::mutex> hold(voiceLock);
  for (const VoiceSlot& voice : voices)
    if (voice.inUse) return true;
  return false;
}

void WatchdogCheck(int64_t nowMs) {
  std::lock_guard<std::mutex> hold(deviceLock);
  if (device == 0 || AnyVoiceInUse()) {
    idleSince = -1;
  } else if (idleSince < 0) {
    idleSince = nowMs;
  } else if (nowMs - idleSince > IDLE_STOP_MS) {
    CloseDevice();
    idleSince = -1;
  }
}

void WatchdogLoop() {
  std::unique_lock<std::mutex> hold(watchdogLock);
  while (!watchdogWake.wait_for(hold, std::chrono::milliseconds(WATCHDOG_WAKE_MS),
                                [] { return watchdogQuit; })) {
    if (watchdogDriven) continue;
    hold.unlock();
    WatchdogCheck(int64_t(SDL_GetTicks64()));
    hold.lock();
  }
}
}  // namespace

bool StartEngine() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  // The dummy driver discards everything: as good as no device at all.
  const char* driver = SDL_GetCurrentAudioDriver();
  bool opened = false;
  if (driver && std::strcmp(driver, "dummy") != 0) {
    std::lock_guard<std::mutex> hold(deviceLock);
    opened = OpenDevice();
  }
  if (!opened) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  watchdogQuit = false;
  watchdogDriven = false;
  watchdog = std::thread(WatchdogLoop);
  return true;
}

void StopEngine() {
  {
    std::lock_guard<std::mutex> hold(watchdogLock);
    watchdogQuit = true;
  }
  watchdogWake.notify_all();
  if (watchdog.joinable()) watchdog.join();
  {
    std::lock_guard<std::mutex> hold(deviceLock);
    CloseDevice();
  }
  {
    std::lock_guard<std::mutex> hold(voiceLock);
    for (VoiceSlot& voice : voices) ReleaseVoice(voice);
  }
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int PlayVoice(int id, std::shared_ptr<const PcmSound> sound, double percent) {
  if (!sound || sound->channels <= 0 || sound->sampleRate <= 0) return 0;
  std::lock_guard<std::mutex> holdDevice(deviceLock);
  int slot = -1;
  {
    std::lock_guard<std::mutex> hold(voiceLock);
    for (int i = 0; i < VOICE_COUNT && slot < 0; i++)
      if (!voices[i].inUse) slot = i;
    if (slot < 0) return 0;
    ReleaseVoice(voices[slot]);
  }
  if (device == 0 && !OpenDevice()) return 0;
  SDL_AudioStream* convert = nullptr;
  if (sound->channels != OUTPUT_CHANNELS || sound->sampleRate != OUTPUT_RATE) {
    convert = SDL_NewAudioStream(AUDIO_S16SYS, Uint8(sound->channels), sound->sampleRate,
                                 AUDIO_S16SYS, OUTPUT_CHANNELS, OUTPUT_RATE);
    if (!convert) return 0;
  }
  std::lock_guard<std::mutex> hold(voiceLock);
  VoiceSlot& voice = voices[slot];
  voice.soundId = id;
  voice.sound = std::move(sound);
  voice.convert = convert;
  voice.gain = float(percent / 100.0);
  voice.inUse = true;
  return 1;
}

void SetVoiceVolume(int id, double percent) {
  std::lock_guard<std::mutex> hold(voiceLock);
  for (VoiceSlot& voice : voices)
    if (voice.inUse && voice.soundId == id) voice.gain = float(percent / 100.0);
}

#ifdef ZYNTRAX_TEST_HOOKS
int TestVoicesInUse() {
  std::lock_guard<std::mutex> hold(voiceLock);
  int count = 0;
  for (const VoiceSlot& voice : voices) count += voice.inUse ? 1 : 0;
  return count;
}

int TestDeviceRunning() {
  std::lock_guard<std::mutex> hold(deviceLock);
  return device != 0 ? 1 : 0;
}

void TestWatchdogCheck(int64_t nowMs) {
  watchdogDriven = true;
  WatchdogCheck(nowMs);
}
#endif
