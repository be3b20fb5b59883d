// What both browser clients need of a child process: a start in its own
// process group that dies with the test process, a bounded wait, a kill of the
// whole group, and the private folder removed afterwards.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>

int64_t NowMs();

// Forks a child in its own process group (killed when this process dies),
// with stdin from /dev/null and stdout and stderr into logPath; in the child,
// prepare (fd moves, environment) runs, then binary is executed with args
// (args[0] included, nullptr-ended). -1 with error set when it cannot fork.
pid_t StartGroupChild(const std::string& binary, const char* const* args, const std::string& logPath,
                      const std::function<bool()>& prepare, std::string& error);
// Waits up to ms for pid to end; true when it has been reaped.
bool WaitForExit(pid_t pid, int ms);
// Waits up to graceMs for the child, then terms and kills its whole group.
void StopGroupChild(pid_t pid, int graceMs);

// A new private folder under /tmp ("" with error set when it cannot be made).
std::string MakePrivateFolder(const std::string& stem, std::string& error);
void RemoveTree(const std::string& path);
// The last 4 kB of a log file.
std::string FileTail(const std::string& path);
