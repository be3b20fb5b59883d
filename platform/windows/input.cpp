// The keyboard on Windows: Escape read from DirectInput's keyboard state once a
// frame (a non-exclusive foreground device on the show window), plus the
// presses the message pump saw, so that a tap shorter than a frame counts.
#define DIRECTINPUT_VERSION 0x0800
#include "platform/windows/win32.h"

#include <dinput.h>

#include "platform/target.h"

namespace {
IDirectInput8W* directInput = nullptr;
IDirectInputDevice8W* keyboard = nullptr;
HWND keyboardWindow = nullptr;

void DropKeyboard() {
  if (keyboard) {
    keyboard->Unacquire();
    keyboard->Release();
  }
  keyboard = nullptr;
  keyboardWindow = nullptr;
}

// The device follows the show window: made again when the window changes.
bool KeyboardFor(HWND window) {
  if (!window) {
    DropKeyboard();
    return false;
  }
  if (keyboard && keyboardWindow == window) return true;
  DropKeyboard();
  if (!directInput &&
      FAILED(DirectInput8Create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                reinterpret_cast<void**>(&directInput), nullptr)))
    return false;
  if (FAILED(directInput->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr))) {
    keyboard = nullptr;
    return false;
  }
  if (FAILED(keyboard->SetDataFormat(&c_dfDIKeyboard)) ||
      FAILED(keyboard->SetCooperativeLevel(window, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE))) {
    DropKeyboard();
    return false;
  }
  keyboardWindow = window;
  return true;
}

bool EscapeHeld() {
  if (!KeyboardFor(ShowWindowHandle())) return false;
  BYTE keys[256];
  HRESULT r = keyboard->GetDeviceState(sizeof(keys), keys);
  if (r == DIERR_INPUTLOST || r == DIERR_NOTACQUIRED) {
    if (FAILED(keyboard->Acquire())) return false;  // not in the foreground
    r = keyboard->GetDeviceState(sizeof(keys), keys);
  }
  return SUCCEEDED(r) && (keys[DIK_ESCAPE] & 0x80) != 0;
}
}  // namespace

bool ReadEscape() {
  PumpMessages();
  const bool pressed = TakeEscapePress();
  return EscapeHeld() || pressed;
}
