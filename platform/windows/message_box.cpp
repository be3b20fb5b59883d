// Message boxes on Windows: MessageBoxW with the UTF-16 texts, owned by the
// show's window so that none hides behind a full-screen show; standard error
// stands in where no box can open; and the capture buffer for tests.
#include <cstdio>

#include "platform/platform.h"
#include "platform/windows/win32.h"

namespace {
bool captureMessages = false;
std::string capturedMessages;
}  // namespace

void MessageBox(const std::string& title, const std::string& text) {
  if (captureMessages) {
    capturedMessages += title + "|" + text + "\n";
    return;
  }
  if (QuitRequested()) return;  // on the way out: nobody is there to read it
  HWND owner = ShowWindowHandle();
  if (MessageBoxW(owner, Widen(text).c_str(), Widen(title).c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND) == 0)
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}

void TestCaptureMessages(bool on) { captureMessages = on; }
const std::string& TestCapturedMessages() { return capturedMessages; }
void TestClearMessages() { capturedMessages.clear(); }
