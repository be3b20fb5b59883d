// The sound output in a web page: WebAudio. A record plays once as an
// AudioBuffer at its own rate (the browser resamples it to its output) through
// a gain node at the linear volume. The audio context starts on the page's
// first click or key press, the gesture browsers require before sound.
#include <emscripten.h>

#include <algorithm>

#include "audio/sound_internal.h"
#include "platform/sound_output.h"

// Module.zyntraxAudio: the context, the playing voices by sound id, and what
// the last voice was given (rate, channels, frames, gain).
EM_JS(int, JsAudioStart, (), {
  var Context = window.AudioContext || window.webkitAudioContext;
  if (!Context) return 0;
  var a = Module.zyntraxAudio;
  if (!a) {
    try {
      a = Module.zyntraxAudio = {context: new Context(), voices: [], last: null};
    } catch (e) {
      return 0;
    }
    var wake = function() {
      if (a.context.state === "suspended") a.context.resume().catch(function() {});
    };
    document.addEventListener("click", wake, true);
    document.addEventListener("keydown", wake, true);
  }
  a.last = null;
  return 1;
});

EM_JS(void, JsAudioStop, (), {
  var a = Module.zyntraxAudio;
  if (!a) return;
  a.voices.forEach(function(v) {
    try { v.source.stop(); } catch (e) {}
    v.source.disconnect();
  });
  a.voices = [];
  a.last = null;
});

// samples: frames x channels interleaved 16-bit values. The AudioBuffer made
// from them is kept: the same decoded record played again (the next launch)
// reuses it. A context still suspended is resumed: the music must really play.
EM_JS(int, JsAudioPlay, (int id, const int16_t* samples, int frames, int channels, int rate, double gain), {
  var a = Module.zyntraxAudio;
  if (!a || frames <= 0) return 0;
  var buffer, kept = a.kept;
  if (kept && kept.samples === samples && kept.frames === frames && kept.channels === channels && kept.rate === rate) {
    buffer = kept.buffer;
  } else {
    a.kept = null;
    try {
      buffer = a.context.createBuffer(channels, frames, rate);
    } catch (e) {
      return 0;
    }
    var base = samples >> 1;
    for (var c = 0; c < channels; c++) {
      var out = buffer.getChannelData(c);
      for (var i = 0, at = base + c; i < frames; i++, at += channels) out[i] = HEAP16[at] / 32768;
    }
    a.kept = {samples: samples, frames: frames, channels: channels, rate: rate, buffer: buffer};
  }
  if (a.context.state !== "running") a.context.resume().catch(function() {});
  var source = a.context.createBufferSource();
  var volume = a.context.createGain();
  source.buffer = buffer;
  volume.gain.value = gain;
  source.connect(volume);
  volume.connect(a.context.destination);
  var voice = {id: id, source: source, gain: volume};
  source.onended = function() {
    var at = a.voices.indexOf(voice);
    if (at >= 0) a.voices.splice(at, 1);
  };
  a.voices.push(voice);
  a.startedAt = performance.now();
  a.playedFrom = a.context.currentTime;
  a.ran = a.context.state === "running";
  source.start();
  a.last = {buffer: buffer, sampleRate: rate, channels: channels, frames: frames, volume: gain};
  return 1;
});

EM_JS(void, JsAudioVolume, (int id, double gain), {
  var a = Module.zyntraxAudio;
  if (!a) return;
  a.voices.forEach(function(v) {
    if (v.id === id) v.gain.gain.value = gain;
  });
  if (a.last) a.last.volume = gain;
});

bool StartEngine() { return JsAudioStart() != 0; }

void StopEngine() { JsAudioStop(); }

int PlayVoice(int id, const std::shared_ptr<SoundRecord>& sound) {
  if (!sound || sound->channels <= 0 || sound->sampleRate <= 0) return 0;
  int frames = (int)std::min<size_t>(sound->samples.size() / (size_t)sound->channels, 0x7FFFFFFF);
  return JsAudioPlay(id, sound->samples.data(), frames, sound->channels, sound->sampleRate, sound->volume / 100.0);
}

void SetVoiceVolume(int id, double percent) { JsAudioVolume(id, percent / 100.0); }
