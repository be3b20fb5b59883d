// Files for the asset folder. The temporary directory is a private folder of the
// user's own (mode 0700) under the system's; a folder that another user could
// change, or a symbolic link in its place, is refused, and writes never follow links.
// The asset folder is opened once, through no link, and its files are reached
// through that opening only.
#include "platform/platform.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A directory only this user can change: a real directory (not a link), owned
// by us, writable by nobody else.
bool Trusted(const struct stat& st) {
  return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}
bool TrustedDirectory(const std::string& dir) {
  struct stat st;
  return lstat(dir.c_str(), &st) == 0 && Trusted(st);
}

std::string StripTrailing(std::string path) {
  while (path.size() > 1 && (path.back() == '/' || path.back() == ' ' || path.back() == '\\'))
    path.pop_back();
  return path;
}

std::string ParentOf(const std::string& path) {
  std::string p = StripTrailing(path);
  size_t slash = p.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return p.substr(0, slash);
}

// Every folder from the private temporary folder down to `dir` must be trusted;
// folders outside the temporary folder (tests writing elsewhere) only need the last.
bool TrustedChain(const std::string& dir) {
  std::string base = StripTrailing(GetTempDirectory());
  std::string d = StripTrailing(dir);
  if (d.compare(0, base.size(), base) != 0) return TrustedDirectory(d);
  while (d.size() >= base.size()) {
    if (!TrustedDirectory(d)) return false;
    if (d == base) break;
    d = ParentOf(d);
  }
  return true;
}

// The asset folder as opened (-1 when it could not be), and its path with a
// trailing slash (empty before any opening).
int assetFolderFd = -1;
std::string assetFolderPrefix;

// Opens a folder walking its path one name at a time, none of them followed
// if it is a link; -1 on failure.
int OpenFolderThroughNoLink(const std::string& path) {
  int fd = open(path[0] == '/' ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  size_t at = 0;
  while (fd >= 0 && at < path.size()) {
    size_t end = path.find('/', at);
    if (end == std::string::npos) end = path.size();
    std::string name = path.substr(at, end - at);
    at = end + 1;
    if (name.empty() || name == ".") continue;
    int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    close(fd);
    fd = next;
  }
  return fd;
}

// For a path below the asset folder: true, with the file's name in the folder.
// The name is empty when nothing may be reached there: a path further down
// (nothing below the folder is looked up by path), or a folder that could not
// be opened.
bool InAssetFolder(const std::string& path, std::string& name) {
  if (assetFolderPrefix.empty() || path.size() <= assetFolderPrefix.size() ||
      path.compare(0, assetFolderPrefix.size(), assetFolderPrefix) != 0)
    return false;
  name = path.substr(assetFolderPrefix.size());
  if (assetFolderFd < 0 || name.find('/') != std::string::npos) name.clear();
  return true;
}

// Opens a file: one in the asset folder through the open folder, any other by
// its path; the last name is never followed if it is a link.
int OpenFile(const std::string& path, int flags, mode_t mode = 0) {
  std::string name;
  if (!InAssetFolder(path, name)) return open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
  if (name.empty()) return -1;
  return openat(assetFolderFd, name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
}
}  // namespace

int OpenAssetFolder(const std::string& path) {
  if (assetFolderFd >= 0) close(assetFolderFd);
  assetFolderFd = -1;
  std::string dir = StripTrailing(path);
  assetFolderPrefix = dir.empty() || dir == "/" ? std::string() : dir + "/";
  if (assetFolderPrefix.empty()) return 0;
  assetFolderFd = OpenFolderThroughNoLink(dir);
  struct stat st;
  if (assetFolderFd >= 0 && (fstat(assetFolderFd, &st) != 0 || !Trusted(st))) {
    close(assetFolderFd);
    assetFolderFd = -1;
  }
  return assetFolderFd >= 0 ? 1 : 0;
}

std::string GetTempDirectory() {
  const char* system = getenv("TMPDIR");
  std::string root = (system && system[0] == '/') ? StripTrailing(system) : std::string("/tmp");
  std::string dir = root + "/zyntrax-" + std::to_string((long)geteuid());
  mkdir(dir.c_str(), 0700);  // fails harmlessly when it exists; checked below
  return dir + "/";
}

int64_t FileSize(const std::string& path) {
  struct stat st;
  std::string name;
  if (InAssetFolder(path, name)) {
    if (name.empty() || fstatat(assetFolderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return -1;
  } else if (lstat(StripTrailing(path).c_str(), &st) != 0) {
    return -1;
  }
  if (S_ISDIR(st.st_mode)) return -2;
  if (!S_ISREG(st.st_mode)) return -1;
  return (int64_t)st.st_size;
}

int CreateDirectory(const std::string& path) {
  std::string dir = StripTrailing(path);
  if (!TrustedChain(ParentOf(dir))) return 0;
  if (mkdir(dir.c_str(), 0700) != 0) return 0;
  return 1;
}

intptr_t CreateFileForWrite(const std::string& path) {
  std::string name;
  if (!InAssetFolder(path, name) && !TrustedChain(ParentOf(path))) return 0;
  // O_NONBLOCK: a FIFO planted at the path fails at once instead of waiting
  // for a reader; anything but a regular file is refused below.
  int fd = OpenFile(path, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK, 0600);
  if (fd < 0) return 0;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return 0;
  }
  return (intptr_t)fd + 1;  // 0 stays the failure value
}

int WriteData(intptr_t file, const void* bytes, int64_t len) {
  if (file <= 0) return 0;
  const char* p = (const char*)bytes;
  while (len > 0) {
    ssize_t n = write((int)(file - 1), p, (size_t)len);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return 0;
    p += n;
    len -= n;
  }
  return 1;
}

int CloseFile(intptr_t file) {
  if (file <= 0) return 0;
  return close((int)(file - 1)) == 0 ? 1 : 0;
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  out.clear();
  // O_NONBLOCK: opening a FIFO or a device never waits; they are refused below.
  int fd = OpenFile(path, O_RDONLY | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  // Only regular files of our own (or root's) are read: nobody else can plant one.
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (st.st_uid != geteuid() && st.st_uid != 0) ||
      st.st_size > (1ll << 30)) {
    close(fd);
    return false;
  }
  try {
    out.resize((size_t)st.st_size);
  } catch (const std::bad_alloc&) {
    close(fd);
    return false;
  }
  size_t got = 0;
  while (got < out.size()) {
    ssize_t n = read(fd, &out[got], out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += (size_t)n;
  }
  close(fd);
  if (got != out.size()) {
    out.clear();
    return false;
  }
  return true;
}
