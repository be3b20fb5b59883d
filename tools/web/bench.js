// The web page's frame times in headless Chromium, per timeline row: the frame
// function (performance.now around it, presenting included), the part of it
// that presents (byte reorder and canvas put), and the interval between animation frames.
// Then the Launch click to the first frame of the show.
//   node tools/web/bench.js URL [SECONDS_PER_ROW] [ROW,ROW...]    (URL of index.html)
"use strict";
const { launch } = require("./devtools.js");

const ROWS = [17000, 6000, 1700, 7300, 11700, 2300, 16500, 6500, 8000, 4000,
              11000, 4000, 10500, 4000, 7500, 4000, 14500, 11000, 6000, 220000];

function percentile(values, p) {
  if (!values.length) return NaN;
  const v = [...values].sort((a, b) => a - b);
  return v[Math.min(v.length - 1, Math.floor(v.length * p))];
}
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function benchRows(browser, url, seconds, only) {
  const tab = await browser.open(url + "?test=1&bench=1&mute=1&seed=1&clock=0");
  if (!(await tab.waitFor("!!window.zyntraxTest", 60000))) throw new Error("the page did not load");
  const worst = { median: 0, p95: 0 };
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
}

// Windowed, music on: the click on Launch to the first show frame.
async function benchLaunch(browser, url) {
  const tab = await browser.open(url + "?test=1&bench=1");
  if (!(await tab.waitFor("!!window.zyntraxTest", 60000))) throw new Error("the page did not load");
  await tab.eval(`(() => { const m = document.getElementById("mode"); m.selectedIndex = 0;
                           m.dispatchEvent(new Event("change")); return 1; })()`);
  await sleep(300);
  const box = await tab.eval(`(() => { const r = document.getElementById("launch").getBoundingClientRect();
                                       return [r.x + r.width / 2, r.y + r.height / 2]; })()`);
  await tab.click(box[0], box[1]);
  if (!(await tab.waitFor("zyntraxBench.firstShowFrame !== undefined", 60000))) throw new Error("no show frame");
  const ms = await tab.eval("zyntraxBench.firstShowFrame - zyntraxBench.clickAt");
  const music = JSON.parse(await tab.eval("zyntraxTest.state()")).music;
  console.log(`Launch click to first show frame: ${ms.toFixed(0)} ms (windowed, music ${music.started ? "on" : "off"})`);
}

(async () => {
  const url = process.argv[2];
  const seconds = Number(process.argv[3] || 4);
  const only = process.argv[4] ? process.argv[4].split(",").map(Number) : null;
  const browser = await launch(1920, 1080);
  try {
    await benchRows(browser, url, seconds, only);
    await benchLaunch(browser, url);
  } finally {
    await browser.close();
  }
})().catch((e) => {
  console.error("web_bench: " + e.message);
  process.exit(1);
});
