// Headless Firefox for the web tests, driven over Marionette: a private
// profile whose user.js asks for a free port (written back to the profile as
// MarionetteActivePort), one TCP connection carrying "length:[0,id,name,params]"
// commands and "[1,id,error,result]" answers, every read and write bounded,
// the browser's process group killed and the profile removed at the end.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>

#include "web/browser_page.h"
#include "web/json_value.h"

class Firefox {
 public:
  Firefox() = default;
  Firefox(const Firefox&) = delete;
  Firefox& operator=(const Firefox&) = delete;
  ~Firefox() { Stop(); }

  // Starts the browser binary headless and opens a WebDriver session. False
  // (error says why) when it does not start or answer in time.
  bool Start(const std::string& binary, std::string& error);
  // Ends the session, then kills the process group; safe to call twice.
  void Stop();
  // Sends command with params (a JSON object text) and waits up to timeoutMs
  // for its answer. Returns the result; NONE with error set on a WebDriver
  // error, a timeout or a browser that went away.
  JsonValue Call(const std::string& command, const std::string& params, int timeoutMs, std::string& error);
  std::string LogTail() const;

 private:
  bool Send(const std::string& text, int timeoutMs, std::string& error);
  bool ReadMessage(int timeoutMs, std::string& message, std::string& error);

  pid_t pid_ = -1;
  int socket_ = -1;
  int64_t nextId_ = 1;
  std::string pending_;
  std::string folder_, logPath_;
};

// The browser's one window, navigated to each page in turn.
class FirefoxPage : public BrowserPage {
 public:
  explicit FirefoxPage(Firefox& firefox) : firefox_(firefox) {}
  bool Open(const std::string& url, int width, int height, std::string& error) override;
  JsonValue Eval(const std::string& expression, std::string& error, int timeoutMs = 20000) override;
  bool Click(double x, double y, std::string& error) override;
  bool PressKey(const std::string& key, int keyCode, std::string& error) override;
  bool Screenshot(std::vector<uint8_t>& png, std::string& error) override;
  // Firefox has no console feed over Marionette: the errors the test page collected.
  std::string ConsoleText() override { return Exceptions(); }
  std::string Exceptions() override;

 private:
  Firefox& firefox_;
};
