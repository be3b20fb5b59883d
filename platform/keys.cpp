// The keyboard state for every target: read once a frame from the target's
// ReadEscape, answered by KeyDown until the next reading.
#include "platform/platform.h"
#include "platform/target.h"
#ifdef ZYNTRAX_TEST_HOOKS
#include "platform/test_hooks.h"
#endif

namespace {
bool escapeDown = false;
}  // namespace

void PollKeyboard() {
  escapeDown = ReadEscape();
#ifdef ZYNTRAX_TEST_HOOKS
  escapeDown = escapeDown || TestEscapeHeld();
#endif
}

int KeyDown(int scanCode) { return scanCode == KEY_ESCAPE && escapeDown ? 1 : 0; }
