// Marionette over TCP: the browser started with a private profile, the port
// read from the profile, length-prefixed JSON both ways under poll() deadlines.
#include "web/marionette.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "web/child_process.h"
#include "web/page_tools.h"

namespace {
// No updates, telemetry, first-run pages or network look-ups; sound may start
// without a gesture, as in the Chromium tests.
const char* PREFERENCES =
    "user_pref(\"marionette.port\", 0);\n"
    "user_pref(\"media.autoplay.default\", 0);\n"
    "user_pref(\"app.update.disabledForTesting\", true);\n"
    "user_pref(\"browser.shell.checkDefaultBrowser\", false);\n"
    "user_pref(\"browser.startup.homepage_override.mstone\", \"ignore\");\n"
    "user_pref(\"browser.tabs.warnOnClose\", false);\n"
    "user_pref(\"datareporting.policy.dataSubmissionEnabled\", false);\n"
    "user_pref(\"toolkit.telemetry.reportingpolicy.firstRun\", false);\n"
    "user_pref(\"network.captive-portal-service.enabled\", false);\n"
    "user_pref(\"network.connectivity-service.enabled\", false);\n"
    "user_pref(\"services.settings.server\", \"http://127.0.0.1:9/\");\n"
    "user_pref(\"browser.safebrowsing.update.enabled\", false);\n";

int ActivePort(const std::string& profile) {
  std::ifstream in(profile + "/MarionetteActivePort");
  int port = 0;
  in >> port;
  return port > 0 && port < 65536 ? port : 0;
}
}  // namespace

