// The capture's output file: written unnamed in the target's folder and given
// its name only once it is complete and synced, so that no partial file can
// outlive the process. Where the file system cannot hold an unnamed file, a
// part file under a name nobody can guess (created new, never through a link)
// takes its place, and a small watcher process removes it if the capture dies.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>

struct OutputFile {
  int fd = -1;
  std::string target;
  std::string partPath;  // the named part file of the fallback; empty when unnamed
  pid_t watcher = -1;    // removes partPath if the capture dies
  int watcherPipe = -1;  // closing it without a word tells the watcher so
};

// Fails at once, with the reason, when target cannot become a file: it is a
// folder, its folder is missing or not writable, or it exists and may not be
// replaced.
bool CheckTarget(const std::string& target, bool overwrite, std::string& error);
// Opens the file that becomes target, empty, for reading and writing. Says on
// standard error when it has to fall back to a named part file.
bool OpenOutputFile(const std::string& target, OutputFile& out, std::string& error);
// Called between steps of syncing: done of total bytes; false stops the sync.
using SyncWatch = bool (*)(int64_t done, int64_t total);
// Syncs the file, names it target (replacing a file there only with
// overwrite) and syncs the folder. False with the reason otherwise, the file
// removed, unless a file took the target's name during the capture: the
// capture is then kept under another name, which the reason gives.
bool CommitOutputFile(OutputFile& out, bool overwrite, SyncWatch watch, std::string& error);
// Closes the file and removes it.
void DropOutputFile(OutputFile& out);

// The fallback's pieces. Creates ".NAME.XXXXXXXXXXXX.part" beside target;
// returns its descriptor and its path, or -1 with the reason.
int CreatePartFile(const std::string& target, std::string& path, std::string& error);
// Creates path as a new file (never through a link, never over one already
// there); its descriptor, or -1 with errno set.
int OpenNewPartFile(const std::string& path);
// Closes fd and removes the part file.
void DropPartFile(int fd, const std::string& path);
