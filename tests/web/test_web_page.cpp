// The web build in headless Chromium, served from 127.0.0.1 by this process:
// the launcher and Launch, frames against the native renderer's, a spoiled
// carried picture, and the music handed to WebAudio.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>

#include "support/gl_display.h"
#include "web/devtools.h"
#include "web/file_server.h"
#include "web/marionette.h"
#include "web/native_show.h"
#include "web/page_tools.h"

namespace {
constexpr int LOAD_MS = 60000;  // page, wasm compile and the carried files written out

// The page built for the tests (with its test interface) and the shipped page,
// each served by this process, in Chromium; the tests of EveryBrowser also in Firefox.
class WebPage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    missing_ = MissingPageFiles();
    if (!missing_.empty()) return;
    server_ = std::make_unique<FileServer>();
    shipped_ = std::make_unique<FileServer>();
    // The servers stop by themselves after the test program's own limit.
    if (!server_->Start(WebPageFolder(), 900000, startError_) ||
        !shipped_->Start(ShippedPageFolder(), 900000, startError_))
      server_.reset();
  }
  static void TearDownTestSuite() {
    chromium_.reset();
    firefox_.reset();
    server_.reset();
    shipped_.reset();
  }
  virtual bool InFirefox() const { return false; }
  void SetUp() override {
    ASSERT_TRUE(missing_.empty()) << missing_;
    ASSERT_TRUE(server_) << "cannot serve the pages: " << startError_;
    std::string error;
    if (InFirefox() && !firefox_) {
      firefox_ = std::make_unique<Firefox>();
      if (!firefox_->Start(ZYNTRAX_FIREFOX, error)) firefox_.reset();
    } else if (!InFirefox() && !chromium_) {
      chromium_ = std::make_unique<Browser>();
      if (!chromium_->Start(ZYNTRAX_CHROMIUM, error)) chromium_.reset();
    }
    ASSERT_TRUE(InFirefox() ? !!firefox_ : !!chromium_) << "cannot start the browser: " << error;
  }

  std::unique_ptr<BrowserPage> NewPage() {
    if (InFirefox()) return std::make_unique<FirefoxPage>(*firefox_);
    return std::make_unique<Tab>(*chromium_);
  }

  // Opens the test page's index.html with query and waits for the test interface and the launcher.
  std::unique_ptr<BrowserPage> OpenPage(const std::string& query, std::string& error, int width = 1920,
                                        int height = 1080) {
    auto tab = NewPage();
    if (!tab->Open(server_->Url("/index.html?" + query), width, height, error)) return nullptr;
    if (!tab->WaitFor("!!(window.zyntraxTest && window.zyntraxTest.state)", LOAD_MS, error)) {
      error += "\n" + tab->ConsoleText();
      return nullptr;
    }
    return tab;
  }

  // Waits until state() satisfies test; the last state read is left in state.
  bool WaitForState(BrowserPage& tab, const std::function<bool(const JsonValue&)>& test, int timeoutMs,
                    JsonValue& state, std::string& error) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
      state = PageState(tab, error);
      if (state.kind == JsonValue::OBJECT && test(state)) return true;
      if (std::chrono::steady_clock::now() > until) {
        error = "the page's state did not come: " + error + " last state " + StateText(tab) + "\n" +
                tab.ConsoleText();
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  static std::string StateText(BrowserPage& tab) {
    std::string e;
    JsonValue v = tab.Eval("window.zyntraxTest ? window.zyntraxTest.state() : 'no test interface'", e);
    return v.kind == JsonValue::STRING ? v.text : e;
  }

  static std::unique_ptr<FileServer> server_, shipped_;
  static std::unique_ptr<Browser> chromium_;
  static std::unique_ptr<Firefox> firefox_;
  static std::string missing_, startError_;
};
std::unique_ptr<FileServer> WebPage::server_, WebPage::shipped_;
std::unique_ptr<Browser> WebPage::chromium_;
std::unique_ptr<Firefox> WebPage::firefox_;
std::string WebPage::missing_, WebPage::startError_;

class EveryBrowser : public WebPage, public ::testing::WithParamInterface<std::string> {
 protected:
  bool InFirefox() const override { return GetParam() == "firefox"; }
};

bool InShow(const JsonValue& s) { return s["screen"].Text() == "show"; }

// The frame as render/ holds it in the page, as 0x00RRGGBB words.
bool PageFrame(BrowserPage& tab, const std::string& expression, std::vector<uint32_t>& pixels, std::string& error) {
  JsonValue b64 = tab.Eval(expression, error, 60000);
  if (b64.kind != JsonValue::STRING) {
    if (error.empty()) error = "frameBase64() gave no string";
    return false;
  }
  std::vector<uint8_t> bytes;
  if (!DecodeBase64(b64.text, bytes)) {
    error = "frameBase64() is not base64";
    return false;
  }
  if (bytes.size() != 1920u * 1080u * 4u) {
    error = "frameBase64() holds " + std::to_string(bytes.size()) + " bytes, not 1920 x 1080 x 4";
    return false;
  }
  pixels.resize(1920u * 1080u);
  for (size_t i = 0; i < pixels.size(); i++)
    pixels[i] = (uint32_t)bytes[4 * i + 2] << 16 | (uint32_t)bytes[4 * i + 1] << 8 | bytes[4 * i];
  return true;
}

// The page area of an element: {x, y, width, height} in CSS pixels.
bool ElementBox(BrowserPage& tab, const std::string& selector, double box[4], std::string& error) {
  JsonValue r = tab.Eval("(() => { const e = document.querySelector(" + JsonQuote(selector) +
                             "); if (!e) return null; const r = e.getBoundingClientRect();"
                             " return [r.x, r.y, r.width, r.height]; })()",
                         error);
  if (r.kind != JsonValue::ARRAY || r.items.size() != 4) {
    if (error.empty()) error = selector + " is not on the page";
    return false;
  }
  for (int k = 0; k < 4; k++) box[k] = r[(size_t)k].Number();
  return true;
}

// A user's click in the middle of the element that selector names.
bool ClickOn(BrowserPage& tab, const std::string& selector, std::string& error) {
  double box[4];
  return ElementBox(tab, selector, box, error) && tab.Click(box[0] + box[2] / 2, box[1] + box[3] / 2, error);
}

// The launcher's display mode chosen as the list's change would.
void ChooseMode(BrowserPage& tab, int index) {
  std::string ignored;
  tab.Eval("(() => { const m = document.querySelector('#mode'); m.selectedIndex = " + std::to_string(index) +
               "; m.dispatchEvent(new Event('change', {bubbles: true})); })()",
           ignored);
}

RgbPicture Screenshot(BrowserPage& tab, std::string& error) {
  std::vector<uint8_t> png;
  if (!tab.Screenshot(png, error)) return RgbPicture();
  return DecodePng(png);
}

