// Browser processes for the tests: own group, death with the parent, bounded
// waits, the whole group killed, private folders removed.
#include "web/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

pid_t StartGroupChild(const std::string& binary, const char* const* args, const std::string& logPath,
                      const std::function<bool()>& prepare, std::string& error) {
  pid_t parent = getpid();
  pid_t pid = fork();
  if (pid < 0) {
    error = std::string("fork: ") + std::strerror(errno);
    return -1;
  }
  if (pid == 0) {
    // The child: own process group (killed as one), gone with the test process.
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int null = open("/dev/null", O_RDONLY);
    if (log < 0 || null < 0 || dup2(null, 0) < 0 || dup2(log, 1) < 0 || dup2(log, 2) < 0 || !prepare()) _exit(127);
    execv(binary.c_str(), const_cast<char* const*>(args));
    _exit(127);
  }
  setpgid(pid, pid);  // also from here, so that the group exists before any kill
  signal(SIGPIPE, SIG_IGN);
  return pid;
}

bool WaitForExit(pid_t pid, int ms) {
  int64_t until = NowMs() + ms;
  while (true) {
    int status = 0;
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid || (r < 0 && errno == ECHILD)) return true;
    if (NowMs() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void StopGroupChild(pid_t pid, int graceMs) {
  if (pid <= 0) return;
  if (!WaitForExit(pid, graceMs)) {
    kill(-pid, SIGTERM);
    if (!WaitForExit(pid, 3000)) {
      kill(-pid, SIGKILL);
      WaitForExit(pid, 5000);
    }
  }
  // Helpers of the browser that outlived it go too.
  kill(-pid, SIGKILL);
}

std::string MakePrivateFolder(const std::string& stem, std::string& error) {
  std::string pattern = "/tmp/" + stem + "-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    error = std::string("cannot make a private folder: ") + std::strerror(errno);
    return "";
  }
  return pattern;
}

void RemoveTree(const std::string& path) {
  if (path.empty()) return;
  std::string command = "rm -rf '" + path + "'";
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", path.c_str());
}

std::string FileTail(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  std::string text = s.str();
  return text.size() > 4096 ? text.substr(text.size() - 4096) : text;
}
