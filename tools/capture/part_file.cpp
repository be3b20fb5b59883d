// The capture's part file: O_EXCL | O_NOFOLLOW under a random name in the
// target's folder, so the final rename stays on one file system.
#include "tools/capture/part_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

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
}  // namespace

bool CheckTarget(const std::string& target, std::string& error) {
  struct stat st {};
  if (!target.empty() && target.back() == '/') {
    error = "a folder name, not a file name";
    return false;
  }
  if (stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    error = std::strerror(EISDIR);
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
  size_t slash = target.find_last_of('/');
  std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  for (int attempt = 0; attempt < 16; attempt++) {
    path = dir + "." + name + "." + RandomHex(6) + ".part";
    int fd = OpenNewPartFile(path);
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
  }
  error = std::strerror(errno);
  path.clear();
  return -1;
}

bool CommitPartFile(int fd, const std::string& path, const std::string& target, std::string& error) {
  bool ok = fsync(fd) == 0;
  if (!ok) error = std::strerror(errno);
  if (close(fd) != 0 && ok) {
    ok = false;
    error = std::strerror(errno);
  }
  if (ok && std::rename(path.c_str(), target.c_str()) != 0) {
    ok = false;
    error = std::strerror(errno);
  }
  if (!ok) {
    unlink(path.c_str());
    return false;
  }
  // The rename itself is made durable with the folder.
  int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  return true;
}

void DropPartFile(int fd, const std::string& path) {
  if (fd >= 0) close(fd);
  if (!path.empty()) unlink(path.c_str());
}
