// The real program on private Xvfb screens, driven with xdotool: the launcher's
// choices, the window in each display mode, the music, and every way out.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

#include "driver/driver.h"
#include "platform/platform.h"
#include "render/image.h"
#include "support/desktop.h"

namespace fs = std::filesystem;

namespace {
const char* DIALOG = "Velda Party 5 - Setup";
const char* SHOW = "Velda Party 5";

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

struct ShowRun {
  TestDesktop desktop;
  std::string tmp;    // TMPDIR of the program: its asset folder lies below
  std::string sound;  // what the audio device played, written by SDL's disk driver
  std::string errors;
  pid_t pid = -1;
  WindowGeometry dialog;

  ShowRun(int width, int height) {
    desktop = StartDesktop(width, height);
    tmp = std::string(ZYNTRAX_TEST_SCRATCH) + "/program-" + std::to_string(getpid()) + "-" +
          std::to_string(desktop.display);
    fs::remove_all(tmp);
    fs::create_directories(tmp);
    sound = tmp + "/sound.raw";
    errors = tmp + "/stderr.txt";
  }
  ~ShowRun() {
    if (pid > 0) WaitForProgram(pid, 1);
    StopDesktop(desktop);
    fs::remove_all(tmp);
  }
  std::string AssetFolder() const { return tmp + "/zyntrax-" + std::to_string(geteuid()) + "/ZORLA_VELDA5_2D/"; }
  bool Start() {
    if (desktop.display < 0) return false;
    pid = StartProgram(desktop,
                       {"TMPDIR=" + tmp, "SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + sound,
                        "ASAN_OPTIONS=detect_leaks=0", "LIBGL_ALWAYS_SOFTWARE=1"},
                       errors);
    dialog = WaitForWindow(desktop, DIALOG, 30000);
    if (dialog.id == 0) {  // say what the program printed and which windows it had
      std::ifstream in(errors);
      ADD_FAILURE() << "no launcher; the program printed:\n"
                    << std::string((std::istreambuf_iterator<char>(in)), {})
                    << RunOn(desktop, "xwininfo -root -children 2>&1");
    }
    return dialog.id != 0;
  }
  void Key(long window, const std::string& key) {
    RunOn(desktop, "xdotool windowfocus --sync " + std::to_string(window) + " key " + key + " 2>/dev/null");
    SleepMs(150);
  }
  void Click(long window, int x, int y) {
    RunOn(desktop, "xdotool mousemove --sync --window " + std::to_string(window) + " " + std::to_string(x) + " " +
                       std::to_string(y) + " click 1 2>/dev/null");
    SleepMs(150);
  }
  // Presses Return on a message box until it has gone (a key sent while the
  // box is still being mapped can be lost).
  bool Dismiss(const WindowGeometry& box) {
    for (int i = 0; i < 40; i++) {
      if (WindowGone(desktop, "Erreur")) return true;
      Key(box.id, "Return");
      SleepMs(250);
    }
    return WindowGone(desktop, "Erreur");
  }
  void ChooseMode(int index) {  // the combo box starts on item 1 and has the keyboard
    if (index == 0) Key(dialog.id, "Up");
    if (index == 2) Key(dialog.id, "Down");
  }
  void TickMute() { Click(dialog.id, 250, 382); }
  void Launch() { Click(dialog.id, 340, 437); }
  int Exit(int timeoutMs = 20000) {
    int code = WaitForProgram(pid, timeoutMs);
    pid = -1;
    return code;
  }
};

// The asset folder laid as a first run would, with `spoil` written over the
// named file (empty: every file as carried).
void LayAssetFolder(const ShowRun& run, const std::string& name, const std::string& spoil) {
  std::string folder = run.AssetFolder();
  fs::create_directories(folder);
  fs::permissions(run.tmp + "/zyntrax-" + std::to_string(geteuid()), fs::perms::owner_all);
  fs::permissions(folder, fs::perms::owner_all);
  for (const EmbeddedAsset& a : ASSET_PACK) {
    std::ofstream out(folder + a.name, std::ios::binary);
    if (a.name == name)
      out << spoil;
    else
      out.write((const char*)a.bytes, a.length);
  }
}

// Bytes of the carried file's own size that are no picture: extraction keeps
// them, since only the size is compared.
std::string SpoiltCopy(const std::string& name) {
  for (const EmbeddedAsset& a : ASSET_PACK)
    if (a.name == name) return std::string((size_t)a.length, '\x5a');
  return "";
}

// Client windows from bottom to top, as the window manager stacks them.
std::vector<long> StackingOrder(const TestDesktop& desktop) {
  std::string out = RunOn(desktop, "xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null");
  std::vector<long> ids;
  for (size_t at = out.find("0x"); at != std::string::npos; at = out.find("0x", at + 2))
    ids.push_back(std::strtol(out.c_str() + at, nullptr, 16));
  return ids;
}

// Starts openbox on the desktop and waits until it manages the screen.
bool StartWindowManager(const TestDesktop& desktop) {
  RunOn(desktop, "openbox --sm-disable >/dev/null 2>&1 &");
  for (int i = 0; i < 300; i++) {
    if (RunOn(desktop, "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("window id") != std::string::npos)
      return true;
    SleepMs(100);
  }
  return false;
}

std::vector<int16_t> ReadSamples(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  std::vector<int16_t> s(bytes.size() / 2);
  memcpy(s.data(), bytes.data(), s.size() * 2);
  return s;
}

std::vector<int16_t> DecodeTrack(size_t samples) {
  std::vector<int16_t> out;
  OggVorbis_File vf;
  std::string path = std::string(ZYNTRAX_ASSET_DIR) + "/music.ogg";
  if (ov_fopen(path.c_str(), &vf) != 0) return out;
  out.resize(samples);
  size_t got = 0;
  int section = 0;
  while (got < samples) {
    long n = ov_read(&vf, (char*)(out.data() + got), (int)((samples - got) * 2), 0, 2, 1, &section);
    if (n <= 0) break;
    got += (size_t)n / 2;
  }
  out.resize(got);
  ov_clear(&vf);
  return out;
}

double Energy(const int16_t* s, size_t n) {
  double e = 0;
  for (size_t i = 0; i < n; i++) e += (double)s[i] * s[i];
  return e;
}
}  // namespace

TEST(Program, DefaultsOpenTheShowFullScreenAtVolume80AndEscapeEndsIt) {
  ShowRun run(1920, 1080);
  ASSERT_TRUE(run.Start());
  EXPECT_EQ(run.dialog.width, 640);
  EXPECT_EQ(run.dialog.height, 530);
  EXPECT_EQ(run.dialog.x, (1920 - 640) / 2);
  run.Launch();
  WindowGeometry show = WaitForWindow(run.desktop, SHOW, 30000);
  ASSERT_NE(show.id, 0);
  EXPECT_TRUE(WindowGone(run.desktop, DIALOG));
  EXPECT_EQ(show.x, 0);
  EXPECT_EQ(show.y, 0);
  EXPECT_EQ(show.width, 1920);
  EXPECT_EQ(show.height, 1080);
  SleepMs(2500);
  run.Key(show.id, "Escape");
  EXPECT_EQ(run.Exit(), 0);

  // The device played the track from its first sample at 80 % of its level.
  std::vector<int16_t> played = ReadSamples(run.sound);
  size_t first = 0;
  while (first < played.size() && played[first] == 0) first++;
  ASSERT_LT(first + 48000, played.size()) << "no music reached the audio device";
  std::vector<int16_t> track = DecodeTrack(96000 * 2);
  size_t lead = 0;
  while (lead < track.size() && track[lead] == 0) lead++;
  ASSERT_GT(track.size(), lead + 48000);
  double ratio = std::sqrt(Energy(&played[first], 48000) / Energy(&track[lead], 48000));
  EXPECT_NEAR(ratio, 0.8, 0.03);
}

TEST(Program, WindowedAndMutedOnASmallDesktopOpensAScaledWindowInSilence) {
  ShowRun run(1366, 768);
  ASSERT_TRUE(run.Start());
  run.ChooseMode(0);
  run.TickMute();
  run.Launch();
  WindowGeometry show = WaitForWindow(run.desktop, SHOW, 30000);
  ASSERT_NE(show.id, 0);
  EXPECT_EQ(show.width, 1256);
  EXPECT_EQ(show.height, 707);
  EXPECT_EQ(show.x, 55);
  EXPECT_EQ(show.y, 30);
  SleepMs(1500);
  SendCloseRequest(run.desktop, show.id);  // the close box
  EXPECT_EQ(run.Exit(), 0);
  std::vector<int16_t> played = ReadSamples(run.sound);
  EXPECT_EQ(Energy(played.data(), played.size()), 0.0) << "music started although muted";
}

TEST(Program, WindowGeometryInEachModeAndDesktop) {
  struct Case { int w, h, mode; int x, y, width, height; };
  const Case cases[] = {
      {1920, 1080, 0, 0, 0, 1920, 1080}, {1280, 1024, 0, 51, 181, 1178, 662},
      {1366, 768, 2, 0, 0, 1366, 768},   {1280, 1024, 2, 0, 0, 1280, 1024},
      {1920, 1080, 2, 0, 0, 1920, 1080}, {1366, 768, 1, 0, 0, 1366, 768},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " mode " + std::to_string(c.mode));
    ShowRun run(c.w, c.h);
    ASSERT_TRUE(run.Start());
    run.ChooseMode(c.mode);
    run.TickMute();
    run.Launch();
    WindowGeometry show = WaitForWindow(run.desktop, SHOW, 30000);
    ASSERT_NE(show.id, 0);
    EXPECT_EQ(show.x, c.x);
    EXPECT_EQ(show.y, c.y);
    EXPECT_EQ(show.width, c.width);
    EXPECT_EQ(show.height, c.height);
    run.Key(show.id, "Escape");
    EXPECT_EQ(run.Exit(), 0);
  }
}

TEST(Program, ClosingTheDialogEndsWithoutAShow) {
  ShowRun run(1920, 1080);
  ASSERT_TRUE(run.Start());
  SendCloseRequest(run.desktop, run.dialog.id);
  EXPECT_EQ(run.Exit(), 0);
  EXPECT_TRUE(WindowGone(run.desktop, SHOW));
}

TEST(Program, ACorruptPictureIsReportedAndTheShowStillStarts) {
  ShowRun run(1920, 1080);
  LayAssetFolder(run, "ship.png", SpoiltCopy("ship.png"));
  ASSERT_TRUE(run.Start());
  run.TickMute();
  run.Launch();
  WindowGeometry box = WaitForWindow(run.desktop, "Erreur", 30000);
  ASSERT_NE(box.id, 0) << "no message for the spoilt picture";
  ASSERT_TRUE(run.Dismiss(box));
  WindowGeometry show = WaitForWindow(run.desktop, SHOW, 30000);
  ASSERT_NE(show.id, 0);
  run.Key(show.id, "Escape");
  EXPECT_EQ(run.Exit(), 0);
}

TEST(Program, WithoutTheBannerTheDialogShowsItsName) {
  ShowRun run(1920, 1080);
  std::string folder = run.AssetFolder();
  fs::create_directories(folder);
  fs::permissions(run.tmp + "/zyntrax-" + std::to_string(geteuid()), fs::perms::owner_all);
  fs::permissions(folder, fs::perms::owner_all);
  fs::create_directory(folder + "launcher.png");  // cannot be written, cannot be loaded
  pid_t pid = StartProgram(run.desktop, {"TMPDIR=" + run.tmp, "SDL_AUDIODRIVER=dummy"}, run.errors);
  run.pid = pid;
  WindowGeometry box = WaitForWindow(run.desktop, "Erreur", 30000);
  ASSERT_NE(box.id, 0);
  ASSERT_TRUE(run.Dismiss(box));
  run.dialog = WaitForWindow(run.desktop, DIALOG, 30000);
  ASSERT_NE(run.dialog.id, 0);
  SleepMs(800);
  std::string shot = run.tmp + "/dialog.png";
  RunOn(run.desktop, "import -window " + std::to_string(run.dialog.id) + " " + shot + " 2>/dev/null");
  std::string bytes;
  DecodedImage img;
  ASSERT_TRUE(ReadWholeFile(shot, bytes));
  ASSERT_TRUE(DecodeImage((const uint8_t*)bytes.data(), bytes.size(), img));
  // White text on the black picture canvas (20, 20, 600 x 200), near its middle.
  int white = 0, other = 0;
  int bpp = img.depth / 8;
  for (int y = 20; y < 220 && y < img.height; y++)
    for (int x = 20; x < 620 && x < img.width; x++) {
      const uint8_t* p = &img.pixels[((size_t)y * img.width + x) * bpp];
      if (p[0] > 200 && p[1] > 200 && p[2] > 200) {
        white++;
        EXPECT_TRUE(x >= 170 && x < 420 && y >= 100 && y < 140) << x << "," << y;
      } else if (p[0] + p[1] + p[2] > 30) {
        other++;
      }
    }
  EXPECT_GT(white, 50);
  SendCloseRequest(run.desktop, run.dialog.id);
  EXPECT_EQ(run.Exit(), 0);
}

TEST(Program, SigtermEndsAFullScreenAndAWindowedShowAtOnce) {
  for (int mode : {1, 0}) {
    SCOPED_TRACE(mode == 1 ? "full screen" : "windowed");
    ShowRun run(1920, 1080);
    ASSERT_TRUE(run.Start());
    run.ChooseMode(mode);
    run.TickMute();
    run.Launch();
    ASSERT_NE(WaitForWindow(run.desktop, SHOW, 30000).id, 0);
    SleepMs(3000);  // loading done, frames running
    kill(run.pid, SIGTERM);
    EXPECT_EQ(run.Exit(2000), 0);
  }
}

// Started under nohup, a hang-up leaves the program running; Ctrl+C still ends it.
TEST(Program, SigintDuringTheLauncherEndsWithoutAShowAndAnIgnoredHangUpStaysIgnored) {
  ShowRun run(1920, 1080);
  signal(SIGHUP, SIG_IGN);
  const bool started = run.Start();
  signal(SIGHUP, SIG_DFL);
  ASSERT_TRUE(started);
  SleepMs(500);
  kill(run.pid, SIGHUP);
  SleepMs(500);
  EXPECT_EQ(waitpid(run.pid, nullptr, WNOHANG), 0) << "a hang-up ended a program started under nohup";
  kill(run.pid, SIGINT);
  EXPECT_EQ(run.Exit(5000), 0);
  EXPECT_TRUE(WindowGone(run.desktop, SHOW));
  EXPECT_TRUE(WindowGone(run.desktop, DIALOG));
}

TEST(Program, AMessageBoxStaysAboveTheFullScreenShow) {
  ShowRun run(1920, 1080);
  ASSERT_TRUE(StartWindowManager(run.desktop));
  LayAssetFolder(run, "ship.png", SpoiltCopy("ship.png"));
  ASSERT_TRUE(run.Start());
  run.TickMute();
  run.Launch();  // full screen is the default
  WindowGeometry box = WaitForWindow(run.desktop, "Erreur", 30000);
  ASSERT_NE(box.id, 0) << "no message box was mapped";
  WindowGeometry show = WaitForWindow(run.desktop, SHOW, 5000);
  ASSERT_NE(show.id, 0);
  // Even when the show takes the focus back, the box stays on top of it.
  RunOn(run.desktop, "xdotool windowactivate " + std::to_string(show.id) + " 2>/dev/null");
  SleepMs(800);  // let the window manager settle its stacking
  std::vector<long> order = StackingOrder(run.desktop);
  auto boxAt = std::find(order.begin(), order.end(), box.id);
  auto showAt = std::find(order.begin(), order.end(), show.id);
  ASSERT_NE(boxAt, order.end());
  ASSERT_NE(showAt, order.end());
  EXPECT_GT(boxAt - order.begin(), showAt - order.begin()) << "the box is under the show";
  ASSERT_TRUE(run.Dismiss(box));
  run.Key(show.id, "Escape");
  EXPECT_EQ(run.Exit(), 0);
}

TEST(Program, AFifoInPlaceOfAPictureIsRefusedAndTheShowStarts) {
  ShowRun run(1920, 1080);
  LayAssetFolder(run, "", "");
  std::string fifo = run.AssetFolder() + "launcher.png";
  fs::remove(fifo);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  pid_t pid = StartProgram(run.desktop, {"TMPDIR=" + run.tmp, "SDL_AUDIODRIVER=dummy"}, run.errors);
  run.pid = pid;
  WindowGeometry box = WaitForWindow(run.desktop, "Erreur", 30000);
  ASSERT_NE(box.id, 0) << "no message for the file that cannot be written";
  ASSERT_TRUE(run.Dismiss(box));
  run.dialog = WaitForWindow(run.desktop, DIALOG, 30000);
  ASSERT_NE(run.dialog.id, 0) << "the launcher never opened";
  run.Launch();
  WindowGeometry show = WaitForWindow(run.desktop, SHOW, 30000);
  ASSERT_NE(show.id, 0);
  run.Key(show.id, "Escape");
  EXPECT_EQ(run.Exit(), 0);
}

TEST(Program, WithoutADisplayOnlyItsOwnMessageIsPrinted) {
  std::string errors = std::string(ZYNTRAX_TEST_SCRATCH) + "/no-display-" + std::to_string(getpid()) + ".txt";
  std::string tmp = std::string(ZYNTRAX_TEST_SCRATCH) + "/no-display-" + std::to_string(getpid());
  fs::create_directories(tmp);
  pid_t pid = fork();
  if (pid == 0) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("XDG_RUNTIME_DIR");
    setenv("TMPDIR", tmp.c_str(), 1);
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    freopen(errors.c_str(), "w", stderr);
    freopen("/dev/null", "w", stdout);
    execl(ZYNTRAX_BINARY, ZYNTRAX_BINARY, (char*)nullptr);
    _exit(127);
  }
  EXPECT_EQ(WaitForProgram(pid, 60000), 0);
  std::ifstream in(errors);
  std::string printed((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(printed, "Erreur: Impossible d'ouvrir le plein écran.\n");
  fs::remove_all(tmp);
  fs::remove(errors);
}
