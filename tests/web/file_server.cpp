// The file server's loop: one poll() over the listener and every connection
// still sending its request, with a short tick so that Stop and the lifetime are
// noticed; one request per connection, GET and HEAD only.
#include "web/file_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace {
int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool SendAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    pollfd p{fd, POLLOUT, 0};
    if (poll(&p, 1, 10000) <= 0) return false;  // a reader that stopped reading
    ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= (size_t)n;
  }
  return true;
}
}  // namespace

const char* MimeTypeFor(const std::string& name) {
  struct Kind {
    const char* ending;
    const char* type;
  };
  static const Kind kinds[] = {{".html", "text/html; charset=utf-8"},
                               {".js", "text/javascript; charset=utf-8"},
                               {".wasm", "application/wasm"},
                               {".css", "text/css; charset=utf-8"},
                               {".png", "image/png"},
                               {".json", "application/json"},
                               {".ogg", "audio/ogg"},
                               {".ttf", "font/ttf"},
                               {".txt", "text/plain; charset=utf-8"}};
  for (const Kind& k : kinds) {
    size_t n = std::strlen(k.ending);
    if (name.size() >= n && name.compare(name.size() - n, n, k.ending) == 0) return k.type;
  }
  return "application/octet-stream";
}

std::string ServedPath(const std::string& folder, const std::string& requestPath) {
  std::string raw = requestPath.substr(0, requestPath.find_first_of("?#"));
  if (raw.empty() || raw[0] != '/') return "";
  std::string path;
  for (size_t i = 0; i < raw.size(); i++) {
    if (raw[i] == '%') {
      int hi = i + 2 < raw.size() ? HexDigit(raw[i + 1]) : -1, lo = i + 2 < raw.size() ? HexDigit(raw[i + 2]) : -1;
      if (hi < 0 || lo < 0) return "";
      path += (char)(hi * 16 + lo);
      i += 2;
    } else {
      path += raw[i];
    }
  }
  if (path.find('\0') != std::string::npos || path.find('\\') != std::string::npos) return "";
  // No segment may climb out of the folder.
  std::stringstream segments(path);
  std::string segment;
  while (std::getline(segments, segment, '/'))
    if (segment == "..") return "";
  if (path.back() == '/') path += "index.html";
  return folder + path;
}

bool FileServer::Start(const std::string& folder, int64_t lifetimeMs, std::string& error) {
  Stop();
  folder_ = folder;
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0) {
    error = std::string("socket: ") + std::strerror(errno);
    return false;
  }
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  if (bind(listener_, (sockaddr*)&addr, sizeof addr) != 0 || listen(listener_, 32) != 0 ||
      getsockname(listener_, (sockaddr*)&addr, &len) != 0) {
    error = std::string("cannot listen on 127.0.0.1: ") + std::strerror(errno);
    close(listener_);
    listener_ = -1;
    return false;
  }
  port_ = ntohs(addr.sin_port);
  stopAtMs_ = NowMs() + lifetimeMs;
  stop_ = false;
  thread_ = std::thread([this] { Serve(); });
  return true;
}

void FileServer::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) close(listener_);
  listener_ = -1;
}

std::string FileServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void FileServer::Serve() {
  // Connections whose request head is still coming in. Browsers open spare
  // connections that may never send anything: those wait here, not in line.
  struct Pending {
    int fd;
    int64_t deadline;
    std::string head;
  };
  std::vector<Pending> pending;
  while (!stop_ && NowMs() < stopAtMs_) {
    std::vector<pollfd> fds{{listener_, POLLIN, 0}};
    for (const Pending& c : pending) fds.push_back({c.fd, POLLIN, 0});
    if (poll(fds.data(), fds.size(), 100) < 0 && errno != EINTR) break;
    if (fds[0].revents & POLLIN) {
      int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client >= 0) pending.push_back({client, NowMs() + 10000, ""});
    }
    for (size_t i = 0; i < pending.size();) {
      Pending& c = pending[i];
      bool done = false;
      if (i + 1 < fds.size() && fds[i + 1].fd == c.fd && (fds[i + 1].revents & (POLLIN | POLLHUP | POLLERR))) {
        char buf[4096];
        ssize_t n = recv(c.fd, buf, sizeof buf, 0);
        if (n <= 0) {
          done = true;
        } else {
          c.head.append(buf, (size_t)n);
          if (c.head.find("\r\n\r\n") != std::string::npos) {
            Answer(c.fd, c.head);
            done = true;
          } else if (c.head.size() > 16384) {
            done = true;
          }
        }
      }
      if (done || NowMs() > c.deadline) {
        close(c.fd);
        pending.erase(pending.begin() + (long)i);
      } else {
        i++;
      }
    }
  }
  for (const Pending& c : pending) close(c.fd);
}

void FileServer::Answer(int client, const std::string& head) {
  requests_++;
  std::istringstream line(head.substr(0, head.find("\r\n")));
  std::string method, target;
  line >> method >> target;
  auto reply = [&](const char* status, const std::string& type, const std::string& body, bool withBody) {
    std::string h = std::string("HTTP/1.0 ") + status + "\r\nContent-Type: " + type +
                    "\r\nContent-Length: " + std::to_string(body.size()) +
                    "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n";
    if (SendAll(client, h.data(), h.size()) && withBody) SendAll(client, body.data(), body.size());
  };
  if (method != "GET" && method != "HEAD") {
    reply("405 Method Not Allowed", "text/plain", "only GET and HEAD\n", true);
    return;
  }
  std::string path = ServedPath(folder_, target);
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    reply("404 Not Found", "text/plain", "not found\n", method == "GET");
    return;
  }
  std::ifstream in(path, std::ios::binary);
  std::stringstream body;
  body << in.rdbuf();
  reply("200 OK", MimeTypeFor(path), body.str(), method == "GET");
}