RgbPicture AsPicture(const std::vector<uint32_t>& pixels) {
  RgbPicture p;
  p.width = 1920;
  p.height = 1080;
  p.pixels = pixels;
  return p;
}

std::string TextOf(BrowserPage& tab, const std::string& expression) {
  std::string e;
  JsonValue v = tab.Eval(expression, e);
  return v.kind == JsonValue::STRING ? v.text : "<" + (e.empty() ? "not a string" : e) + ">";
}

// Interleaved 16-bit samples [from, from + frames) of the AudioBuffer the page
// handed to WebAudio for the music, read back (value x 32768 is exact).
bool PlayedSamples(BrowserPage& tab, int64_t from, int64_t frames, std::vector<int16_t>& out, std::string& error) {
  const std::string js =
      "(() => { const a = window.Module && Module.zyntraxAudio, last = a && a.last; if (!last) return null;"
      " const b = last.buffer, from = " + std::to_string(from) + ", n = Math.max(0, Math.min(" + std::to_string(frames) +
      ", b.length - from)), k = b.numberOfChannels, out = new Uint8Array(n * k * 2);"
      " for (let c = 0; c < k; c++) { const d = b.getChannelData(c);"
      "  for (let i = 0; i < n; i++) { const v = Math.round(d[from + i] * 32768) & 0xFFFF, at = 2 * (i * k + c);"
      "   out[at] = v & 255; out[at + 1] = v >> 8; } }"
      " const parts = []; for (let i = 0; i < out.length; i += 0x8000)"
      "  parts.push(String.fromCharCode.apply(null, out.subarray(i, i + 0x8000)));"
      " return btoa(parts.join('')); })()";
  JsonValue b64 = tab.Eval(js, error, 60000);
  std::vector<uint8_t> bytes;
  if (b64.kind != JsonValue::STRING || !DecodeBase64(b64.text, bytes)) {
    if (error.empty()) error = "the page holds no music buffer (Module.zyntraxAudio.last)";
    return false;
  }
  out.resize(bytes.size() / 2);
  for (size_t i = 0; i < out.size(); i++) out[i] = (int16_t)(uint16_t)(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return true;
}
}  // namespace

// The launcher's texts and defaults; the volume label follows the slider and
// the mute box; a real click on Launch starts the show, whose canvas then shows
// the frame of the row on the clock; Escape brings the launcher back.
TEST_P(EveryBrowser, LauncherShowsItsTextsAndLaunchStartsTheShow) {
  std::string error;
  auto tab = OpenPage("test=1&clock=0&seed=3", error);
  ASSERT_TRUE(tab) << error;
  JsonValue s = PageState(*tab, error);
  ASSERT_EQ(s["screen"].Text(), "launcher") << error;

  EXPECT_EQ(TextOf(*tab, "document.title"), "Velda Party 5 - Setup");
  EXPECT_EQ(TextOf(*tab, "document.querySelector('#title').textContent.trim()"), "Velda Party 5 - Setup");
  EXPECT_EQ(TextOf(*tab, "[...document.querySelector('#mode').options].map(o => o.textContent.trim()).join('|')"),
            "Windowed 1920 x 1080|Fullscreen 1920 x 1080|Borderless desktop scaled");
  EXPECT_EQ(TextOf(*tab, "String(document.querySelector('#mode').selectedIndex)"), "1");
  EXPECT_EQ(TextOf(*tab, "document.querySelector('#volume').value"), "80");
  EXPECT_EQ(TextOf(*tab, "document.querySelector('#volume-label').textContent.trim()"), "80%");
  EXPECT_EQ(TextOf(*tab, "String(document.querySelector('#mute').checked)"), "false");
  EXPECT_EQ(TextOf(*tab, "(document.querySelector('label[for=mute]') || document.querySelector('#mute').parentElement)"
                         ".textContent.trim()"),
            "Mute music");
  EXPECT_EQ(TextOf(*tab, "document.querySelector('#launch').textContent.trim()"), "Launch");

  // The two launcher canvases are painted by the program, not left empty.
  for (const char* canvas : {"#launcher-picture", "#greeting"}) {
    double box[4];
    ASSERT_TRUE(ElementBox(*tab, canvas, box, error)) << error;
    EXPECT_GT(box[2] * box[3], 100.0) << canvas;
  }
  RgbPicture launcherShot = Screenshot(*tab, error);
  ASSERT_GT(launcherShot.width, 0) << error;
  const std::string shots = TestScratchFolder("web-page-" + GetParam());
  WritePng(shots + "launcher.png", launcherShot);
  double pictureBox[4];
  ASSERT_TRUE(ElementBox(*tab, "#launcher-picture", pictureBox, error)) << error;
  EXPECT_GT(DistinctColours(launcherShot, (int)pictureBox[0], (int)pictureBox[1], (int)pictureBox[2],
                            (int)pictureBox[3], 64),
            16)
      << "the launcher picture looks blank";

  // Slider and mute box drive the label, as user input would.
  tab->Eval("(() => { const v = document.querySelector('#volume'); v.value = 35;"
            " v.dispatchEvent(new Event('input', {bubbles: true})); })()",
            error);
  const std::string label = "document.querySelector('#volume-label').textContent.trim() === ";
  // The launcher reads its controls once an animation frame.
  EXPECT_TRUE(tab->WaitFor(label + "'35%'", 5000, error)) << error;
  ASSERT_TRUE(ClickOn(*tab, "#mute", error)) << error;
  EXPECT_TRUE(tab->WaitFor(label + "'Mute'", 5000, error)) << error;
  ASSERT_TRUE(ClickOn(*tab, "#mute", error)) << error;
  EXPECT_TRUE(tab->WaitFor(label + "'35%'", 5000, error)) << error;

  // Windowed, then a real click on Launch.
  ChooseMode(*tab, 0);
  ASSERT_TRUE(ClickOn(*tab, "#launch", error)) << error;
  ASSERT_TRUE(WaitForState(*tab, InShow, LOAD_MS, s, error)) << error;
  EXPECT_EQ(s["row"].Number(-1), 0);
  // The click is the gesture the browser wants before it plays sound.
  ASSERT_TRUE(WaitForState(
      *tab, [](const JsonValue& st) { return st["music"]["started"].boolean; }, 20000, s, error))
      << error;
  EXPECT_NEAR(s["music"]["volume"].Number(-1), 0.35, 1e-9);

  // The driven clock moves on, each time just past the end of the current
  // row, as the live clock would: the loop enters row after row, each at the
  // frame that finds its predecessor over, and then stands in row 4.
  int64_t clock = 0;
  for (int64_t next = 1; next <= 4; next++) {
    const int64_t step = RowDurationMs(next - 1) + 1;
    clock += step;
    ASSERT_TRUE(tab->Eval("window.zyntraxTest.advance(" + std::to_string(step) + ")", error).kind != JsonValue::NONE)
        << error;
    ASSERT_TRUE(WaitForState(
        *tab, [&](const JsonValue& st) { return InShow(st) && st["row"].Number(-1) == (double)next; }, 20000, s,
        error))
        << error;
    EXPECT_EQ(s["sceneMs"].Number(-1), 0) << "row " << next;
  }
  // Past the entrance flash.
  ASSERT_TRUE(tab->Eval("window.zyntraxTest.advance(5000)", error).kind != JsonValue::NONE) << error;
  clock += 5000;
  ASSERT_TRUE(WaitForState(
      *tab, [&](const JsonValue& st) { return st["elapsedMs"].Number(-1) == (double)clock; }, 20000, s, error))
      << error;
  EXPECT_EQ(s["row"].Number(-1), 4);
  EXPECT_EQ(s["sceneMs"].Number(-1), 5000);
  // A few more animation frames, so that the canvas holds a frame of this row.
  tab->Eval("new Promise(r => requestAnimationFrame(() => requestAnimationFrame(() => r(1))))", error);

  double canvas[4];
  ASSERT_TRUE(ElementBox(*tab, "#show", canvas, error)) << error;
  // Windowed on a page of the picture's size: unscaled, at the top left.
  EXPECT_NEAR(canvas[0], 0, 1.0);
  EXPECT_NEAR(canvas[1], 0, 1.0);
  EXPECT_NEAR(canvas[2], 1920, 1.0);
  EXPECT_NEAR(canvas[3], 1080, 1.0);
  RgbPicture shot = Screenshot(*tab, error);
  ASSERT_GT(shot.width, 0) << error;
  WritePng(shots + "show-row4.png", shot);
  std::vector<uint32_t> frame;
  ASSERT_TRUE(PageFrame(*tab, "window.zyntraxTest.frameBase64()", frame, error)) << error;
  const int cx = (int)canvas[0], cy = (int)canvas[1], cw = (int)canvas[2], ch = (int)canvas[3];
  EXPECT_GT(DistinctColours(shot, cx, cy + ch * 200 / 1080, cw, ch * 680 / 1080, 256), 32)
      << "the scene area of the canvas looks blank";
  // The header band (the row's header picture, 1920 x 200) holds still between
  // frames: the canvas shows it as the frame has it.
  BlockMeans shown = MeansOf(shot, cx, cy, cw, ch * 200 / 1080, 48, 5);
  BlockMeans painted = MeansOf(AsPicture(frame), 0, 0, 1920, 200, 48, 5);
  EXPECT_GE(MatchingBlockShare(shown, painted, 12.0f), 0.95) << "the canvas does not show the header band";
  EXPECT_GT(DistinctColours(AsPicture(frame), 0, 0, 1920, 200, 64), 8) << "no header band in the frame";

  ASSERT_TRUE(tab->PressKey("Escape", 27, error)) << error;
  ASSERT_TRUE(WaitForState(
      *tab, [](const JsonValue& st) { return st["screen"].Text() == "launcher"; }, 10000, s, error))
      << error;
  // The launcher comes back with the visitor's choices.
  EXPECT_EQ(TextOf(*tab, "String(document.querySelector('#mode').selectedIndex)"), "0");
  EXPECT_EQ(TextOf(*tab, "document.querySelector('#volume').value"), "35");
  EXPECT_TRUE(tab->WaitFor(label + "'35%'", 5000, error)) << error;
  EXPECT_EQ(tab->Exceptions(), "");
}

