// The DevTools pipe: child start-up with the pipe on fds 3 and 4, framed
// messages read under poll() deadlines, replies matched by id, events kept.
#include "web/devtools.h"

#include "web/child_process.h"
#include "web/page_tools.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

bool Browser::Start(const std::string& binary, std::string& error) {
  Stop();
  if (access(binary.c_str(), X_OK) != 0) {
    error = "no browser at " + binary + " (tools/install-deps.sh installs Debian's chromium)";
    return false;
  }
  profile_ = MakePrivateFolder("zyntrax-browser", error);
  if (profile_.empty()) return false;
  logPath_ = profile_ + "/stderr.txt";
  std::string profileArg = "--user-data-dir=" + profile_ + "/profile";
  int down[2], up[2];  // down: we write, the browser reads (fd 3); up: the other way (fd 4)
  if (pipe2(down, O_CLOEXEC) != 0 || pipe2(up, O_CLOEXEC) != 0) {
    error = std::string("pipe: ") + std::strerror(errno);
    return false;
  }
  const char* args[] = {binary.c_str(),
                        "--headless=new",
                        "--remote-debugging-pipe",
                        "--no-sandbox",
                        "--disable-gpu",
                        "--no-first-run",
                        "--no-default-browser-check",
                        "--disable-dev-shm-usage",
                        "--autoplay-policy=no-user-gesture-required",
                        "--mute-audio",
                        "--window-size=1920,1080",
                        profileArg.c_str(),
                        "about:blank",
                        nullptr};
  // In the child: the pipe ends moved clear of 3 and 4 first, then into place.
  auto pipes = [&] {
    int r = fcntl(down[0], F_DUPFD_CLOEXEC, 10), w = fcntl(up[1], F_DUPFD_CLOEXEC, 10);
    return r >= 0 && w >= 0 && dup2(r, 3) >= 0 && dup2(w, 4) >= 0;
  };
  pid_t pid = StartGroupChild(binary, args, logPath_, pipes, error);
  if (pid < 0) {
    for (int fd : {down[0], down[1], up[0], up[1]}) close(fd);
    return false;
  }
  close(down[0]);
  close(up[1]);
  pid_ = pid;
  toBrowser_ = down[1];
  fromBrowser_ = up[0];
  // Our end must not block the test when the browser stops reading.
  fcntl(toBrowser_, F_SETFL, O_NONBLOCK);
  JsonValue version = Call("Browser.getVersion", "{}", "", 30000, error);
  if (version.kind != JsonValue::OBJECT) {
    error = binary + " did not answer: " + error + "\n" + LogTail();
    Stop();
    return false;
  }
  return true;
}

void Browser::Stop() {
  if (pid_ > 0) {
    std::string ignored;
    if (toBrowser_ >= 0) Call("Browser.close", "{}", "", 3000, ignored);
    StopGroupChild(pid_, 3000);
    pid_ = -1;
  }
  if (toBrowser_ >= 0) close(toBrowser_);
  if (fromBrowser_ >= 0) close(fromBrowser_);
  toBrowser_ = fromBrowser_ = -1;
  pending_.clear();
  RemoveTree(profile_);
  profile_.clear();
}

std::string Browser::LogTail() const { return FileTail(logPath_); }

bool Browser::ReadMessage(int timeoutMs, std::string& message, std::string& error) {
  int64_t until = NowMs() + timeoutMs;
  while (true) {
    size_t end = pending_.find('\0');
    if (end != std::string::npos) {
      message = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return true;
    }
    int64_t left = until - NowMs();
    if (left <= 0) {
      error = "timed out after " + std::to_string(timeoutMs) + " ms";
      return false;
    }
    pollfd p{fromBrowser_, POLLIN, 0};
    int n = poll(&p, 1, (int)left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) continue;
    char buf[1 << 16];
    ssize_t got = read(fromBrowser_, buf, sizeof buf);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) {
      error = "the browser closed its pipe";
      return false;
    }
    pending_.append(buf, (size_t)got);
  }
}

JsonValue Browser::Call(const std::string& method, const std::string& params, const std::string& session,
                        int timeoutMs, std::string& error) {
  if (toBrowser_ < 0) {
    error = "no browser";
    return JsonValue();
  }
  int64_t id = nextId_++;
  std::string message = "{\"id\":" + std::to_string(id) + ",\"method\":" + JsonQuote(method) + ",\"params\":" + params;
  if (!session.empty()) message += ",\"sessionId\":" + JsonQuote(session);
  message += "}";
  message += '\0';
  int64_t until = NowMs() + timeoutMs;
  size_t sent = 0;
  while (sent < message.size()) {
    ssize_t n = write(toBrowser_, message.data() + sent, message.size() - sent);
    if (n > 0) {
      sent += (size_t)n;
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
      error = std::string("cannot write to the browser: ") + std::strerror(errno);
      return JsonValue();
    }
    int64_t left = until - NowMs();
    if (left <= 0) {
      error = method + ": the browser does not read its pipe";
      return JsonValue();
    }
    pollfd p{toBrowser_, POLLOUT, 0};
    poll(&p, 1, (int)left);
  }
  while (true) {
    int64_t left = until - NowMs();
    std::string text;
    if (!ReadMessage((int)(left > 0 ? left : 0), text, error)) {
      error = method + ": " + error;
      return JsonValue();
    }
    std::string parseError;
    JsonValue reply = ParseJson(text, &parseError);
    if (reply.kind != JsonValue::OBJECT) {
      error = method + ": unreadable message from the browser: " + parseError;
      return JsonValue();
    }
    if (!reply.Has("id")) {
      // Keep events, but not without bound: a page may log on every frame.
      if (events_.size() < 2000) events_.push_back(std::move(reply));
      continue;
    }
    if ((int64_t)reply["id"].Number(-1) != id) continue;  // a late answer to a call that timed out
    if (reply.Has("error")) {
      error = method + ": " + reply["error"]["message"].Text();
      return JsonValue();
    }
    return reply["result"];
  }
}

