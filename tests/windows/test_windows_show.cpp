// zyntrax.exe under Wine on a private 1920 x 1080 Xvfb screen, in a Wine
// prefix of the build tree made fresh for each test run: the launcher and its
// controls, the show in full screen and in a window, Escape and the close box,
// the asset folder, a spoiled picture's box, the frames against this
// process's, the GL presenter against the DIB one, and full screen losing and
// regaining the foreground.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <thread>

#include "support/desktop.h"
#include "support/gl_display.h"
#include "web/native_show.h"
#include "web/page_tools.h"

// Last: Xlib's macros (Bool, Status, None) would clash with names above.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace fs = std::filesystem;

namespace {
const std::string BUILD = ZYNTRAX_WINDOWS_BUILD;
const std::string PREFIX = ZYNTRAX_WINE_SHOW_PREFIX;
const std::string EXE = BUILD + "/zyntrax.exe";
const std::string TOOL = BUILD + "/tests/";
const char* const DIALOG = "Velda Party 5 - Setup";
const char* const SHOW = "Velda Party 5";

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::vector<std::string> WineEnvironment() {
  return {"WINEPREFIX=" + PREFIX, "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml="};
}
std::string WineCommand() { return "WINEPREFIX='" + PREFIX + "' WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= wine "; }

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The prefix's temporary folder (C:\users\<user>\Temp).
fs::path PrefixTemp() {
  std::error_code error;
  for (const auto& user : fs::directory_iterator(PREFIX + "/drive_c/users", error))
    if (user.path().filename() != "Public" && fs::is_directory(user.path() / "Temp")) return user.path() / "Temp";
  return {};
}

RgbPicture Screenshot(const TestDesktop& desktop, const std::string& path) {
  RunOn(desktop, "import -window root " + path + " 2>/dev/null");
  std::string bytes = ReadFile(path);
  return DecodePng(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

// Offers a width x height mode on the desktop's screen beside its own, as a
// monitor would, so that a program can switch to it. The mode lasts while the
// connection returned stays open (null on failure): the server forgets it
// when its last client leaves.
::Display* AddScreenMode(const TestDesktop& desktop, int width, int height) {
  ::Display* x = XOpenDisplay(desktop.name().c_str());
  if (!x) return nullptr;
  XRRScreenResources* screen = XRRGetScreenResources(x, DefaultRootWindow(x));
  RRMode id = 0;
  if (screen && screen->noutput > 0) {
    std::string name = std::to_string(width) + "x" + std::to_string(height);
    XRRModeInfo mode{};
    mode.width = (unsigned)width;
    mode.height = (unsigned)height;
    mode.hTotal = (unsigned)width + 160;
    mode.vTotal = (unsigned)height + 30;
    mode.dotClock = (unsigned long)mode.hTotal * mode.vTotal * 60;
    mode.name = name.data();
    mode.nameLength = (unsigned)name.size();
    id = XRRCreateMode(x, DefaultRootWindow(x), &mode);
    XRRAddOutputMode(x, screen->outputs[0], id);
    XSync(x, False);
  }
  if (screen) XRRFreeScreenResources(screen);
  if (id == 0) {
    XCloseDisplay(x);
    return nullptr;
  }
  return x;
}

// One control of the launcher as win_inspect.exe reports it.
struct Control {
  std::string cls, text;
  int x = 0, y = 0, width = 0, height = 0;
  long state = -1;
};
struct Controls {
  int clientW = 0, clientH = 0;
  std::vector<Control> list;
  const Control* Find(const std::string& cls, const std::string& text) const {
    for (const Control& c : list)
      if (strcasecmp(c.cls.c_str(), cls.c_str()) == 0 && (text.empty() || c.text == text)) return &c;
    return nullptr;
  }
};

class WindowsShow : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(fs::exists(EXE)) << EXE << " is missing: run tools/windows.sh";
    // The test tree makes the prefix fresh once per run; run alone, the
    // program makes one where there is none.
    if (!fs::exists(PREFIX + "/system.reg")) {
      ASSERT_EQ(std::system(("'" + std::string(ZYNTRAX_WINE_PREFIX_SCRIPT) + "' '" + PREFIX + "'").c_str()), 0);
    }
  }
  static void TearDownTestSuite() { std::system(("WINEPREFIX='" + PREFIX + "' wineserver -k 2>/dev/null").c_str()); }

  void SetUp() override {
    std::error_code error;
    fs::remove_all(PrefixTemp() / "ZORLA_VELDA5_2D", error);
  }
  void TearDown() override {
    if (program > 0) WaitForProgram(program, 0);
    // Whatever the test left running in the prefix goes with it.
    std::system(("WINEPREFIX='" + PREFIX + "' wineserver -k 2>/dev/null").c_str());
    if (desktop.display != -1) StopDesktop(desktop);
  }

  void OpenDesktop(int width = 1920, int height = 1080) {
    desktop = StartDesktop(width, height);
    ASSERT_NE(desktop.display, -1);
  }
  void Start(int width = 1920, int height = 1080) {
    OpenDesktop(width, height);
    program = StartCommand(desktop, WineEnvironment(), {"wine", EXE}, scratch + "stderr.txt");
    ASSERT_GT(program, 0);
    dialog = WaitForWindow(desktop, DIALOG, 90000);
    ASSERT_NE(dialog.id, 0) << "no launcher";
  }
  // A window's controls; asked again while Wine is still starting its first
  // programs on the screen.
  Controls Inspect(const std::string& title) {
    Controls out;
    for (int attempt = 0; attempt < 5 && out.clientW == 0; attempt++) {
      out = InspectOnce(title);
      if (out.clientW == 0) SleepMs(1000);
    }
    return out;
  }
  Controls InspectOnce(const std::string& title) {
    Controls out;
    std::istringstream lines(RunOn(desktop, WineCommand() + "'" + TOOL + "win_inspect.exe' controls '" + title + "'"));
    std::string line;
    while (std::getline(lines, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (std::sscanf(line.c_str(), "client %d %d", &out.clientW, &out.clientH) == 2) continue;
      std::vector<std::string> f;
      std::stringstream fields(line);
      for (std::string part; std::getline(fields, part, '|');) f.push_back(part);
      if (f.size() != 4) continue;
      Control c;
      c.cls = f[0];
      c.text = f[1];
      std::sscanf(f[2].c_str(), "%d %d %d %d", &c.x, &c.y, &c.width, &c.height);
      c.state = std::atol(f[3].c_str());
      out.list.push_back(c);
    }
    return out;
  }
  void ClickLaunch() {
    Controls controls = Inspect(DIALOG);
    const Control* launch = controls.Find("Button", "Launch");
    ASSERT_TRUE(launch) << "no Launch button";
    RunOn(desktop, "xdotool mousemove --sync " + std::to_string(dialog.x + launch->x + launch->width / 2) + " " +
                       std::to_string(dialog.y + launch->y + launch->height / 2) + " click 1");
  }
  int Exit(int timeoutMs = 30000) {
    int code = WaitForProgram(program, timeoutMs);
    program = -1;
    return code;
  }

  TestDesktop desktop;
  pid_t program = -1;
  WindowGeometry dialog;
  std::string scratch = TestScratchFolder("windows-show");
};

TEST_F(WindowsShow, TheLauncherLaunchesTheShowFullScreenAndEscapeEndsIt) {
  Start();
  EXPECT_EQ(dialog.width, 640);
  EXPECT_EQ(dialog.height, 530);
  Controls c = Inspect(DIALOG);
  EXPECT_EQ(c.clientW, 640);
  EXPECT_EQ(c.clientH, 530);
  for (const char* text : {"ZYNTRAX BY ZORLA-WORX. in 07/2026", "Display mode", "Music volume", "80%"})
    EXPECT_TRUE(c.Find("Static", text)) << text;
  const Control* mode = c.Find("ComboBox", "");
  ASSERT_TRUE(mode);
  EXPECT_EQ(mode->state, 1) << "Fullscreen 1920 x 1080 is the default";
  EXPECT_EQ(mode->x, 240);
  EXPECT_EQ(mode->y, 287);
  const Control* volume = c.Find("msctls_trackbar32", "");
  ASSERT_TRUE(volume);
  EXPECT_EQ(volume->state, 80);
  const Control* mute = c.Find("Button", "Mute music");
  ASSERT_TRUE(mute);
  EXPECT_EQ(mute->state, 0);
  EXPECT_TRUE(c.Find("Button", "Launch"));
  EXPECT_EQ(c.Find("Button", "Launch")->y, 415);
  EXPECT_EQ(std::count_if(c.list.begin(), c.list.end(), [](const Control& x) { return x.cls == "ZyntraxCanvas"; }), 2);

  ClickLaunch();
  WindowGeometry show = WaitForWindow(desktop, SHOW, 60000);
  ASSERT_NE(show.id, 0) << "no show window";
  EXPECT_EQ(show.x, 0);
  EXPECT_EQ(show.y, 0);
  EXPECT_EQ(show.width, 1920);
  EXPECT_EQ(show.height, 1080);
  EXPECT_TRUE(WindowGone(desktop, DIALOG));
  SleepMs(4000);
  RgbPicture shot = Screenshot(desktop, scratch + "fullscreen.png");
  ASSERT_EQ(shot.width, 1920);
  ASSERT_EQ(shot.height, 1080);
  // The header band and, below it, the first row's scene: the starfield's
  // white stars on black.
  EXPECT_GT(DistinctColours(shot, 0, 0, 1920, 200, 512), 32) << "header band";
  size_t stars = 0;
  for (int y = 240; y < 840; y++)
    for (int x = 0; x < 1920; x++) stars += shot.pixels[(size_t)y * 1920 + x] != 0;
  EXPECT_GT(stars, 100u) << "scene";

  // The carried files, byte for byte and nothing else, in the prefix's temporary folder.
  const fs::path folder = PrefixTemp() / "ZORLA_VELDA5_2D";
  int files = 0;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    files++;
    EXPECT_EQ(ReadFile(entry.path()), ReadFile(fs::path(ZYNTRAX_ASSET_DIR) / entry.path().filename()))
        << entry.path();
  }
  EXPECT_EQ(files, 25) << folder;

  RunOn(desktop, "xdotool key Escape");
  EXPECT_EQ(Exit(), 0);
}

TEST_F(WindowsShow, WindowedOnASmallDesktopIsScaledAndTheCloseBoxEndsIt) {
  Start(1366, 768);
  RunOn(desktop, WineCommand() + "'" + TOOL + "win_inspect.exe' select '" + DIALOG + "' 0");
  EXPECT_EQ(Inspect(DIALOG).Find("ComboBox", "")->state, 0);
  ClickLaunch();
  WindowGeometry show = WaitForWindow(desktop, SHOW, 60000);
  ASSERT_NE(show.id, 0) << "no show window";
  // Scaled down to fit: 0.65422 of 1920 x 1080 inside the window's frame.
  EXPECT_EQ(show.width, 1256);
  EXPECT_EQ(show.height, 707);
  SleepMs(2000);
  Screenshot(desktop, scratch + "windowed.png");
  ASSERT_TRUE(SendCloseRequest(desktop, show.id));
  EXPECT_EQ(Exit(), 0);
}

TEST_F(WindowsShow, ASpoiledPictureGivesItsOneErrorBoxAndTheShowStarts) {
  // The folder as an earlier run left it, with one picture spoiled at its own size.
  const fs::path folder = PrefixTemp() / "ZORLA_VELDA5_2D";
  fs::create_directories(folder);
  for (const auto& entry : fs::directory_iterator(ZYNTRAX_ASSET_DIR)) fs::copy_file(entry.path(), folder / entry.path().filename());
  const std::string size = ReadFile(folder / "ship.png");
  std::ofstream(folder / "ship.png", std::ios::binary | std::ios::trunc) << std::string(size.size(), 'x');
  Start();
  ClickLaunch();
  WindowGeometry box = WaitForWindow(desktop, "Erreur", 60000);
  ASSERT_NE(box.id, 0) << "no box";
  Controls texts = Inspect("Erreur");
  EXPECT_TRUE(texts.Find("Static", "ship.png non chargé.")) << "the box's text";
  Screenshot(desktop, scratch + "spoiled.png");
  RunOn(desktop, "xdotool key Return");
  SleepMs(3000);
  EXPECT_TRUE(WindowGone(desktop, "Erreur")) << "one box only";
  WindowGeometry show = WaitForWindow(desktop, SHOW, 10000);
  ASSERT_NE(show.id, 0);
  RunOn(desktop, "xdotool key Escape");
  EXPECT_EQ(Exit(), 0);
}

// paint_frames.exe paints the show at six clocks on its seed, and this process
// the same moments: only pixels where the two C libraries' sin and cos round
// differently may differ.
TEST_F(WindowsShow, FramesEqualTheNativeFramesAtSixClocks) {
  OpenDesktop();
  const uint64_t seed = 1234;
  std::string clocks;
  std::vector<int64_t> at;
  for (int64_t row : {0, 1, 7, 11, 14, 19}) {
    at.push_back(RowStartMs(row) + std::min<int64_t>(RowDurationMs(row) * 6 / 10, 6000));
    clocks += " " + std::to_string(at.back());
  }
  const std::string folder = TestScratchFolder("windows-frames");
  std::string out = RunOn(desktop, WineCommand() + "'" + TOOL + "paint_frames.exe' " + std::to_string(seed) + " 'Z:" +
                                       folder + "'" + clocks + "; echo status $?");
  ASSERT_NE(out.find("status 0"), std::string::npos) << out;
  for (int64_t ms : at) {
    const int64_t row = TimelineRowAt(ms);
    std::string bytes = ReadFile(folder + std::to_string(ms) + ".rgb");
    NativeFrame native = NativeFrameAt(ms, seed);
    ASSERT_EQ(bytes.size(), native.pixels.size() * 4) << "row " << row;
    std::vector<uint32_t> windows(native.pixels.size());
    std::memcpy(windows.data(), bytes.data(), bytes.size());
    size_t differ = 0;
    for (size_t i = 0; i < windows.size(); i++) differ += (windows[i] & 0xFFFFFF) != native.pixels[i];
    const double same = 100.0 * (double)(windows.size() - differ) / (double)windows.size();
    std::printf("row %2lld at %7lld ms: %8zu of %zu pixels differ, %.4f %% identical\n", (long long)row,
                (long long)ms, differ, windows.size(), same);
    EXPECT_GE(same, 99.9) << "row " << row;
    EXPECT_GT(DistinctColours(RgbPicture{1920, 1080, native.pixels}, 0, 0, 1920, 1080, 256), 64) << "blank row " << row;
  }
}

// The WGL presenter, forced on (Mesa's llvmpipe under Wine), shows what the
// DIB path shows: the same stretched picture, pixel for pixel. Left to choose,
// the program takes the DIB path on a software renderer, and asks which GL it
// has without giving the window a pixel format (Wine's DIB puts on a window
// with one go through the X connection).
TEST_F(WindowsShow, TheGlPresenterShowsWhatTheDibPresenterShows) {
  OpenDesktop();
  std::map<std::string, RgbPicture> shots;
  for (std::string presenter : {"auto", "gl"}) {
    const std::string out = scratch + "present-" + presenter + ".txt";
    pid_t check = StartCommand(desktop, WineEnvironment(),
                               {"sh", "-c", "wine '" + TOOL + "present_check.exe' " + presenter + " 6 > '" + out + "'"});
    ASSERT_GT(check, 0);
    WindowGeometry window = WaitForWindow(desktop, "present check", 60000);
    ASSERT_NE(window.id, 0);
    SleepMs(2500);
    shots[presenter] = Screenshot(desktop, scratch + "present-" + presenter + ".png");
    EXPECT_EQ(WaitForProgram(check, 30000), 0);
    std::string used = ReadFile(out);
    EXPECT_EQ(used.substr(0, used.find_first_of("\r\n")), presenter == "auto" ? "dib" : "gl") << used;
    if (presenter == "auto") {
      EXPECT_NE(used.find("pixel format 0"), std::string::npos) << used;
    }
  }
  const RgbPicture& dib = shots["auto"];
  const RgbPicture& gl = shots["gl"];
  ASSERT_EQ(dib.width, 1920);
  ASSERT_EQ(gl.width, 1920);
  size_t differ = 0;
  for (int y = 0; y < 720; y++)
    for (int x = 0; x < 1280; x++) differ += dib.pixels[(size_t)y * 1920 + x] != gl.pixels[(size_t)y * 1920 + x];
  std::printf("%zu of %d pixels differ between the presenters\n", differ, 1280 * 720);
  EXPECT_LE(differ, 1280u * 720u / 1000u);
  EXPECT_GT(DistinctColours(dib, 0, 0, 1280, 720, 256), 16);
}
// Another program's window activated over the exclusive full screen gives the
// desktop its mode back and minimises the show; activating the show again
// takes its mode back (activation_check.exe drives it and reports each step).
TEST_F(WindowsShow, FullScreenGivesTheModeBackWhileAnotherWindowIsActive) {
  OpenDesktop();
  ::Display* mode = AddScreenMode(desktop, 1280, 720);
  ASSERT_TRUE(mode);
  const std::string out =
      RunOn(desktop, WineCommand() + "'" + TOOL + "activation_check.exe' 1280 720; echo status $?");
  XCloseDisplay(mode);
  for (const char* step : {"shown 1280 720 0", "left 1920 1080 1", "back 1280 720 0", "closed 1920 1080 0", "status 0"})
    EXPECT_NE(out.find(step), std::string::npos) << step << " in:\n" << out;
}
}  // namespace