bool Firefox::Start(const std::string& binary, std::string& error) {
  Stop();
  if (access(binary.c_str(), X_OK) != 0) {
    error = "no browser at " + binary + " (tools/install-deps.sh installs Debian's firefox-esr)";
    return false;
  }
  folder_ = MakePrivateFolder("zyntrax-firefox", error);
  if (folder_.empty()) return false;
  const std::string profile = folder_ + "/profile";
  logPath_ = folder_ + "/stderr.txt";
  std::string home = folder_ + "/home";
  {
    std::string mk = "mkdir -p '" + profile + "' '" + home + "'";
    if (std::system(mk.c_str()) != 0) {
      error = "cannot make " + profile;
      return false;
    }
    std::ofstream prefs(profile + "/user.js");
    prefs << PREFERENCES;
    if (!prefs) {
      error = "cannot write " + profile + "/user.js";
      return false;
    }
  }
  const char* args[] = {binary.c_str(), "--headless", "--marionette", "--no-remote", "--profile", profile.c_str(),
                        "about:blank", nullptr};
  // A screen big enough for a 1920 x 1080 viewport under the window's own bars.
  auto environment = [&] {
    return setenv("MOZ_HEADLESS_WIDTH", "2560", 1) == 0 && setenv("MOZ_HEADLESS_HEIGHT", "1600", 1) == 0 &&
           setenv("HOME", home.c_str(), 1) == 0;
  };
  pid_ = StartGroupChild(binary, args, logPath_, environment, error);
  if (pid_ < 0) return false;

  int port = 0;
  const int64_t until = NowMs() + 60000;
  while (!(port = ActivePort(profile)) && NowMs() < until && !WaitForExit(pid_, 0))
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  if (!port) {
    error = binary + " opened no Marionette port\n" + LogTail();
    Stop();
    return false;
  }
  socket_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons((uint16_t)port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool connected = false;
  while (socket_ >= 0 && NowMs() < until) {
    if (connect(socket_, (sockaddr*)&address, sizeof address) == 0) {
      connected = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  std::string hello;
  if (!connected || !ReadMessage(30000, hello, error)) {
    error = "no Marionette greeting on port " + std::to_string(port) + ": " + error;
    Stop();
    return false;
  }
  JsonValue session = Call("WebDriver:NewSession",
                           "{\"capabilities\":{\"alwaysMatch\":{\"timeouts\":{\"script\":300000,\"pageLoad\":120000}}}}",
                           60000, error);
  if (session.kind != JsonValue::OBJECT) {
    error = "no WebDriver session: " + error + "\n" + LogTail();
    Stop();
    return false;
  }
  return true;
}

void Firefox::Stop() {
  if (pid_ > 0) {
    std::string ignored;
    if (socket_ >= 0) Call("Marionette:Quit", "{}", 5000, ignored);
    StopGroupChild(pid_, 5000);
    pid_ = -1;
  }
  if (socket_ >= 0) close(socket_);
  socket_ = -1;
  pending_.clear();
  RemoveTree(folder_);
  folder_.clear();
}

std::string Firefox::LogTail() const { return FileTail(logPath_); }

bool Firefox::Send(const std::string& text, int timeoutMs, std::string& error) {
  const std::string message = std::to_string(text.size()) + ":" + text;
  const int64_t until = NowMs() + timeoutMs;
  size_t sent = 0;
  while (sent < message.size()) {
    const int64_t left = until - NowMs();
    pollfd p{socket_, POLLOUT, 0};
    if (left <= 0 || poll(&p, 1, (int)left) == 0) {
      error = "the browser does not read its socket";
      return false;
    }
    ssize_t n = send(socket_, message.data() + sent, message.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) sent += (size_t)n;
    else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      error = std::string("cannot write to the browser: ") + std::strerror(errno);
      return false;
    }
  }
  return true;
}

bool Firefox::ReadMessage(int timeoutMs, std::string& message, std::string& error) {
  const int64_t until = NowMs() + timeoutMs;
  while (true) {
    const size_t colon = pending_.find(':');
    if (colon != std::string::npos) {
      char* end = nullptr;
      const unsigned long long length = std::strtoull(pending_.c_str(), &end, 10);
      if (end != pending_.c_str() + colon || colon == 0 || length > (1ull << 31)) {
        error = "the browser sent an unframed message";
        return false;
      }
      if (pending_.size() - colon - 1 >= length) {
        message = pending_.substr(colon + 1, length);
        pending_.erase(0, colon + 1 + length);
        return true;
      }
    } else if (pending_.size() > 20) {
      error = "the browser sent an unframed message";
      return false;
    }
    const int64_t left = until - NowMs();
    if (left <= 0) {
      error = "timed out after " + std::to_string(timeoutMs) + " ms";
      return false;
    }
    pollfd p{socket_, POLLIN, 0};
    int n = poll(&p, 1, (int)left);
    if (n <= 0) continue;
    char buf[1 << 16];
    ssize_t got = recv(socket_, buf, sizeof buf, MSG_DONTWAIT);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) {
      error = "the browser closed its socket";
      return false;
    }
    pending_.append(buf, (size_t)got);
  }
}

JsonValue Firefox::Call(const std::string& command, const std::string& params, int timeoutMs, std::string& error) {
  if (socket_ < 0) {
    error = "no browser";
    return JsonValue();
  }
  const int64_t id = nextId_++;
  const int64_t until = NowMs() + timeoutMs;
  if (!Send("[0," + std::to_string(id) + "," + JsonQuote(command) + "," + params + "]", timeoutMs, error)) {
    error = command + ": " + error;
    return JsonValue();
  }
  while (true) {
    std::string text;
    const int64_t left = until - NowMs();
    if (!ReadMessage((int)(left > 0 ? left : 0), text, error)) {
      error = command + ": " + error;
      return JsonValue();
    }
    std::string parseError;
    JsonValue reply = ParseJson(text, &parseError);
    if (reply.kind != JsonValue::ARRAY || reply.items.size() != 4) {
      error = command + ": unreadable message from the browser: " + parseError;
      return JsonValue();
    }
    if ((int64_t)reply[1].Number(-1) != id) continue;  // a late answer to a call that timed out
    if (reply[2].kind == JsonValue::OBJECT) {
      error = command + ": " + reply[2]["error"].Text() + ": " + reply[2]["message"].Text();
      return JsonValue();
    }
    if (reply[3].kind == JsonValue::NONE || reply[3].kind == JsonValue::NUL) {
      JsonValue empty;
      empty.kind = JsonValue::OBJECT;
      return empty;
    }
    return reply[3];
  }
}

bool FirefoxPage::Open(const std::string& url, int width, int height, std::string& error) {
  if (firefox_.Call("WebDriver:Navigate", "{\"url\":" + JsonQuote(url) + "}", 120000, error).kind == JsonValue::NONE)
    return false;
  // The window's size is its viewport's plus its own bars; a window just back
  // from full screen may take a moment to follow.
  for (int attempt = 0; attempt < 20; attempt++) {
    std::string e;
    JsonValue sizes = Eval("[window.innerWidth, window.innerHeight, window.outerWidth, window.outerHeight]", e);
    const int innerW = (int)sizes[(size_t)0].Number(0), innerH = (int)sizes[(size_t)1].Number(0);
    if (innerW == width && innerH == height) return true;
    const int outerW = (int)sizes[(size_t)2].Number(0), outerH = (int)sizes[(size_t)3].Number(0);
    const std::string rect = "{\"width\":" + std::to_string(width + outerW - innerW) +
                             ",\"height\":" + std::to_string(height + outerH - innerH) + "}";
    if (firefox_.Call("WebDriver:SetWindowRect", rect, 20000, error).kind == JsonValue::NONE) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  error = "the window does not take a " + std::to_string(width) + " x " + std::to_string(height) + " viewport";
  return false;
}

JsonValue FirefoxPage::Eval(const std::string& expression, std::string& error, int timeoutMs) {
  JsonValue r = firefox_.Call("WebDriver:ExecuteScript",
                              "{\"script\":" + JsonQuote("return (" + expression + ");") + ",\"args\":[]}",
                              timeoutMs, error);
  if (r.kind == JsonValue::NONE) return r;
  return r["value"];
}

bool FirefoxPage::Click(double x, double y, std::string& error) {
  const std::string at = ",\"x\":" + std::to_string((int)std::lround(x)) + ",\"y\":" + std::to_string((int)std::lround(y));
  const std::string actions =
      "{\"actions\":[{\"type\":\"pointer\",\"id\":\"mouse\",\"parameters\":{\"pointerType\":\"mouse\"},\"actions\":["
      "{\"type\":\"pointerMove\",\"origin\":\"viewport\"" + at + "},"
      "{\"type\":\"pointerDown\",\"button\":0},{\"type\":\"pointerUp\",\"button\":0}]}]}";
  if (firefox_.Call("WebDriver:PerformActions", actions, 20000, error).kind == JsonValue::NONE) return false;
  return firefox_.Call("WebDriver:ReleaseActions", "{}", 20000, error).kind != JsonValue::NONE;
}

bool FirefoxPage::PressKey(const std::string& key, int, std::string& error) {
  // WebDriver names the keys that type nothing by private-use characters.
  std::string value = key == "Escape" ? "\xee\x80\x8c" : key;  // U+E00C
  const std::string actions = "{\"actions\":[{\"type\":\"key\",\"id\":\"keyboard\",\"actions\":["
                              "{\"type\":\"keyDown\",\"value\":" + JsonQuote(value) + "},"
                              "{\"type\":\"keyUp\",\"value\":" + JsonQuote(value) + "}]}]}";
  if (firefox_.Call("WebDriver:PerformActions", actions, 20000, error).kind == JsonValue::NONE) return false;
  return firefox_.Call("WebDriver:ReleaseActions", "{}", 20000, error).kind != JsonValue::NONE;
}

bool FirefoxPage::Screenshot(std::vector<uint8_t>& png, std::string& error) {
  JsonValue shot = firefox_.Call("WebDriver:TakeScreenshot", "{\"full\":false,\"hash\":false}", 60000, error);
  if (shot.kind == JsonValue::NONE) return false;
  if (!DecodeBase64(shot["value"].Text(), png)) {
    error = "the screenshot is not base64";
    return false;
  }
  return true;
}

std::string FirefoxPage::Exceptions() {
  std::string e;
  JsonValue v = Eval("window.zyntraxErrors ? window.zyntraxErrors.join('\\n') : ''", e);
  return v.kind == JsonValue::STRING ? v.text : e;
}
