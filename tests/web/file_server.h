// A static file server for the web tests: one folder served over HTTP/1.0 on
// 127.0.0.1 at a port the system picks, from a thread of the test process.
// It stops when the object goes, or by itself after its lifetime runs out.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class FileServer {
 public:
  FileServer() = default;
  FileServer(const FileServer&) = delete;
  FileServer& operator=(const FileServer&) = delete;
  ~FileServer() { Stop(); }
  // Serves folder until Stop or until lifetimeMs have passed. False (error says
  // why) when no port can be opened.
  bool Start(const std::string& folder, int64_t lifetimeMs, std::string& error);
  void Stop();
  int Port() const { return port_; }
  std::string Url(const std::string& path) const;
  int Requests() const { return requests_; }

 private:
  void Serve();
  void Answer(int client, const std::string& head);

  std::string folder_;
  int listener_ = -1;
  int port_ = 0;
  int64_t stopAtMs_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> requests_{0};
  std::thread thread_;
};

// The Content-Type for a file name, by its extension.
const char* MimeTypeFor(const std::string& name);
// The file below folder that a request path names, or "" when it names none
// (query and fragment dropped, %XX decoded; "..", NUL and backslashes refused).
std::string ServedPath(const std::string& folder, const std::string& requestPath);