bool Tab::Open(const std::string& url, int width, int height, std::string& error) {
  Close();
  JsonValue created = browser_.Call("Target.createTarget", "{\"url\":\"about:blank\"}", "", 20000, error);
  target_ = created["targetId"].Text();
  if (target_.empty()) return false;
  JsonValue attached = browser_.Call(
      "Target.attachToTarget", "{\"targetId\":" + JsonQuote(target_) + ",\"flatten\":true}", "", 20000, error);
  session_ = attached["sessionId"].Text();
  if (session_.empty()) return false;
  const std::string size = "{\"width\":" + std::to_string(width) + ",\"height\":" + std::to_string(height) +
                           ",\"deviceScaleFactor\":1,\"mobile\":false}";
  if (Call("Page.enable", "{}", 20000, error).kind == JsonValue::NONE ||
      Call("Runtime.enable", "{}", 20000, error).kind == JsonValue::NONE ||
      Call("Emulation.setDeviceMetricsOverride", size, 20000, error).kind == JsonValue::NONE)
    return false;
  JsonValue nav = Call("Page.navigate", "{\"url\":" + JsonQuote(url) + "}", 30000, error);
  if (nav.kind == JsonValue::NONE) return false;
  if (!nav["errorText"].Text().empty()) {
    error = "cannot load " + url + ": " + nav["errorText"].Text();
    return false;
  }
  return true;
}

void Tab::Close() {
  if (target_.empty()) return;
  std::string ignored;
  browser_.Call("Target.closeTarget", "{\"targetId\":" + JsonQuote(target_) + "}", "", 10000, ignored);
  target_.clear();
  session_.clear();
}

JsonValue Tab::Eval(const std::string& expression, std::string& error, int timeoutMs) {
  JsonValue r = Call("Runtime.evaluate",
                     "{\"expression\":" + JsonQuote(expression) +
                         ",\"awaitPromise\":true,\"returnByValue\":true,\"timeout\":" + std::to_string(timeoutMs) + "}",
                     timeoutMs + 5000, error);
  if (r.kind == JsonValue::NONE) return r;
  if (r.Has("exceptionDetails")) {
    const JsonValue& d = r["exceptionDetails"];
    error = "the page threw: " + (d["exception"]["description"].Text().empty() ? d["text"].Text()
                                                                                 : d["exception"]["description"].Text());
    return JsonValue();
  }
  const JsonValue& v = r["result"];
  if (v["type"].Text() == "undefined") {
    JsonValue nothing;
    nothing.kind = JsonValue::NUL;
    return nothing;
  }
  return v["value"];
}

bool Tab::Screenshot(std::vector<uint8_t>& png, std::string& error) {
  JsonValue shot = Call("Page.captureScreenshot", "{\"format\":\"png\"}", 30000, error);
  if (shot.kind == JsonValue::NONE) return false;
  if (!DecodeBase64(shot["data"].Text(), png)) {
    error = "the screenshot is not base64";
    return false;
  }
  return true;
}

std::string Tab::PageMessages(bool exceptionsOnly) const {
  std::string out;
  for (const JsonValue& e : browser_.Events()) {
    if (e["sessionId"].Text() != session_) continue;
    const std::string& m = e["method"].Text();
    if (m == "Runtime.consoleAPICalled" && !exceptionsOnly) {
      out += "console." + e["params"]["type"].Text() + ":";
      for (const JsonValue& a : e["params"]["args"].items) {
        const JsonValue& v = a["value"];
        out += " " + (v.kind == JsonValue::STRING ? v.text : a["description"].Text());
      }
      out += "\n";
    } else if (m == "Runtime.exceptionThrown") {
      const JsonValue& d = e["params"]["exceptionDetails"];
      out += "exception: " + d["text"].Text() + " " + d["exception"]["description"].Text() + "\n";
    }
  }
  return out;
}

bool Tab::Click(double x, double y, std::string& error) {
  auto mouse = [&](const char* type) {
    std::ostringstream p;
    p << "{\"type\":\"" << type << "\",\"x\":" << x << ",\"y\":" << y
      << ",\"button\":\"left\",\"buttons\":" << (std::strcmp(type, "mousePressed") == 0 ? 1 : 0)
      << ",\"clickCount\":1}";
    return Call("Input.dispatchMouseEvent", p.str(), 10000, error).kind != JsonValue::NONE;
  };
  return mouse("mouseMoved") && mouse("mousePressed") && mouse("mouseReleased");
}

bool Tab::PressKey(const std::string& key, int keyCode, std::string& error) {
  for (const char* type : {"keyDown", "keyUp"}) {
    std::string p = std::string("{\"type\":\"") + type + "\",\"key\":" + JsonQuote(key) + ",\"code\":" +
                    JsonQuote(key) + ",\"windowsVirtualKeyCode\":" + std::to_string(keyCode) + "}";
    if (Call("Input.dispatchKeyEvent", p, 10000, error).kind == JsonValue::NONE) return false;
  }
  return true;
}