// Frames painted by the page on the driven clock with a seed, against the
// frames this process paints at the same moments with the same seed. Only
// pixels where the two C libraries' sin and cos round differently may differ.
TEST_P(EveryBrowser, FramesEqualTheNativeRenderersAtSixClocks) {
  const uint64_t seed = 1234;
  const int64_t rows[] = {0, 1, 7, 11, 14, 19};
  for (int64_t row : rows) {
    // Past the entrance flash and slides, as the contact sheet takes its shots.
    const int64_t duration = RowDurationMs(row);
    const int64_t at = RowStartMs(row) + std::min<int64_t>(duration * 6 / 10, 6000);
    ASSERT_EQ(TimelineRowAt(at), row);
    std::string error;
    auto tab = OpenPage("test=1&mute=1&seed=" + std::to_string(seed) + "&clock=" + std::to_string(at), error);
    ASSERT_TRUE(tab) << error;
    std::vector<uint32_t> web;
    // One script: nothing else runs on the page between entering and reading.
    ASSERT_TRUE(PageFrame(*tab,
                          "(() => { const t = window.zyntraxTest; t.enterShowAt(" + std::to_string(at) +
                              "); t.paintFrame(); return t.frameBase64(); })()",
                          web, error))
        << error << "\n" << tab->ConsoleText();
    JsonValue s = PageState(*tab, error);
    EXPECT_EQ(s["row"].Number(-1), (double)row) << StateText(*tab);
    EXPECT_EQ(tab->Exceptions(), "");
    tab.reset();

    NativeFrame native = NativeFrameAt(at, seed);
    ASSERT_EQ(native.pixels.size(), web.size()) << "no native frame";
    EXPECT_EQ(native.row, row);
    EXPECT_EQ(native.messages, "");
    size_t differ = 0, firstDiffer = web.size();
    for (size_t i = 0; i < web.size(); i++)
      if ((web[i] & 0xFFFFFF) != native.pixels[i]) {
        differ++;
        if (firstDiffer == web.size()) firstDiffer = i;
      }
    const double same = 100.0 * (double)(web.size() - differ) / (double)web.size();
    std::printf("row %2lld at %7lld ms: %8zu of %zu pixels differ, %.4f %% identical\n", (long long)row,
                (long long)at, differ, web.size(), same);
    if (differ) {
      std::printf("  first at (%zu, %zu): page %06x, native %06x\n", firstDiffer % 1920, firstDiffer / 1920,
                  web[firstDiffer] & 0xFFFFFF, native.pixels[firstDiffer]);
      // Both frames and where they differ (white), to look at.
      const std::string stem = TestScratchFolder("web-frames-" + GetParam()) + "row" + std::to_string(row);
      RgbPicture mask = AsPicture(web);
      for (size_t i = 0; i < web.size(); i++) mask.pixels[i] = (web[i] & 0xFFFFFF) != native.pixels[i] ? 0xFFFFFF : 0;
      WritePng(stem + "-page.png", AsPicture(web));
      WritePng(stem + "-native.png", AsPicture(native.pixels));
      WritePng(stem + "-differ.png", mask);
      std::printf("  pictures: %s-{page,native,differ}.png\n", stem.c_str());
    }
    EXPECT_GE(same, 99.9) << "row " << row;
    EXPECT_GT(DistinctColours(AsPicture(native.pixels), 0, 0, 1920, 1080, 256), 64) << "row " << row << " is blank";
  }
  // The comparison sees the seed: another one moves the stars of the first row.
  const int64_t first = std::min<int64_t>(RowDurationMs(0) * 6 / 10, 6000);
  EXPECT_NE(NativeFrameAt(first, seed).pixels, NativeFrameAt(first, seed + 1).pixels);
}

