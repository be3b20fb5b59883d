// The capture's output file: O_TMPFILE in the target's folder, linked in once
// synced; or the fallback part file, O_EXCL | O_NOFOLLOW under a random name in
// the same folder (so the final rename stays on one file system), watched by
// a child process that removes it when the capture dies without naming it.
#include "tools/capture/part_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/capture/test_hooks.h"

namespace {
std::string FolderOf(const std::string& target) {
  size_t slash = target.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : target.substr(0, slash);
}

std::string RandomHex(int bytes) {
  unsigned char raw[16] = {};
  if (bytes > 16) bytes = 16;
  if (getrandom(raw, (size_t)bytes, 0) != bytes) {
    // No random source: the time and the process make a name that O_EXCL still guards.
    struct timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    unsigned long long mix = (unsigned long long)now.tv_nsec ^ ((unsigned long long)getpid() << 32);
    std::memcpy(raw, &mix, sizeof mix);
  }
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (int i = 0; i < bytes; i++) {
    out += digits[raw[i] >> 4];
    out += digits[raw[i] & 15];
  }
  return out;
}

// ".NAME.XXXXXXXXXXXX.part" beside target.
std::string PartName(const std::string& target) {
  size_t slash = target.find_last_of('/');
  std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  return dir + "." + name + "." + RandomHex(6) + ".part";
}

std::string ProcPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// An unnamed file in folder that can be linked in later (through /proc); -1
// where the file system or the system cannot.
int OpenUnnamed(const std::string& folder) {
  if (TestRefusesUnnamedFiles()) return -1;
  int fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  if (access(ProcPath(fd).c_str(), F_OK) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// A child that waits on a pipe and removes path when the pipe closes without
// a word: the capture has died. It ignores the stop signals (Ctrl+C reaches
// the whole process group) and holds nothing else open. Returns its pid and
// the pipe's writing end in *tell, or -1.
pid_t StartWatcher(const std::string& path, int* tell) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return -1;
  const char* name = path.c_str();
  pid_t pid = fork();
  if (pid == 0) {
    // Only async-signal-safe calls from here on.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) sigaction(sig, &ignore, nullptr);
    int null = open("/dev/null", O_RDWR);
    for (int fd = 0; fd < 3; fd++)
      if (null >= 0) dup2(null, fd);
    for (int fd = 3; fd < 1024; fd++)
      if (fd != ends[0]) close(fd);
    char word = 0;
    ssize_t n;
    while ((n = read(ends[0], &word, 1)) < 0 && errno == EINTR) {
    }
    if (n <= 0) unlink(name);
    _exit(0);
  }
  close(ends[0]);
  if (pid < 0) {
    close(ends[1]);
    return -1;
  }
  *tell = ends[1];
  return pid;
}

// Tells the watcher that the part file is dealt with, and waits for it.
void StopWatcher(OutputFile& out) {
  if (out.watcher <= 0) return;
  const char word = 'k';
  if (write(out.watcherPipe, &word, 1) == 1) waitpid(out.watcher, nullptr, 0);
  close(out.watcherPipe);
  out.watcher = -1;
  out.watcherPipe = -1;
}

// Gives the written file one more name, never over a file already there;
// false with errno set.
bool LinkAs(const OutputFile& out, const std::string& name) {
  if (out.partPath.empty())
    return linkat(AT_FDCWD, ProcPath(out.fd).c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
  return link(out.partPath.c_str(), name.c_str()) == 0;
}

// Syncs fd in steps, so that a stop is seen and progress can be shown while
// gigabytes go to the disk.
bool SyncInSteps(int fd, SyncWatch watch, std::string& error) {
  const off_t size = lseek(fd, 0, SEEK_END);
  const off_t step = 64 << 20;
  for (off_t done = 0; size > 0 && done < size; done += step) {
    if (watch && !watch(done, size)) {
      error = "interrupted";
      return false;
    }
    sync_file_range(fd, done, step, SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
  }
  if (fsync(fd) != 0) {
    error = std::strerror(errno);
    return false;
  }
  if (watch && !watch(size, size)) {
    error = "interrupted";
    return false;
  }
  return true;
}

// "DIR/NAME.HEX.EXT" for "DIR/NAME.EXT": where a capture goes whose target
// was taken during the run.
std::string SiblingName(const std::string& target) {
  size_t slash = target.find_last_of('/');
  size_t dot = target.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = target.size();
  return target.substr(0, dot) + "." + RandomHex(4) + target.substr(dot);
}
}  // namespace

bool CheckTarget(const std::string& target, bool overwrite, std::string& error) {
  struct stat st {};
  if (!target.empty() && target.back() == '/') {
    error = "a folder name, not a file name";
    return false;
  }
  if (stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    error = std::strerror(EISDIR);
    return false;
  }
  if (!overwrite && lstat(target.c_str(), &st) == 0) {
    error = "the file exists (give -y or --overwrite to replace it)";
    return false;
  }
  const std::string folder = FolderOf(target);
  if (stat(folder.c_str(), &st) != 0) {
    error = std::strerror(errno);
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    error = std::strerror(ENOTDIR);
    return false;
  }
  if (access(folder.c_str(), W_OK | X_OK) != 0) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

int OpenNewPartFile(const std::string& path) {
  return open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

int CreatePartFile(const std::string& target, std::string& path, std::string& error) {
  for (int attempt = 0; attempt < 16; attempt++) {
    path = PartName(target);
    int fd = OpenNewPartFile(path);
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
  }
  error = std::strerror(errno);
  path.clear();
  return -1;
}

void DropPartFile(int fd, const std::string& path) {
  if (fd >= 0) close(fd);
  if (!path.empty()) unlink(path.c_str());
}

bool OpenOutputFile(const std::string& target, OutputFile& out, std::string& error) {
  out = OutputFile{};
  out.target = target;
  out.fd = OpenUnnamed(FolderOf(target));
  if (out.fd >= 0) return true;
  out.fd = CreatePartFile(target, out.partPath, error);
  if (out.fd < 0) return false;
  out.watcher = StartWatcher(out.partPath, &out.watcherPipe);
  std::fprintf(stderr,
               "zyntrax-capture: this file system cannot hold an unnamed file: writing %s until the capture is "
               "complete%s\n",
               out.partPath.c_str(), out.watcher > 0 ? "" : " (a crash would leave it behind)");
  return true;
}

bool CommitOutputFile(OutputFile& out, bool overwrite, SyncWatch watch, std::string& error) {
  bool ok = SyncInSteps(out.fd, watch, error);
  auto fail = [&](int code) {
    ok = false;
    error = std::strerror(code);
  };
  std::string named;  // the name the file has got
  for (int attempt = 0; ok && named.empty() && attempt < 16; attempt++) {
    // Without overwrite the target itself, never over a file there (one that
    // took the name during the capture is kept, and the capture goes beside
    // it); with it a new hidden name, renamed over the target below.
    const std::string name = overwrite ? PartName(out.target) : attempt == 0 ? out.target : SiblingName(out.target);
    if (LinkAs(out, name))
      named = name;
    else if (errno != EEXIST)
      fail(errno);
  }
  if (ok && named.empty()) fail(EEXIST);
  if (ok && overwrite) {
    if (std::rename(named.c_str(), out.target.c_str()) == 0) {
      named = out.target;
    } else {
      fail(errno);
      unlink(named.c_str());
    }
  }
  // Synced above: closing can lose nothing now.
  close(out.fd);
  out.fd = -1;
  if (!out.partPath.empty()) unlink(out.partPath.c_str());
  StopWatcher(out);
  if (!ok) return false;
  // The new name itself is made durable with the folder.
  int folder = open(FolderOf(out.target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  if (named != out.target) {
    error = out.target + " appeared during the capture and is kept; the capture is " + named;
    return false;
  }
  return true;
}

void DropOutputFile(OutputFile& out) {
  DropPartFile(out.fd, out.partPath);
  out.fd = -1;
  StopWatcher(out);
}
