// The file under a temporary name beside the target: created new (never
// through a link, never over another file) under a name nobody can guess,
// synced and renamed over the target only once it is complete.
#pragma once
#include <string>

// Fails at once, with the reason, when target cannot become a file: it is a
// folder, or its folder is missing or not writable.
bool CheckTarget(const std::string& target, std::string& error);
// Creates ".NAME.XXXXXXXXXXXX.part" beside target; returns its descriptor (open
// for reading and writing) and its path, or -1 with the reason.
int CreatePartFile(const std::string& target, std::string& path, std::string& error);
// Creates path as a new file (never through a link, never over one already
// there); its descriptor, or -1 with errno set.
int OpenNewPartFile(const std::string& path);
// Syncs and closes fd, renames path over target and syncs the folder. On
// failure the part file is removed.
bool CommitPartFile(int fd, const std::string& path, const std::string& target, std::string& error);
// Closes fd and removes the part file.
void DropPartFile(int fd, const std::string& path);
