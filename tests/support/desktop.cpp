// Xvfb, the program and xdotool for the end-to-end tests.
#include "support/desktop.h"

#include <X11/Xlib.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

namespace {
void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
}  // namespace

TestDesktop StartDesktop(int width, int height) {
  TestDesktop d;
  // Xvfb picks a free display itself and writes its number to the pipe, so
  // tests running side by side never share a screen.
  int fds[2];
  if (pipe(fds) != 0) return d;
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    std::string fd = std::to_string(fds[1]);
    freopen("/dev/null", "w", stderr);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
           "+extension", "GLX", (char*)nullptr);
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  d.server = pid;
  if (number.empty()) {
    StopDesktop(d);
    return d;
  }
  d.display = std::atoi(number.c_str());
  for (int i = 0; i < 100; i++) {
    if (RunOn(d, "xdpyinfo >/dev/null 2>&1 && echo up").find("up") != std::string::npos) return d;
    SleepMs(50);
  }
  StopDesktop(d);
  return d;
}

void StopDesktop(TestDesktop& d) {
  if (d.server > 0) {
    kill(d.server, SIGTERM);
    waitpid(d.server, nullptr, 0);
  }
  d.server = -1;
  d.display = -1;
}

std::string RunOn(const TestDesktop& d, const std::string& command) {
  std::string full = "DISPLAY=" + d.name() + " " + command;
  FILE* p = popen(full.c_str(), "r");
  if (!p) return "";
  std::string out;
  char buf[512];
  while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  pclose(p);
  return out;
}

namespace {
// Windows named exactly `name` anywhere below the root (a window manager puts
// each client in a frame of its own), found through xwininfo (xdotool cannot
// match names stored as UTF-8 strings).
std::vector<long> WindowsNamed(const TestDesktop& d, const std::string& name) {
  std::vector<long> ids;
  std::istringstream lines(RunOn(d, "xwininfo -root -tree 2>/dev/null"));
  std::string line, quoted = "\"" + name + "\":";
  while (std::getline(lines, line)) {
    size_t at = line.find(quoted);
    if (at == std::string::npos) continue;
    long id = std::strtol(line.c_str(), nullptr, 16);
    if (id) ids.push_back(id);
  }
  return ids;
}

bool Viewable(const TestDesktop& d, long id, WindowGeometry& g) {
  std::istringstream lines(RunOn(d, "xwininfo -id " + std::to_string(id) + " 2>/dev/null"));
  std::string line;
  bool viewable = false;
  auto value = [&](const char* key, int& out) {
    size_t at = line.find(key);
    if (at != std::string::npos) out = std::atoi(line.c_str() + at + std::strlen(key));
  };
  while (std::getline(lines, line)) {
    if (line.find("Map State: IsViewable") != std::string::npos) viewable = true;
    value("Absolute upper-left X:", g.x);
    value("Absolute upper-left Y:", g.y);
    value("Width:", g.width);
    value("Height:", g.height);
  }
  g.id = id;
  return viewable;
}
}  // namespace

WindowGeometry WaitForWindow(const TestDesktop& d, const std::string& name, int timeoutMs) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < until) {
    for (long id : WindowsNamed(d, name)) {
      WindowGeometry g;
      if (Viewable(d, id, g) && g.width > 0) return g;
    }
    SleepMs(100);
  }
  return WindowGeometry{};
}

bool WindowGone(const TestDesktop& d, const std::string& name) {
  WindowGeometry g;
  for (long id : WindowsNamed(d, name))
    if (Viewable(d, id, g)) return false;
  return true;
}

pid_t StartCommand(const TestDesktop& d, const std::vector<std::string>& environment,
                   const std::vector<std::string>& command, const std::string& stderrPath) {
  if (command.empty()) return -1;
  pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", d.name().c_str(), 1);
    for (const std::string& e : environment) putenv(strdup(e.c_str()));
    freopen(stderrPath.c_str(), "w", stderr);
    freopen("/dev/null", "w", stdout);
    std::vector<char*> argv;
    for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

pid_t StartProgram(const TestDesktop& d, const std::vector<std::string>& environment, const std::string& stderrPath) {
  return StartCommand(d, environment, {ZYNTRAX_BINARY}, stderrPath);
}

int WaitForProgram(pid_t pid, int timeoutMs) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < until) {
    int status = 0;
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    SleepMs(50);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return -1;
}

bool SendCloseRequest(const TestDesktop& d, long window) {
  Display* x = XOpenDisplay(d.name().c_str());
  if (!x) return false;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = (Window)window;
  e.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = (long)XInternAtom(x, "WM_DELETE_WINDOW", False);
  e.xclient.data.l[1] = CurrentTime;
  bool ok = XSendEvent(x, (Window)window, False, NoEventMask, &e) != 0;
  XFlush(x);
  XCloseDisplay(x);
  return ok;
}