// A carried picture spoiled after it is written out: its "Erreur" box with the
// desktop program's text, and the show starts all the same.
TEST_F(WebPage, ASpoiledPictureGivesItsErrorAndTheShowStarts) {
  struct Case {
    const char* file;
    const char* text;
  } cases[] = {{"billboard.png", "billboard.png non chargé."},
               {"police20.png", "police20.png non chargé."},
               {"haut2.png", "haut2.png non chargé."}};
  for (const Case& c : cases) {
    std::string error;
    auto tab = OpenPage(std::string("test=1&mode=0&mute=1&autolaunch=1&spoil=") + c.file, error);
    ASSERT_TRUE(tab) << error;
    JsonValue s;
    ASSERT_TRUE(WaitForState(
        *tab, [](const JsonValue& st) { return st["dialogs"].items.size() > 0; }, LOAD_MS, s, error))
        << c.file << ": " << error;
    ASSERT_EQ(s["dialogs"].items.size(), 1u) << c.file << ": " << StateText(*tab);
    EXPECT_EQ(s["dialogs"][0]["title"].Text(), "Erreur") << c.file;
    EXPECT_EQ(s["dialogs"][0]["text"].Text(), c.text) << c.file;
    // The dialog on the page says the same.
    EXPECT_EQ(TextOf(*tab, "String(document.querySelector('#message').open)"), "true") << c.file;
    EXPECT_EQ(TextOf(*tab, "document.querySelector('#message-title').textContent.trim()"), "Erreur") << c.file;
    EXPECT_EQ(TextOf(*tab, "document.querySelector('#message-text').textContent.trim()"), c.text) << c.file;
    // The show is on, and its clock runs.
    ASSERT_TRUE(WaitForState(*tab, InShow, LOAD_MS, s, error)) << c.file << ": " << error;
    const double first = s["elapsedMs"].Number();
    ASSERT_TRUE(WaitForState(
        *tab, [&](const JsonValue& st) { return InShow(st) && st["elapsedMs"].Number() > first + 100; }, 10000, s,
        error))
        << c.file << ": " << error;
  }
}

// The buffer handed to WebAudio is the whole decoded track; muted, or at
// volume 0, nothing starts.
TEST_F(WebPage, TheMusicIsTheDecodedTrackAndMuteOrSilenceStartsNothing) {
  NativeTrack track = NativeMusic();
  ASSERT_TRUE(track.decoded);
  ASSERT_EQ(track.sampleRate, 48000);
  ASSERT_EQ(track.channels, 2);
  ASSERT_EQ(track.frames, 9000000);  // 187.5 s

  std::string error;
  auto tab = OpenPage("test=1&mode=0&volume=80&mute=0&autolaunch=1", error);
  ASSERT_TRUE(tab) << error;
  JsonValue s;
  ASSERT_TRUE(WaitForState(
      *tab, [](const JsonValue& st) { return InShow(st) && st["music"]["started"].boolean; }, LOAD_MS, s, error))
      << error;
  EXPECT_EQ(s["music"]["sampleRate"].Number(), 48000);
  EXPECT_EQ(s["music"]["channels"].Number(), 2);
  EXPECT_EQ(s["music"]["frames"].Number(), 9000000);
  EXPECT_NEAR(s["music"]["volume"].Number(-1), 0.8, 1e-9);
  // The buffer's samples read back as 16-bit values, piece by piece.
  std::vector<int16_t> played;
  for (int64_t from = 0; from < track.frames; from += 1000000) {
    std::vector<int16_t> piece;
    ASSERT_TRUE(PlayedSamples(*tab, from, std::min<int64_t>(1000000, track.frames - from), piece, error)) << error;
    played.insert(played.end(), piece.begin(), piece.end());
  }
  ASSERT_EQ(played.size(), track.samples.size());
  int64_t differ = 0, higher = 0, farthest = 0;
  for (size_t i = 0; i < played.size(); i++) {
    int d = played[i] - track.samples[i];
    if (d == 0) continue;
    differ++;
    higher += d > 0;
    farthest = std::max<int64_t>(farthest, std::abs(d));
  }
  const double same = 100.0 * (double)((int64_t)played.size() - differ) / (double)played.size();
  const uint32_t playedCrc = Crc32Of(played);
  std::printf("music: %lld of %zu samples differ (%lld one step higher in the page), at most by %lld; %.4f %% identical\n"
              "music CRC: page %u, native decoder %u\n",
              (long long)differ, played.size(), (long long)higher, (long long)farthest, same, playedCrc, track.crc);
  // The decoder's float-to-integer step rounds ties its own way on each
  // target: one step at most, on a small share of the samples.
  EXPECT_LE(farthest, 1);
  EXPECT_GE(same, 99.9);
  // The page's own CRC is that of the buffer it plays.
  EXPECT_EQ(TextOf(*tab, "window.zyntraxTest.musicCrc()"), std::to_string(playedCrc));
  tab.reset();

  for (const char* query : {"test=1&mode=0&volume=80&mute=1&autolaunch=1", "test=1&mode=0&volume=0&mute=0&autolaunch=1"}) {
    auto quiet = OpenPage(query, error);
    ASSERT_TRUE(quiet) << error;
    ASSERT_TRUE(WaitForState(*quiet, InShow, LOAD_MS, s, error)) << query << ": " << error;
    // Give the sound a moment in which it would have started.
    const double first = s["elapsedMs"].Number();
    ASSERT_TRUE(WaitForState(
        *quiet, [&](const JsonValue& st) { return st["elapsedMs"].Number() > first + 500; }, 10000, s, error))
        << query << ": " << error;
    EXPECT_FALSE(s["music"]["started"].boolean) << query;
    EXPECT_EQ(s["music"]["frames"].Number(-1), 0) << query;
  }
}

