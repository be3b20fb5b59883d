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
  for (int n = 70 + (getpid() % 50); n < 200; n++) {
    std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
    struct stat st;
    if (stat(lock.c_str(), &st) == 0) continue;
    pid_t pid = fork();
    if (pid == 0) {
      std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
      std::string disp = ":" + std::to_string(n);
      freopen("/dev/null", "w", stderr);
      execlp("Xvfb", "Xvfb", disp.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", "+extension",
             "GLX", (char*)nullptr);
      _exit(127);
    }
    d.display = n;
    d.server = pid;
    for (int i = 0; i < 100; i++) {
      if (RunOn(d, "xdpyinfo >/dev/null 2>&1 && echo up").find("up") != std::string::npos) return d;
      SleepMs(50);
    }
    StopDesktop(d);
  }
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

WindowGeometry WaitForWindow(const TestDesktop& d, const std::string& name, int timeoutMs) {
  WindowGeometry g;
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < until) {
    std::string ids = RunOn(d, "xdotool search --onlyvisible --name '^" + name + "$' 2>/dev/null");
    std::istringstream in(ids);
    long id = 0;
    if (in >> id) {
      std::string shell = RunOn(d, "xdotool getwindowgeometry --shell " + std::to_string(id) + " 2>/dev/null");
      std::istringstream lines(shell);
      std::string line;
      while (std::getline(lines, line)) {
        auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        int value = std::atoi(line.c_str() + eq + 1);
        if (key == "X") g.x = value;
        if (key == "Y") g.y = value;
        if (key == "WIDTH") g.width = value;
        if (key == "HEIGHT") g.height = value;
      }
      g.id = id;
      if (g.width > 0) return g;
    }
    SleepMs(100);
  }
  return g;
}

bool WindowGone(const TestDesktop& d, const std::string& name) {
  return RunOn(d, "xdotool search --onlyvisible --name '^" + name + "$' 2>/dev/null").empty();
}

pid_t StartProgram(const TestDesktop& d, const std::vector<std::string>& environment, const std::string& stderrPath) {
  pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", d.name().c_str(), 1);
    for (const std::string& e : environment) putenv(strdup(e.c_str()));
    freopen(stderrPath.c_str(), "w", stderr);
    freopen("/dev/null", "w", stdout);
    execl(ZYNTRAX_BINARY, ZYNTRAX_BINARY, (char*)nullptr);
    _exit(127);
  }
  return pid;
}

int WaitForExit(pid_t pid, int timeoutMs) {
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
