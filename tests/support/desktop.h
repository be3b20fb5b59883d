// Test helpers for driving the real program: a private Xvfb screen of a chosen
// size, the program started on it, and xdotool to find and poke its windows.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

struct TestDesktop {
  int display = -1;
  pid_t server = -1;
  std::string name() const { return ":" + std::to_string(display); }
};
// Starts Xvfb with one screen of width x height; display -1 when it fails.
TestDesktop StartDesktop(int width, int height);
void StopDesktop(TestDesktop& desktop);

struct WindowGeometry {
  long id = 0;
  int x = 0, y = 0, width = 0, height = 0;
};
// Runs a shell command with DISPLAY set to the desktop; returns its output.
std::string RunOn(const TestDesktop& desktop, const std::string& command);
// Waits up to timeoutMs for a visible window whose name matches exactly.
WindowGeometry WaitForWindow(const TestDesktop& desktop, const std::string& name, int timeoutMs);
// Asks a window to close, as its close box does (WM_DELETE_WINDOW).
bool SendCloseRequest(const TestDesktop& desktop, long window);
bool WindowGone(const TestDesktop& desktop, const std::string& name);

// Starts the program on the desktop with extra environment entries (for the
// system: TMPDIR, SDL's audio driver); returns its pid.
pid_t StartProgram(const TestDesktop& desktop, const std::vector<std::string>& environment,
                   const std::string& stderrPath = "/dev/null");
// Starts any command (argv[0] looked up in PATH) the same way.
pid_t StartCommand(const TestDesktop& desktop, const std::vector<std::string>& environment,
                   const std::vector<std::string>& command, const std::string& stderrPath = "/dev/null");
// Waits up to timeoutMs for it to end; returns its exit code, or -1 (killed) on time-out.
int WaitForProgram(pid_t pid, int timeoutMs);
