// Modal message boxes through SDL; standard error where no display can show
// one, and a capture buffer for tests.
#include "platform/platform.h"

#include <SDL.h>
#include <cstdio>

namespace {
bool captureMessages = false;
std::string capturedMessages;
}  // namespace

void MessageBox(const std::string& title, const std::string& text) {
  if (captureMessages) {
    capturedMessages += title + "|" + text + "\n";
    return;
  }
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr) != 0)
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}

void TestCaptureMessages(bool on) { captureMessages = on; }
const std::string& TestCapturedMessages() { return capturedMessages; }
void TestClearMessages() { capturedMessages.clear(); }
