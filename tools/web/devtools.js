// A headless Chromium driven through the DevTools protocol over its pipe
// (--remote-debugging-pipe: file descriptors 3 and 4, messages ended by NUL):
// open a page, evaluate script in it, take screenshots. For the web benchmark.
"use strict";
const { spawn } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");

async function launch(width, height, extraArgs) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "zyntrax-chromium-"));
  const args = ["--headless=new", "--no-sandbox", "--disable-gpu", "--remote-debugging-pipe",
                "--no-first-run", "--no-default-browser-check", "--autoplay-policy=no-user-gesture-required",
                `--user-data-dir=${profile}`, `--window-size=${width},${height}`, ...(extraArgs || []), "about:blank"];
  const child = spawn(process.env.CHROMIUM || "chromium", args, { stdio: ["ignore", "ignore", "pipe", "pipe", "pipe"] });
  child.stderr.on("data", () => {});
  const out = child.stdio[3], input = child.stdio[4];
  let nextId = 1, buffered = "";
  const waiting = new Map(), listeners = [];
  input.on("data", (chunk) => {
    buffered += chunk.toString("utf8");
    let end;
    while ((end = buffered.indexOf("\0")) >= 0) {
      const message = JSON.parse(buffered.slice(0, end));
      buffered = buffered.slice(end + 1);
      if (message.id && waiting.has(message.id)) {
        const { resolve, reject } = waiting.get(message.id);
        waiting.delete(message.id);
        if (message.error) reject(new Error(JSON.stringify(message.error)));
        else resolve(message.result);
      } else {
        listeners.forEach((l) => l(message));
      }
    }
  });
  const send = (method, params, sessionId) => new Promise((resolve, reject) => {
    const id = nextId++;
    waiting.set(id, { resolve, reject });
    out.write(JSON.stringify({ id, method, params: params || {}, sessionId }) + "\0");
  });
  const browser = {
    child,
    send,
    onEvent: (l) => listeners.push(l),
    async close() {
      // Chromium may be gone before it answers: wait a moment at most.
      await Promise.race([send("Browser.close").catch(() => {}), new Promise((r) => setTimeout(r, 2000))]);
      child.kill();
      await new Promise((r) => setTimeout(r, 200));
      try { fs.rmSync(profile, { recursive: true, force: true }); } catch (e) { /* chromium still writing */ }
    },
    // A new tab on url; returns { eval, screenshot, session }.
    async open(url) {
      const { targetId } = await send("Target.createTarget", { url: "about:blank" });
      const { sessionId } = await send("Target.attachToTarget", { targetId, flatten: true });
      const console = [];
      listeners.push((m) => {
        if (m.sessionId === sessionId && m.method === "Runtime.consoleAPICalled")
          console.push(m.params.args.map((a) => a.value).join(" "));
        if (m.sessionId === sessionId && m.method === "Runtime.exceptionThrown")
          console.push("exception: " + JSON.stringify(m.params.exceptionDetails.exception || m.params.exceptionDetails.text));
      });
      await send("Runtime.enable", {}, sessionId);
      await send("Page.enable", {}, sessionId);
      await send("Emulation.setDeviceMetricsOverride", { width, height, deviceScaleFactor: 1, mobile: false }, sessionId);
      await send("Page.navigate", { url }, sessionId);
      const tab = {
        sessionId,
        console,
        async eval(expression) {
          const r = await send("Runtime.evaluate", { expression, awaitPromise: true, returnByValue: true,
                                                     userGesture: true }, sessionId);
          if (r.exceptionDetails) throw new Error("page: " + JSON.stringify(r.exceptionDetails));
          return r.result.value;
        },
        async waitFor(expression, ms) {
          const until = Date.now() + ms;
          while (Date.now() < until) {
            try { if (await tab.eval(expression)) return true; } catch (e) { /* not loaded yet */ }
            await new Promise((r) => setTimeout(r, 100));
          }
          return false;
        },
        async screenshot(file) {
          const r = await send("Page.captureScreenshot", { format: "png" }, sessionId);
          fs.writeFileSync(file, Buffer.from(r.data, "base64"));
        },
        async click(x, y) {
          for (const type of ["mousePressed", "mouseReleased"])
            await send("Input.dispatchMouseEvent", { type, x, y, button: "left", clickCount: 1 }, sessionId);
        },
      };
      return tab;
    },
  };
  return browser;
}

module.exports = { launch };
