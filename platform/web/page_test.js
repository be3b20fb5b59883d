// What the page built for the browser tests adds to the shipped one, loaded
// before the page's own script: the program's test arguments from the query
// (seed, driven clock, a carried file to spoil), the launcher preset from the
// query, the frame timing for tools/web_bench.sh (bench=1), the errors the
// page threw, and window.zyntraxTest.
"use strict";
(function () {
  var query = new URLSearchParams(location.search);
  var args = [];
  ["seed", "clock", "spoil"].forEach(function (name) {
    if (query.has(name)) args.push("--" + name + "=" + query.get(name));
  });
  var errors = window.zyntraxErrors = [];
  window.addEventListener("error", function (e) { errors.push(String(e.message)); });
  window.addEventListener("unhandledrejection", function (e) { errors.push(String(e.reason)); });

  // The launcher's controls preset from the query, then Launch pressed.
  function preset() {
    var mode = document.getElementById("mode"), volume = document.getElementById("volume");
    var mute = document.getElementById("mute");
    if (!mode) return;
    if (query.has("mode")) { mode.selectedIndex = Number(query.get("mode")); mode.dispatchEvent(new Event("change")); }
    if (query.has("volume")) { volume.value = query.get("volume"); volume.dispatchEvent(new Event("input")); }
    if (query.has("mute")) { mute.checked = query.get("mute") === "1"; mute.dispatchEvent(new Event("change")); }
    if (query.get("autolaunch") === "1") document.getElementById("launch").click();
  }

  // bench=1 keeps the time of each step (and of presenting its frame); with
  // bench.advance set, the driven clock moves on by each frame's interval.
  var bench = query.get("bench") === "1" ? (window.zyntraxBench = {frames: [], advance: false}) : null;
  if (bench) document.addEventListener("click", function () { bench.clickAt = performance.now(); }, true);
  function benchStep(now) {
    if (bench.advance && bench.lastRaf !== undefined) Module._zyntrax_test_advance(Math.round(now - bench.lastRaf));
    bench.lastRaf = now;
    var t0 = performance.now();
    Module.zyntraxPresentMs = 0;
    Module._zyntrax_frame();
    var t1 = performance.now();
    if (Module._zyntrax_in_show()) {
      if (bench.firstShowFrame === undefined) bench.firstShowFrame = t1;
      var s = JSON.parse(Module.UTF8ToString(Module._zyntrax_test_state()));
      bench.frames.push({at: t0, raf: now, ms: t1 - t0, presentMs: Module.zyntraxPresentMs, row: s.row});
    }
  }

  function base64Of(bytes) {
    var parts = [];
    for (var i = 0; i < bytes.length; i += 0x8000)
      parts.push(String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000)));
    return btoa(parts.join(""));
  }

  // CRC-32 (the zlib one) of the 16-bit interleaved PCM the last voice was
  // given, read back from its AudioBuffer (value / 32768 is exact in float).
  function musicCrc() {
    var a = Module.zyntraxAudio, last = a && a.last;
    if (!last) return "0";
    var table = new Uint32Array(256);
    for (var n = 0; n < 256; n++) {
      var c = n;
      for (var k = 0; k < 8; k++) c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
      table[n] = c >>> 0;
    }
    var channels = [];
    for (var ch = 0; ch < last.channels; ch++) channels.push(last.buffer.getChannelData(ch));
    var crc = 0xFFFFFFFF;
    for (var i = 0; i < last.frames; i++) {
      for (ch = 0; ch < last.channels; ch++) {
        var v = Math.round(channels[ch][i] * 32768) & 0xFFFF;
        crc = table[(crc ^ v) & 0xFF] ^ (crc >>> 8);
        crc = table[(crc ^ (v >>> 8)) & 0xFF] ^ (crc >>> 8);
      }
    }
    return String((crc ^ 0xFFFFFFFF) >>> 0);
  }

  // Where the music stands: ms played of the last voice started, -1 when none plays.
  function musicMs() {
    var a = Module.zyntraxAudio;
    if (!a || !a.voices.length || a.playedFrom === undefined) return -1;
    return (a.context.currentTime - a.playedFrom) * 1000;
  }

  function testInterface() {
    return {
      state: function () {
        var s = JSON.parse(Module.UTF8ToString(Module._zyntrax_test_state()));
        s.dialogs = (Module.zyntraxMessages || []).map(function (m) { return {title: m.title, text: m.text}; });
        var last = Module.zyntraxAudio && Module.zyntraxAudio.last;
        s.music = last ? {started: true, sampleRate: last.sampleRate, channels: last.channels,
                          frames: last.frames, volume: last.volume, playedMs: musicMs()}
                       : {started: false, sampleRate: 0, channels: 0, frames: 0, volume: 0, playedMs: -1};
        s.audioState = Module.zyntraxAudio ? Module.zyntraxAudio.context.state : "none";
        return JSON.stringify(s);
      },
      enterShowAt: function (ms) { return Module._zyntrax_test_enter_show_at(ms); },
      paintFrame: function () { Module._zyntrax_test_paint_frame(); },
      frameBase64: function () {
        var p = Module._malloc(12);
        var pixels = Module._zyntrax_test_frame(p, p + 4, p + 8);
        var w = Module.HEAP32[p >> 2], h = Module.HEAP32[(p >> 2) + 1], stride = Module.HEAP32[(p >> 2) + 2];
        Module._free(p);
        if (!pixels) return "";
        var bytes = new Uint8Array(w * h * 4);
        for (var y = 0; y < h; y++)
          bytes.set(Module.HEAPU8.subarray(pixels + y * stride, pixels + y * stride + w * 4), y * w * 4);
        return base64Of(bytes);
      },
      advance: function (ms) { Module._zyntrax_test_advance(ms); return true; },
      // The page's visibility handler, as a hidden or shown tab drives it.
      setHidden: function (hidden) {
        Module.zyntraxLife.testHidden = !!hidden;
        Module._zyntrax_follow_page();
        return true;
      },
      crash: function () { Module._zyntrax_test_crash(); return true; },
      errors: function () { return errors.join("\n"); },
      musicCrc: musicCrc
    };
  }

  window.zyntraxPageHooks = {
    arguments: args,
    step: bench ? benchStep : null,
    ready: function () {
      window.zyntraxTest = testInterface();
      preset();
    }
  };
})();
