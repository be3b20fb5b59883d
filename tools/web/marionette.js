// A headless Firefox driven over Marionette (length-prefixed JSON commands on
// a TCP socket; the port is read back from the private profile): open a page,
// evaluate script in it, click. For the web benchmark, beside devtools.js.
"use strict";
const { spawn } = require("child_process");
const fs = require("fs");
const net = require("net");
const os = require("os");
const path = require("path");

const PREFERENCES = [
  ["marionette.port", 0], ["media.autoplay.default", 0], ["app.update.disabledForTesting", true],
  ["browser.shell.checkDefaultBrowser", false], ["browser.startup.homepage_override.mstone", "ignore"],
  ["datareporting.policy.dataSubmissionEnabled", false], ["toolkit.telemetry.reportingpolicy.firstRun", false],
  ["network.captive-portal-service.enabled", false], ["network.connectivity-service.enabled", false],
  ["services.settings.server", "http://127.0.0.1:9/"],
];
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function launch(width, height) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), "zyntrax-firefox-"));
  const profile = path.join(folder, "profile");
  fs.mkdirSync(profile);
  fs.writeFileSync(path.join(profile, "user.js"),
                   PREFERENCES.map(([k, v]) => `user_pref(${JSON.stringify(k)}, ${JSON.stringify(v)});\n`).join(""));
  const child = spawn(process.env.FIREFOX || "firefox-esr",
                      ["--headless", "--marionette", "--no-remote", "--profile", profile, "about:blank"],
                      { stdio: "ignore", detached: true,
                        env: { ...process.env, HOME: folder, MOZ_HEADLESS_WIDTH: "2560", MOZ_HEADLESS_HEIGHT: "1600" } });
  const kill = () => { try { process.kill(-child.pid, "SIGKILL"); } catch (e) { /* gone */ } };
  process.on("exit", kill);
  let port = 0;
  for (let i = 0; i < 600 && !port; i++) {
    try { port = Number(fs.readFileSync(path.join(profile, "MarionetteActivePort"), "utf8")); } catch (e) { await sleep(100); }
  }
  if (!port) { kill(); throw new Error("firefox opened no Marionette port"); }
  const socket = net.connect(port, "127.0.0.1");
  let buffered = Buffer.alloc(0), nextId = 1, greeted;
  const waiting = new Map(), greeting = new Promise((r) => { greeted = r; });
  socket.on("data", (chunk) => {
    buffered = Buffer.concat([buffered, chunk]);
    while (true) {
      const colon = buffered.indexOf(":");
      if (colon < 0) return;
      const length = Number(buffered.subarray(0, colon).toString());
      if (buffered.length < colon + 1 + length) return;
      const message = JSON.parse(buffered.subarray(colon + 1, colon + 1 + length).toString("utf8"));
      buffered = buffered.subarray(colon + 1 + length);
      if (!Array.isArray(message)) { greeted(); continue; }
      const w = waiting.get(message[1]);
      if (!w) continue;
      waiting.delete(message[1]);
      if (message[2]) w.reject(new Error(message[2].error + ": " + message[2].message)); else w.resolve(message[3]);
    }
  });
  socket.on("error", () => {});
  const send = (name, params, ms = 120000) => new Promise((resolve, reject) => {
    const id = nextId++;
    const timer = setTimeout(() => { waiting.delete(id); reject(new Error(name + ": no answer")); }, ms);
    waiting.set(id, { resolve: (v) => { clearTimeout(timer); resolve(v); },
                      reject: (e) => { clearTimeout(timer); reject(e); } });
    const text = Buffer.from(JSON.stringify([0, id, name, params || {}]));
    socket.write(Buffer.concat([Buffer.from(text.length + ":"), text]));
  });
  await greeting;
  await send("WebDriver:NewSession", { capabilities: { alwaysMatch: { timeouts: { script: 300000 } } } });
  const tab = {
    async eval(expression) { return (await send("WebDriver:ExecuteScript", { script: `return (${expression});`, args: [] })).value; },
    async waitFor(expression, ms) {
      const until = Date.now() + ms;
      while (Date.now() < until) {
        try { if (await tab.eval(expression)) return true; } catch (e) { /* not loaded yet */ }
        await sleep(100);
      }
      return false;
    },
    async click(x, y) {
      await send("WebDriver:PerformActions", { actions: [{ type: "pointer", id: "mouse", parameters: { pointerType: "mouse" },
        actions: [{ type: "pointerMove", origin: "viewport", x: Math.round(x), y: Math.round(y) },
                  { type: "pointerDown", button: 0 }, { type: "pointerUp", button: 0 }] }] });
      await send("WebDriver:ReleaseActions", {});
    },
  };
  return {
    async open(url) {
      const bars = await tab.eval("[outerWidth - innerWidth, outerHeight - innerHeight]");
      await send("WebDriver:SetWindowRect", { width: width + bars[0], height: height + bars[1] });
      await send("WebDriver:Navigate", { url });
      return tab;
    },
    async close() {
      await Promise.race([send("Marionette:Quit", {}, 5000).catch(() => {}), sleep(5000)]);
      socket.destroy();
      kill();
      await sleep(300);
      try { fs.rmSync(folder, { recursive: true, force: true }); } catch (e) { /* firefox still writing */ }
    },
  };
}

module.exports = { launch };
