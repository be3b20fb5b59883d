// The page's life against the show's clock: a hidden tab suspends the audio
// context and holds the clock; an audio context that stops running under
// playing music (an interruption, an output device going) holds it too. On
// release the clock moves on by what the music played meanwhile, so the rows
// and the music stay in step.
#include <emscripten.h>

#include "platform/platform.h"
#include "platform/web/page.h"

// Returns -1 while the clock should stand, the catch-up in ms on the step that
// releases it, and -2 when nothing changes. Music that has not started after
// 3 s (a page with no way to play sound) is stopped: the show goes on silent.
EM_JS(double, JsPageLife, (), {
  var life = Module.zyntraxLife;
  if (!life) {
    life = Module.zyntraxLife = {held: false, hidden: false, testHidden: false, suspendedByUs: false,
                                 audioAt: 0, lastResume: 0};
    var follow = function() { if (Module._zyntrax_follow_page) Module._zyntrax_follow_page(); };
    document.addEventListener("visibilitychange", follow);
    life.follow = follow;
  }
  var a = Module.zyntraxAudio;
  if (a && !a.watched) {
    a.watched = true;
    a.context.addEventListener("statechange", life.follow);
  }
  life.hidden = document.hidden || life.testHidden;
  var now = performance.now();
  var playing = !!(a && a.voices.length);
  if (a && life.hidden && a.context.state === "running") {
    life.suspendedByUs = true;
    a.context.suspend().catch(function() {});
  } else if (a && !life.hidden && a.context.state !== "running" && a.context.state !== "closed" &&
             (playing || life.suspendedByUs) && now - life.lastResume > 250) {
    life.lastResume = now;
    life.suspendedByUs = false;
    a.context.resume().catch(function() {});
  }
  if (playing && a.context.state === "running") a.ran = true;
  if (playing && !a.ran && !life.hidden && now - a.startedAt > 3000) {
    a.voices.forEach(function(v) { try { v.source.stop(); } catch (e) {} });
    a.voices = [];
    playing = false;
  }
  var hold = life.hidden || (playing && a.context.state !== "running");
  if (hold) {
    if (!life.held) {
      life.held = true;
      life.audioAt = playing ? a.context.currentTime : -1;
    }
    return -1;
  }
  if (!life.held) return -2;
  life.held = false;
  if (!playing || life.audioAt < 0) return 0;
  return Math.max(0, (a.context.currentTime - life.audioAt) * 1000);
});

void FollowPageLife() {
  const double step = JsPageLife();
  if (step == -1) HoldClock();
  else if (step >= 0) ReleaseClock((int64_t)(step + 0.5));
}

extern "C" EMSCRIPTEN_KEEPALIVE void zyntrax_follow_page() { FollowPageLife(); }