// Where the show's canvas goes in each display mode, on a page smaller than
// the picture: windowed, scaled to fit (0.92 of the fitting scale, centred);
// borderless, stretched over the whole page. Both follow the page when it
// changes size. Nearest-pixel scaling.
TEST_F(WebPage, TheCanvasTakesItsPlaceInEachDisplayMode) {
  std::string error;
  JsonValue s;
  struct Case {
    const char* mode;
    double x, y, w, h;  // on 1280 x 720
    double x2, y2, w2, h2;  // on 960 x 720
  } cases[] = {
      // 1280 / 1920 = 720 / 1080 = 2/3, times 0.92: 1177.6 x 662.4, centred.
      // 960 / 1920 = 1/2, times 0.92: 883.2 x 496.8, centred.
      {"0", 51, 29, 1178, 662, 38, 111, 883, 497},
      {"2", 0, 0, 1280, 720, 0, 0, 960, 720},
  };
  for (const Case& c : cases) {
    auto page = OpenPage(std::string("test=1&mute=1&autolaunch=1&mode=") + c.mode, error, 1280, 720);
    ASSERT_TRUE(page) << error;
    ASSERT_TRUE(WaitForState(*page, InShow, LOAD_MS, s, error)) << error;
    double box[4];
    ASSERT_TRUE(ElementBox(*page, "#show", box, error)) << error;
    EXPECT_NEAR(box[0], c.x, 1.0) << "mode " << c.mode;
    EXPECT_NEAR(box[1], c.y, 1.0) << "mode " << c.mode;
    EXPECT_NEAR(box[2], c.w, 1.0) << "mode " << c.mode;
    EXPECT_NEAR(box[3], c.h, 1.0) << "mode " << c.mode;
    EXPECT_EQ(TextOf(*page, "String(document.querySelector('#show').width) + 'x' + document.querySelector('#show').height"),
              "1920x1080");
    EXPECT_EQ(TextOf(*page, "getComputedStyle(document.querySelector('#show')).imageRendering"), "pixelated")
        << "mode " << c.mode;
    Tab& tab = static_cast<Tab&>(*page);
    ASSERT_NE(tab.Call("Emulation.setDeviceMetricsOverride",
                       "{\"width\":960,\"height\":720,\"deviceScaleFactor\":1,\"mobile\":false}", 10000, error)
                  .kind,
              JsonValue::NONE)
        << error;
    const std::string moved = "(() => { const r = document.querySelector('#show').getBoundingClientRect();"
                              " return Math.abs(r.width - " + std::to_string(c.w2) + ") <= 1; })()";
    ASSERT_TRUE(page->WaitFor(moved, 5000, error)) << "mode " << c.mode << ": " << error;
    ASSERT_TRUE(ElementBox(*page, "#show", box, error)) << error;
    EXPECT_NEAR(box[0], c.x2, 1.0) << "mode " << c.mode;
    EXPECT_NEAR(box[1], c.y2, 1.0) << "mode " << c.mode;
    EXPECT_NEAR(box[3], c.h2, 1.0) << "mode " << c.mode;
  }
}

// Full screen is asked for inside the Launch click. Where the browser grants
// it (Chromium always, Firefox here too): the canvas fills the screen with the
// cursor hidden, a box opened meanwhile is above the show, and leaving full
// screen brings back the launcher and the cursor. A refusal (a click that is
// no user's, or a browser without element full screen): the desktop's box,
// and the launcher again. Either way the choices are kept.
TEST_P(EveryBrowser, FullScreenComesFromTheLaunchClickAndARefusalSaysSo) {
  std::string error;
  JsonValue s;
  auto backAtTheLauncher = [&](BrowserPage& tab, const char* how) {
    ASSERT_TRUE(WaitForState(
        tab, [](const JsonValue& st) { return st["screen"].Text() == "launcher"; }, 10000, s, error))
        << how << ": " << error;
    EXPECT_TRUE(tab.WaitFor("!!document.querySelector('#launcher') && "
                            "getComputedStyle(document.querySelector('#launcher')).display !== 'none'",
                            5000, error))
        << how << ": " << error;
    EXPECT_EQ(TextOf(tab, "String(document.querySelector('#mode').selectedIndex)"), "1") << how;
    EXPECT_EQ(TextOf(tab, "document.querySelector('#volume').value"), "55") << how;
    EXPECT_EQ(TextOf(tab, "getComputedStyle(document.querySelector('#stage')).cursor"), "auto") << how;
  };
  auto refused = [&](BrowserPage& tab, const char* how) {
    ASSERT_TRUE(WaitForState(
        tab, [](const JsonValue& st) { return st["dialogs"].items.size() > 0; }, LOAD_MS, s, error))
        << how << ": " << error;
    EXPECT_EQ(s["dialogs"][0]["title"].Text(), "Erreur") << how;
    EXPECT_EQ(s["dialogs"][0]["text"].Text(), "Impossible d'ouvrir le plein écran.") << how;
    EXPECT_EQ(TextOf(tab, "String(document.querySelector('#message').open)"), "true") << how;
    backAtTheLauncher(tab, how);
  };

  auto tab = OpenPage("test=1&mute=1&volume=55&spoil=billboard.png", error, 1280, 720);
  ASSERT_TRUE(tab) << error;
  EXPECT_EQ(TextOf(*tab, "String(document.querySelector('#mode').selectedIndex)"), "1");  // the default
  ASSERT_TRUE(ClickOn(*tab, "#launch", error)) << error;
  ASSERT_TRUE(tab->WaitFor("['granted', 'refused'].includes(Module.zyntraxFullscreen.state)", 10000, error)) << error;
  if (!InFirefox()) {
    EXPECT_EQ(TextOf(*tab, "Module.zyntraxFullscreen.state"), "granted");
  }
  std::printf("full screen from the Launch click: %s\n", TextOf(*tab, "Module.zyntraxFullscreen.state").c_str());
  if (TextOf(*tab, "Module.zyntraxFullscreen.state") == "granted") {
    ASSERT_TRUE(WaitForState(*tab, InShow, LOAD_MS, s, error)) << error;
    EXPECT_TRUE(tab->WaitFor("document.fullscreenElement === document.querySelector('#stage')", 10000, error))
        << error;
    EXPECT_EQ(TextOf(*tab, "getComputedStyle(document.querySelector('#stage')).cursor"), "none");
    // The canvas fitted into the screen, by whole device pixels.
    EXPECT_EQ(TextOf(*tab, "(() => { const r = document.querySelector('#show').getBoundingClientRect();"
                           " const d = devicePixelRatio, s = Math.min(innerWidth * d / 1920, innerHeight * d / 1080);"
                           " return String(Math.abs(r.width * d - Math.round(1920 * s)) < 0.01); })()"),
              "true");
    // The spoiled picture's box is on top of the full-screen show.
    ASSERT_TRUE(WaitForState(
        *tab, [](const JsonValue& st) { return st["dialogs"].items.size() > 0; }, 20000, s, error))
        << error;
    EXPECT_EQ(TextOf(*tab, "(() => { const b = document.querySelector('#message').getBoundingClientRect();"
                           " const e = document.elementFromPoint(b.x + b.width / 2, b.y + b.height / 2);"
                           " return String(!!e && !!e.closest('#message')); })()"),
              "true");
    tab->Eval("document.exitFullscreen()", error);
    backAtTheLauncher(*tab, "full screen left");
  } else {
    refused(*tab, "the click");
  }

  // A click that no user made, and a browser without element full screen.
  for (const char* how : {"document.querySelector('#launch').click()",
                          "(() => { delete Element.prototype.requestFullscreen;"
                          " document.querySelector('#launch').click(); })()"}) {
    tab = OpenPage("test=1&mute=1&volume=55", error, 1280, 720);
    ASSERT_TRUE(tab) << error;
    tab->Eval(how, error);
    refused(*tab, how);
  }
}

