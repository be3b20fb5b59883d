// Files for the asset folder on Windows, through the wide calls: the temporary
// folder in its long form, and an asset folder that is a real folder (never a
// junction or link planted in its place), held open without delete sharing
// while the program runs so that nothing can be swapped in for it. Files are
// never reached through a link either.
#include <cstdint>
#include <new>
#include <string>

#include "platform/platform.h"
#include "platform/windows/win32.h"

namespace {
// Our path in UTF-16 with backslashes (the driver joins names with '/').
std::wstring WidePath(const std::string& path) {
  std::wstring w = Widen(path);
  for (wchar_t& c : w)
    if (c == L'/') c = L'\\';
  while (w.size() > 3 && (w.back() == L'\\' || w.back() == L' ')) w.pop_back();
  return w;
}

HANDLE assetFolder = INVALID_HANDLE_VALUE;
std::wstring assetFolderPrefix;  // with its trailing backslash; empty before any opening

bool IsLinkOrNotFolder(const BY_HANDLE_FILE_INFORMATION& info, bool wantFolder) {
  if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
  return ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != wantFolder;
}

// For a path in the asset folder: true. `allowed` is false when nothing may be
// reached there: a path further down, or a folder that could not be opened.
bool InAssetFolder(const std::wstring& path, bool& allowed) {
  if (assetFolderPrefix.empty() || path.size() <= assetFolderPrefix.size() ||
      CompareStringOrdinal(path.c_str(), (int)assetFolderPrefix.size(), assetFolderPrefix.c_str(),
                           (int)assetFolderPrefix.size(), TRUE) != CSTR_EQUAL)
    return false;
  allowed = assetFolder != INVALID_HANDLE_VALUE && path.find(L'\\', assetFolderPrefix.size()) == std::wstring::npos;
  return true;
}

// Opens a file without following a link at its name; a link, a folder or a
// device is refused.
HANDLE OpenPlainFile(const std::string& path, DWORD access, DWORD disposition) {
  std::wstring w = WidePath(path);
  bool allowed = true;
  if (InAssetFolder(w, allowed) && !allowed) return INVALID_HANDLE_VALUE;
  HANDLE h = CreateFileW(w.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return h;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) || IsLinkOrNotFolder(info, false)) {
    CloseHandle(h);
    return INVALID_HANDLE_VALUE;
  }
  return h;
}
}  // namespace

int OpenAssetFolder(const std::string& path) {
  if (assetFolder != INVALID_HANDLE_VALUE) CloseHandle(assetFolder);
  assetFolder = INVALID_HANDLE_VALUE;
  std::wstring dir = WidePath(path);
  assetFolderPrefix = dir.empty() ? std::wstring() : dir + L"\\";
  if (dir.empty()) return 0;
  HANDLE h = CreateFileW(dir.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(h, &info) || IsLinkOrNotFolder(info, true)) {
    CloseHandle(h);
    return 0;
  }
  assetFolder = h;
  return 1;
}

std::string GetTempDirectory() {
  wchar_t shortForm[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, shortForm);
  if (n == 0 || n > MAX_PATH) return ".\\";
  std::wstring dir(shortForm, n);
  DWORD need = GetLongPathNameW(dir.c_str(), nullptr, 0);
  if (need > 0) {
    std::wstring longForm(need, L'\0');
    DWORD got = GetLongPathNameW(dir.c_str(), longForm.data(), need);
    if (got > 0 && got < need) dir.assign(longForm.c_str(), got);
  }
  if (dir.empty() || dir.back() != L'\\') dir += L'\\';
  return Narrow(dir);
}

int64_t FileSize(const std::string& path) {
  std::wstring w = WidePath(path);
  bool allowed = true;
  if (InAssetFolder(w, allowed) && !allowed) return -1;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(w.c_str(), GetFileExInfoStandard, &data)) return -1;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return -1;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -2;
  return ((int64_t)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

int CreateDirectory(const std::string& path) {
  return CreateDirectoryW(WidePath(path).c_str(), nullptr) ? 1 : 0;
}

intptr_t CreateFileForWrite(const std::string& path) {
  HANDLE h = OpenPlainFile(path, GENERIC_WRITE, OPEN_ALWAYS);
  if (h == INVALID_HANDLE_VALUE) return 0;
  if (!SetEndOfFile(h)) {
    CloseHandle(h);
    return 0;
  }
  return (intptr_t)h;
}

int WriteData(intptr_t file, const void* bytes, int64_t len) {
  if (file == 0) return 0;
  const char* p = (const char*)bytes;
  while (len > 0) {
    DWORD chunk = len > (1 << 30) ? (1u << 30) : (DWORD)len, done = 0;
    if (!WriteFile((HANDLE)file, p, chunk, &done, nullptr) || done == 0) return 0;
    p += done;
    len -= done;
  }
  return 1;
}

int CloseFile(intptr_t file) {
  if (file == 0) return 0;
  return CloseHandle((HANDLE)file) ? 1 : 0;
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  out.clear();
  HANDLE h = OpenPlainFile(path, GENERIC_READ, OPEN_EXISTING);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(h, &size) || size.QuadPart > (1ll << 30)) {
    CloseHandle(h);
    return false;
  }
  try {
    out.resize((size_t)size.QuadPart);
  } catch (const std::bad_alloc&) {
    CloseHandle(h);
    return false;
  }
  size_t got = 0;
  while (got < out.size()) {
    DWORD done = 0;
    if (!ReadFile(h, &out[got], (DWORD)(out.size() - got), &done, nullptr) || done == 0) break;
    got += done;
  }
  CloseHandle(h);
  if (got != out.size()) {
    out.clear();
    return false;
  }
  return true;
}
