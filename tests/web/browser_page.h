// One page in a browser, as the browser tests drive it whichever browser it
// is: open a URL, evaluate script, click, press keys, take a screenshot.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "web/json_value.h"

class BrowserPage {
 public:
  virtual ~BrowserPage() = default;
  // Opens url in a viewport of width x height CSS pixels. False with error set on failure.
  virtual bool Open(const std::string& url, int width, int height, std::string& error) = 0;
  // Evaluates a JavaScript expression (promises awaited) and returns its value
  // by value; NONE with error set when it throws or does not answer in time.
  virtual JsonValue Eval(const std::string& expression, std::string& error, int timeoutMs = 20000) = 0;
  // A left-button click at (x, y) in CSS pixels of the viewport, as a user's.
  virtual bool Click(double x, double y, std::string& error) = 0;
  // Presses and releases a key (key as the DOM names it, e.g. "Escape").
  virtual bool PressKey(const std::string& key, int keyCode, std::string& error) = 0;
  // The viewport as a PNG file's bytes; false with error set on failure.
  virtual bool Screenshot(std::vector<uint8_t>& png, std::string& error) = 0;
  // Messages the page logged or threw so far, one a line (for failure reports).
  virtual std::string ConsoleText() = 0;
  // Only what the page threw and nobody caught.
  virtual std::string Exceptions() = 0;

  // Evaluates expression every 50 ms until it is true; false after timeoutMs.
  bool WaitFor(const std::string& expression, int timeoutMs, std::string& error);
};