// The shipped page carries no test interface, whatever its query says; its
// launcher launches the show and Escape brings the launcher back.
TEST_P(EveryBrowser, TheShippedPageHasNoTestInterfaceAndLaunchesAndReturns) {
  std::string error;
  auto tab = NewPage();
  ASSERT_TRUE(tab->Open(shipped_->Url("/index.html?test=1&autolaunch=1&mode=0&clock=5"), 1920, 1080, error))
      << error;
  ASSERT_TRUE(tab->WaitFor("!!document.querySelector('#launch') && document.querySelector('#loading').hidden",
                           LOAD_MS, error))
      << error;
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(TextOf(*tab, "[typeof window.zyntraxTest, typeof Module._zyntrax_test_state,"
                         " typeof Module._zyntrax_test_advance, document.body.classList.contains('in-show')].join()"),
            "undefined,undefined,undefined,false");
  EXPECT_EQ(TextOf(*tab, "document.querySelector('#title').textContent.trim()"), "Velda Party 5 - Setup");
  EXPECT_EQ(TextOf(*tab, "String(document.querySelector('#mode').selectedIndex)"), "1");
  ChooseMode(*tab, 0);
  ASSERT_TRUE(ClickOn(*tab, "#launch", error)) << error;
  ASSERT_TRUE(tab->WaitFor("document.body.classList.contains('in-show') && !document.querySelector('#launcher')",
                           LOAD_MS, error))
      << error;
  double box[4];
  ASSERT_TRUE(ElementBox(*tab, "#show", box, error)) << error;
  EXPECT_NEAR(box[2], 1920, 1.0);
  // Past the white entrance flash (the page's clock is its own here).
  int colours = 0;
  for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(15);
       colours <= 16 && std::chrono::steady_clock::now() < until;) {
    RgbPicture shot = Screenshot(*tab, error);
    ASSERT_GT(shot.width, 0) << error;
    colours = DistinctColours(shot, 0, 0, shot.width, shot.height, 64);
  }
  EXPECT_GT(colours, 16) << "the show looks blank";
  ASSERT_TRUE(tab->PressKey("Escape", 27, error)) << error;
  ASSERT_TRUE(tab->WaitFor("!document.body.classList.contains('in-show') && !!document.querySelector('#launch')",
                           10000, error))
      << error;
  EXPECT_EQ(TextOf(*tab, "String(document.querySelector('#mode').selectedIndex)"), "0");
  EXPECT_EQ(tab->Exceptions(), "");
}

