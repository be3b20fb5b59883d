// Headless Chromium for the web tests, started as a child process
// and driven over its DevTools pipe (NUL-terminated JSON messages on fds 3 and
// 4), every wait bounded, the whole process group killed when we are done.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "web/browser_page.h"
#include "web/json_value.h"

class Browser {
 public:
  Browser() = default;
  Browser(const Browser&) = delete;
  Browser& operator=(const Browser&) = delete;
  ~Browser() { Stop(); }

  // Starts the browser binary with a fresh profile and waits for its first
  // answer. False (error says why) when it does not start or answer in time.
  bool Start(const std::string& binary, std::string& error);
  bool Running() const { return pid_ > 0; }
  // Closes the browser, then kills its process group; safe to call twice.
  void Stop();

  // Sends method with params (a JSON object text) to the browser, or to the
  // page of session when that is not empty, and waits up to timeoutMs for the
  // answer. Returns its "result"; NONE with error set on a protocol error,
  // a timeout or a browser that went away.
  JsonValue Call(const std::string& method, const std::string& params, const std::string& session, int timeoutMs,
                 std::string& error);
  // Events received so far (each {"method":..., "params":..., "sessionId":...}).
  const std::vector<JsonValue>& Events() const { return events_; }
  // What the browser wrote on stderr so far (its last 4 kB).
  std::string LogTail() const;

 private:
  bool ReadMessage(int timeoutMs, std::string& message, std::string& error);

  pid_t pid_ = -1;
  int toBrowser_ = -1, fromBrowser_ = -1;
  int64_t nextId_ = 1;
  std::string pending_;  // bytes read past the last complete message
  std::string profile_, logPath_;
  std::vector<JsonValue> events_;
};

// One page (tab) of the browser, attached in flat mode.
class Tab : public BrowserPage {
 public:
  explicit Tab(Browser& browser) : browser_(browser) {}
  ~Tab() override { Close(); }
  // Opens an empty tab with the page and runtime domains on, then navigates it.
  bool Open(const std::string& url, int width, int height, std::string& error) override;
  void Close();
  JsonValue Call(const std::string& method, const std::string& params, int timeoutMs, std::string& error) {
    return browser_.Call(method, params, session_, timeoutMs, error);
  }
  JsonValue Eval(const std::string& expression, std::string& error, int timeoutMs = 20000) override;
  std::string ConsoleText() override { return PageMessages(false); }
  std::string Exceptions() override { return PageMessages(true); }
  // Moved, pressed, released.
  bool Click(double x, double y, std::string& error) override;
  bool PressKey(const std::string& key, int keyCode, std::string& error) override;
  bool Screenshot(std::vector<uint8_t>& png, std::string& error) override;

 private:
  std::string PageMessages(bool exceptionsOnly) const;

  Browser& browser_;
  std::string target_, session_;
};
