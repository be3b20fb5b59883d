// The web page's frame times per timeline row, in headless Chromium, headless
// Firefox, and Chromium with its CPU four times slower (DevTools' CPU
// throttling, the way a phone runs it): the frame function (performance.now
// around it, presenting included), the part of it that presents (byte
// reorder and canvas put), and the interval between animation frames. Then
// the Launch click to the first frame of the show.
//   node tools/web/bench.js URL [SECONDS_PER_ROW] [ROW,ROW...]    (URL of the test page's index.html)
"use strict";
const devtools = require("./devtools.js");
const marionette = require("./marionette.js");

const ROWS = [17000, 6000, 1700, 7300, 11700, 2300, 16500, 6500, 8000, 4000,
              11000, 4000, 10500, 4000, 7500, 4000, 14500, 11000, 6000, 220000];

function percentile(values, p) {
  if (!values.length) return NaN;
  const v = [...values].sort((a, b) => a - b);
  return v[Math.min(v.length - 1, Math.floor(v.length * p))];
}
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function benchRows(browser, url, seconds, only, throttle) {
  const tab = await browser.open(url + "?bench=1&mute=1&seed=1&clock=0");
  if (!(await tab.waitFor("!!window.zyntraxTest", 60000))) throw new Error("the page did not load");
  if (throttle) await browser.send("Emulation.setCPUThrottlingRate", { rate: throttle }, tab.sessionId);
  const worst = { median: 0, p95: 0 };
  const keeps = [];
  let start = 0;
  for (let row = 0; row < ROWS.length; start += ROWS[row], row++) {
    if (only && !only.includes(row)) continue;
    // As make_bench does: past the row's entrance, for as long as the row lasts.
    const from = start + Math.min(ROWS[row] / 2, 1000);
    const until = Math.min(start + ROWS[row] - 1, from + seconds * 1000);
    await tab.eval(`(() => { zyntraxBench.advance = false; zyntraxTest.enterShowAt(${from});
                             zyntraxBench.frames = []; zyntraxBench.advance = true; return 1; })()`);
    while (true) {
      const s = JSON.parse(await tab.eval("zyntraxTest.state()"));
      if (s.elapsedMs >= until || s.row !== row) break;
      await sleep(100);
    }
    const frames = (await tab.eval("zyntraxBench.frames")).filter((f) => f.row === row);
    const ms = frames.map((f) => f.ms), present = frames.map((f) => f.presentMs);
    const raf = [];
    for (let i = 1; i < frames.length; i++) raf.push(frames[i].raf - frames[i - 1].raf);
    const r = { median: percentile(ms, 0.5), p95: percentile(ms, 0.95) };
    const rafP95 = percentile(raf, 0.95);
    if (percentile(raf, 0.5) < 17.5 && rafP95 < 20) keeps.push(row);
    worst.median = Math.max(worst.median, r.median);
    worst.p95 = Math.max(worst.p95, r.p95);
    console.log(`row ${String(row).padStart(2)}: frames ${String(frames.length).padStart(4)}  frame median ` +
                `${r.median.toFixed(2).padStart(6)} ms  p95 ${r.p95.toFixed(2).padStart(6)} ms  ` +
                `present ${percentile(present, 0.5).toFixed(2).padStart(5)} ms  ` +
                `rAF interval median ${percentile(raf, 0.5).toFixed(2).padStart(6)} ms  ` +
                `p95 ${percentile(raf, 0.95).toFixed(2).padStart(6)} ms`);
  }
  console.log(`worst row: frame median ${worst.median.toFixed(2)} ms, p95 ${worst.p95.toFixed(2)} ms ` +
              `(targets 10 and 16.7 ms)`);
  console.log(`rows at 60 Hz (animation-frame interval median < 17.5 ms, p95 < 20 ms): ${keeps.join(" ") || "none"}`);
}

// Windowed, music on: the click on Launch to the first show frame; then
// Escape and Launch again (the track already decoded).
async function benchLaunch(browser, url) {
  const tab = await browser.open(url + "?bench=1");
  if (!(await tab.waitFor("!!window.zyntraxTest", 60000))) throw new Error("the page did not load");
  await tab.eval(`(() => { const m = document.getElementById("mode"); m.selectedIndex = 0;
                           m.dispatchEvent(new Event("change")); return 1; })()`);
  for (const which of ["first", "second"]) {
    await sleep(300);
    const box = await tab.eval(`(() => { const r = document.getElementById("launch").getBoundingClientRect();
                                         return [r.x + r.width / 2, r.y + r.height / 2]; })()`);
    await tab.eval("(() => { zyntraxBench.firstShowFrame = undefined; return 1; })()");
    await tab.click(box[0], box[1]);
    if (!(await tab.waitFor("zyntraxBench.firstShowFrame !== undefined", 60000))) throw new Error("no show frame");
    const ms = await tab.eval("zyntraxBench.firstShowFrame - zyntraxBench.clickAt");
    const music = JSON.parse(await tab.eval("zyntraxTest.state()")).music;
    console.log(`Launch click to first show frame, ${which} launch: ${ms.toFixed(0)} ms ` +
                `(windowed, music ${music.started ? "on" : "off"})`);
    await tab.eval(`(() => { window.dispatchEvent(new KeyboardEvent("keydown", {key: "Escape"})); return 1; })()`);
    if (!(await tab.waitFor("!!document.getElementById('launch')", 10000))) throw new Error("no launcher after Escape");
  }
}

(async () => {
  const url = process.argv[2];
  const seconds = Number(process.argv[3] || 4);
  const only = process.argv[4] ? process.argv[4].split(",").map(Number) : null;
  const runs = [
    { name: "headless Chromium", start: () => devtools.launch(1920, 1080) },
    { name: "headless Firefox", start: () => marionette.launch(1920, 1080) },
    { name: "headless Chromium, CPU 4x slower", start: () => devtools.launch(1920, 1080), throttle: 4 },
  ];
  for (const run of runs) {
    console.log(`== ${run.name}, ${seconds} s per row`);
    const browser = await run.start();
    try {
      await benchRows(browser, url, seconds, only, run.throttle);
      if (!run.throttle) await benchLaunch(browser, url);
    } finally {
      await browser.close();
    }
  }
})().catch((e) => {
  console.error("web_bench: " + e.message);
  process.exit(1);
});