INSTANTIATE_TEST_SUITE_P(, EveryBrowser, ::testing::Values("chromium", "firefox"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

namespace {
// The viewport's emulated size and device pixel ratio.
bool Emulate(Tab& tab, int width, int height, double ratio, std::string& error) {
  return tab.Call("Emulation.setDeviceMetricsOverride",
                  "{\"width\":" + std::to_string(width) + ",\"height\":" + std::to_string(height) +
                      ",\"deviceScaleFactor\":" + std::to_string(ratio) + ",\"mobile\":false}",
                  10000, error)
             .kind != JsonValue::NONE;
}

// The share of the canvas's device pixels in the header band (the first 200
// frame rows) that show one of the frame pixels next to the one under their
// centre: one pixel taken, never a blend of several.
double NearestPixelShare(const RgbPicture& shot, const std::vector<uint32_t>& frame, int x0, int y0, int w, int h) {
  int64_t same = 0, all = 0;
  for (int y = y0 + 1; y < y0 + h * 200 / 1080 - 1 && y < shot.height; y++)
    for (int x = x0 + 1; x < x0 + w - 1 && x < shot.width; x++) {
      const int fx = (int)((x - x0 + 0.5) * 1920.0 / w), fy = (int)((y - y0 + 0.5) * 1080.0 / h);
      const uint32_t shown = shot.pixels[(size_t)y * (size_t)shot.width + (size_t)x];
      bool found = false;
      for (int dy = -1; dy <= 1 && !found; dy++)
        for (int dx = -1; dx <= 1 && !found; dx++) {
          const int sx = std::clamp(fx + dx, 0, 1919), sy = std::clamp(fy + dy, 0, 1079);
          found = shown == (frame[(size_t)sy * 1920 + (size_t)sx] & 0xFFFFFF);
        }
      same += found;
      all++;
    }
  return all ? (double)same / (double)all : 0;
}
}  // namespace

// On a high-DPI screen the canvas is laid out in device pixels: at ratio 2, on
// a page with room for the picture, Windowed is the frame 1:1; at ratio 1.5 on
// a smaller page, its edges fall on device pixels and every device pixel shows
// the nearest frame pixel. The launcher's canvases are 1:1 in device pixels.
TEST_F(WebPage, OnHighDensityScreensTheCanvasIsLaidOutInDevicePixels) {
  std::string error;
  JsonValue s;
  auto page = OpenPage("test=1&mute=1&mode=0", error, 1000, 600);
  ASSERT_TRUE(page) << error;
  Tab& tab = static_cast<Tab&>(*page);
  ASSERT_TRUE(Emulate(tab, 1000, 600, 2, error)) << error;
  ASSERT_TRUE(page->WaitFor("devicePixelRatio === 2", 5000, error)) << error;
  ASSERT_TRUE(page->WaitFor("document.querySelector('#launcher-picture').getBoundingClientRect().width === 300",
                            5000, error))
      << error << " (the launcher picture's canvas is not 1:1 in device pixels)";
  ASSERT_TRUE(ClickOn(*page, "#launch", error)) << error;
  ASSERT_TRUE(WaitForState(*page, InShow, LOAD_MS, s, error)) << error;
  // Past the entrance flash on the driven clock, which the launch set to 0.
  page->Eval("window.zyntraxTest.advance(1000)", error);
  page->Eval("new Promise(r => requestAnimationFrame(() => requestAnimationFrame(() => r(1))))", error);

  struct Step {
    double ratio;
    int x, y, w, h;  // device pixels
    double share;    // of header-band pixels that must be the nearest frame pixel
  } steps[] = {
      // 2000 x 1200 device pixels: the picture unscaled, centred.
      {2, 40, 60, 1920, 1080, 1.0},
      // 1500 x 900: 0.78125 x 0.92 = 0.71875, so 1380 x 776, centred.
      {1.5, 60, 62, 1380, 776, 0.98},
  };
  for (const Step& st : steps) {
    ASSERT_TRUE(Emulate(tab, 1000, 600, st.ratio, error)) << error;
    const std::string placed = "(() => { const r = document.querySelector('#show').getBoundingClientRect();"
                               " return Math.abs(r.width * devicePixelRatio - " + std::to_string(st.w) + ") < 0.01; })()";
    ASSERT_TRUE(page->WaitFor(placed, 5000, error)) << "ratio " << st.ratio << ": " << error;
    double box[4];
    ASSERT_TRUE(ElementBox(*page, "#show", box, error)) << error;
    EXPECT_NEAR(box[0] * st.ratio, st.x, 0.01) << "ratio " << st.ratio;
    EXPECT_NEAR(box[1] * st.ratio, st.y, 0.01) << "ratio " << st.ratio;
    EXPECT_NEAR(box[3] * st.ratio, st.h, 0.01) << "ratio " << st.ratio;
    page->Eval("new Promise(r => requestAnimationFrame(() => requestAnimationFrame(() => r(1))))", error);
    RgbPicture shot = Screenshot(*page, error);
    ASSERT_EQ(shot.width, (int)(1000 * st.ratio)) << error;
    std::vector<uint32_t> frame;
    ASSERT_TRUE(PageFrame(*page, "window.zyntraxTest.frameBase64()", frame, error)) << error;
    const double share = NearestPixelShare(shot, frame, st.x, st.y, st.w, st.h);
    std::printf("ratio %.1f: %.4f of the header band's device pixels show their nearest frame pixel\n", st.ratio,
                share);
    EXPECT_GE(share, st.share) << "ratio " << st.ratio;
    WritePng(TestScratchFolder("web-page-dpr") + "ratio" + std::to_string((int)(st.ratio * 10)) + ".png", shot);
  }
}

// Hidden for 20 s (through the page's visibility handler: headless Chromium
// does not resume animation frames after its own hidden state) and shown
// again, the show's clock and the music have stood still together.
TEST_F(WebPage, AHiddenPageHoldsTheShowInStepWithItsMusic) {
  std::string error;
  JsonValue s;
  auto page = OpenPage("test=1&mode=0&volume=80&autolaunch=1", error);
  ASSERT_TRUE(page) << error;
  auto playing = [](const JsonValue& st) {
    return InShow(st) && st["audioState"].Text() == "running" && st["music"]["playedMs"].Number(-1) > 1000;
  };
  // The show's clock minus the music's position. The music's moves a whole
  // audio buffer at a time: the mean of readings spread over 0.6 s.
  auto offset = [&]() {
    double sum = 0;
    int count = 0;
    for (int i = 0; i < 16; i++) {
      JsonValue st = PageState(*page, error);
      if (playing(st)) sum += st["elapsedMs"].Number() - st["music"]["playedMs"].Number(), count++;
      std::this_thread::sleep_for(std::chrono::milliseconds(37));
    }
    return count ? sum / count : 1e9;
  };
  ASSERT_TRUE(WaitForState(*page, playing, LOAD_MS, s, error)) << error;
  const double before = offset();
  ASSERT_TRUE(page->Eval("window.zyntraxTest.setHidden(true)", error).boolean) << error;
  JsonValue held = PageState(*page, error);
  std::this_thread::sleep_for(std::chrono::seconds(20));
  JsonValue still = PageState(*page, error);
  EXPECT_EQ(still["audioState"].Text(), "suspended");
  EXPECT_LE(still["elapsedMs"].Number() - held["elapsedMs"].Number(), 1) << "the clock ran while hidden";
  EXPECT_LE(still["music"]["playedMs"].Number() - held["music"]["playedMs"].Number(), 200)
      << "the music played on while hidden";
  ASSERT_TRUE(page->Eval("window.zyntraxTest.setHidden(false)", error).boolean) << error;
  const double resumedAt = still["elapsedMs"].Number();
  ASSERT_TRUE(WaitForState(
      *page, [&](const JsonValue& st) { return playing(st) && st["elapsedMs"].Number() > resumedAt + 500; }, 20000,
      s, error))
      << error;
  const double after = offset();
  std::printf("show clock minus music position: %.1f ms before hiding, %.1f ms after\n", before, after);
  EXPECT_NEAR(after, before, 1000.0 / 60) << "the rows and the music are more than a frame apart";

  // The audio context stopped from outside (as an interruption does): the
  // clock stands with it until it runs again.
  ASSERT_TRUE(page->Eval("Module.zyntraxAudio.context.suspend().then(() => true)", error).boolean) << error;
  const double stoppedAt = PageState(*page, error)["elapsedMs"].Number();
  ASSERT_TRUE(WaitForState(
      *page, [&](const JsonValue& st) { return playing(st) && st["elapsedMs"].Number() > stoppedAt + 500; }, 20000,
      s, error))
      << error;
  const double resumed = offset();
  std::printf("after the audio context stopped and ran again: %.1f ms\n", resumed);
  // The page hears of an outside stop only through the context's state event,
  // a little after the music stood: two frames at most, on a busy machine too.
  EXPECT_NEAR(resumed, before, 2 * 1000.0 / 60) << "the clock ran on while the music stood";
}

// While the page loads it counts the bytes; it has its icon and versioned file
// names; and it says why when it cannot run: no WebAssembly, no SIMD, a fault
// in the frame function.
TEST_F(WebPage, ThePageShowsItsLoadingItsIconAndWhyItCannotRun) {
  std::string error;
  auto page = OpenPage("test=1", error);
  ASSERT_TRUE(page) << error;
  const std::string loaded = TextOf(*page, "document.querySelector('#loading').textContent");
  EXPECT_TRUE(loaded.rfind("Loading... ", 0) == 0 && loaded.find(" MB") != std::string::npos) << loaded;
  EXPECT_EQ(TextOf(*page, "(async () => { const l = document.querySelector('link[rel=icon]');"
                          " const r = await fetch(l.href); const b = new Uint8Array(await r.arrayBuffer());"
                          " return r.status + ' ' + r.headers.get('Content-Type') + ' ' + b[1] + b[2] + b[3]; })()"),
            "200 image/png 807871");  // "PNG"
  EXPECT_EQ(TextOf(*page, "String(/^zyntrax\\.js\\?v=[0-9a-f]{16}$/.test(document.querySelector('script[src^=\"zyntrax.js\"]')"
                          ".getAttribute('src')))"),
            "true");
  ASSERT_TRUE(page->Eval("window.zyntraxTest.crash()", error).boolean) << error;
  EXPECT_TRUE(page->WaitFor("!document.querySelector('#failure').hidden", 10000, error)) << error;
  EXPECT_EQ(TextOf(*page, "document.querySelector('#failure-text').textContent.split(' (')[0]"),
            "La démo s'est arrêtée sur une erreur interne");

  struct Case {
    const char* setUp;
    const char* text;
  } cases[] = {
      {"delete window.WebAssembly;", "Ce navigateur n'exécute pas WebAssembly : la démo ne peut pas tourner ici."},
      {"WebAssembly.validate = () => false;",
       "Ce navigateur n'a pas WebAssembly SIMD : la démo demande Chromium 91, Firefox 89, Safari 16.4 ou plus récent."},
  };
  for (const Case& c : cases) {
    Tab tab(*chromium_);
    ASSERT_TRUE(tab.Open("about:blank", 1280, 720, error)) << error;
    ASSERT_NE(tab.Call("Page.addScriptToEvaluateOnNewDocument", "{\"source\":" + JsonQuote(c.setUp) + "}", 10000, error)
                  .kind,
              JsonValue::NONE)
        << error;
    ASSERT_NE(tab.Call("Page.navigate", "{\"url\":" + JsonQuote(server_->Url("/index.html")) + "}", 20000, error).kind,
              JsonValue::NONE)
        << error;
    EXPECT_TRUE(tab.WaitFor("!!document.querySelector('#failure') && !document.querySelector('#failure').hidden",
                            20000, error))
        << c.setUp << ": " << error;
    EXPECT_EQ(TextOf(tab, "document.querySelector('#failure-text').textContent"), c.text);
  }

  // Without WebAudio the show runs silent and says nothing, as on a desktop without a sound device.
  Tab tab(*chromium_);
  ASSERT_TRUE(tab.Open("about:blank", 1280, 720, error)) << error;
  tab.Call("Page.addScriptToEvaluateOnNewDocument",
           "{\"source\":\"delete window.AudioContext; delete window.webkitAudioContext;\"}", 10000, error);
  tab.Call("Page.navigate", "{\"url\":" + JsonQuote(server_->Url("/index.html?mode=0&autolaunch=1")) + "}", 20000,
           error);
  JsonValue s;
  ASSERT_TRUE(tab.WaitFor("!!window.zyntraxTest", LOAD_MS, error)) << error;
  ASSERT_TRUE(WaitForState(
      tab, [](const JsonValue& st) { return InShow(st) && st["elapsedMs"].Number() > 1000; }, LOAD_MS, s, error))
      << error;
  EXPECT_EQ(s["dialogs"].items.size(), 0u);
  EXPECT_FALSE(s["music"]["started"].boolean);
  EXPECT_EQ(TextOf(tab, "String(document.querySelector('#failure').hidden)"), "true");

  // An audio context that never runs (no way to play sound): the clock waits
  // for the music a moment, then the show goes on silent.
  Tab stuck(*chromium_);
  ASSERT_TRUE(stuck.Open("about:blank", 1280, 720, error)) << error;
  stuck.Call("Page.addScriptToEvaluateOnNewDocument",
             "{\"source\":" +
                 JsonQuote("window.AudioContext = class extends AudioContext {"
                           " constructor() { super(); super.suspend(); } resume() { return Promise.resolve(); } };") +
                 "}",
             10000, error);
  stuck.Call("Page.navigate", "{\"url\":" + JsonQuote(server_->Url("/index.html?mode=0&autolaunch=1")) + "}", 20000,
             error);
  ASSERT_TRUE(stuck.WaitFor("!!window.zyntraxTest", LOAD_MS, error)) << error;
  ASSERT_TRUE(WaitForState(
      stuck, [](const JsonValue& st) { return InShow(st) && st["music"]["started"].boolean; }, LOAD_MS, s, error))
      << error;
  EXPECT_EQ(s["audioState"].Text(), "suspended");
  ASSERT_TRUE(WaitForState(
      stuck, [](const JsonValue& st) { return st["elapsedMs"].Number() > 6000; }, 20000, s, error))
      << "the show stood waiting for music that cannot play: " << error;
  EXPECT_EQ(s["dialogs"].items.size(), 0u);
}

// Escape, then Launch again: the visitor's choices are still there, the
// clocks start again from 0, and the track is not decoded again (the page
// plays the very same buffer).
TEST_F(WebPage, EscapeAndLaunchAgainKeepTheChoicesAndStartTheClocksFromZero) {
  std::string error;
  JsonValue s;
  auto page = OpenPage("test=1&clock=100000&mode=0&volume=60", error);
  ASSERT_TRUE(page) << error;
  for (int launch = 0; launch < 2; launch++) {
    ASSERT_TRUE(ClickOn(*page, "#launch", error)) << error;
    ASSERT_TRUE(WaitForState(
        *page, [](const JsonValue& st) { return InShow(st) && st["music"]["started"].boolean; }, LOAD_MS, s, error))
        << error;
    EXPECT_EQ(s["elapsedMs"].Number(-1), 0) << "launch " << launch;
    EXPECT_EQ(s["row"].Number(-1), 0) << "launch " << launch;
    EXPECT_NEAR(s["music"]["volume"].Number(-1), 0.6, 1e-9);
    if (launch == 0) {
      page->Eval("(() => { window.firstTrack = Module.zyntraxAudio.last.buffer; return 1; })()", error);
      page->Eval("window.zyntraxTest.advance(30000)", error);
      ASSERT_TRUE(WaitForState(
          *page, [](const JsonValue& st) { return st["row"].Number(-1) == 1; }, 10000, s, error))
          << error;
      ASSERT_TRUE(page->PressKey("Escape", 27, error)) << error;
      ASSERT_TRUE(WaitForState(
          *page, [](const JsonValue& st) { return st["screen"].Text() == "launcher"; }, 10000, s, error))
          << error;
      EXPECT_EQ(TextOf(*page, "String(document.querySelector('#mode').selectedIndex)"), "0");
      EXPECT_EQ(TextOf(*page, "document.querySelector('#volume').value"), "60");
      EXPECT_TRUE(page->WaitFor("document.querySelector('#volume-label').textContent.trim() === '60%'", 5000, error))
          << error;
    }
  }
  EXPECT_EQ(TextOf(*page, "String(Module.zyntraxAudio.last.buffer === window.firstTrack)"), "true")
      << "the track was decoded again";
  // On a touch screen, a tap on the show is the way back.
  Tab& tab = static_cast<Tab&>(*page);
  for (const char* type : {"touchStart", "touchEnd"}) {
    const std::string points = std::string(type) == "touchEnd" ? "[]" : "[{\"x\":900,\"y\":500}]";
    ASSERT_NE(tab.Call("Input.dispatchTouchEvent", std::string("{\"type\":\"") + type + "\",\"touchPoints\":" + points + "}",
                       10000, error)
                  .kind,
              JsonValue::NONE)
        << error;
  }
  ASSERT_TRUE(WaitForState(
      *page, [](const JsonValue& st) { return st["screen"].Text() == "launcher"; }, 10000, s, error))
      << error;
  EXPECT_EQ(TextOf(*page, "document.querySelector('#leave-hint').textContent"),
            "To leave the show: Escape on a keyboard, a tap on a touch screen.");
  EXPECT_EQ(page->Exceptions(), "");
}
