// What the Windows target's files share: <windows.h> without the macros that
// clash with our own names, UTF-8 <-> UTF-16, the show's windows and the
// message pump that feeds the window events.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef MessageBox
#undef CreateDirectory

#include <string>

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

// The window class of every show window (the launcher's included), made once.
const wchar_t* ShowWindowClass();
// The newest show window still open (host or full screen); message boxes are
// owned by it so that none hides behind a full-screen show. Null when none.
HWND ShowWindowHandle();
// Lets windows of the show's class be as large as width x height (outer size).
void AllowWindowSize(int width, int height);
// Handles every pending window message of the thread; close requests are
// queued for PollWindowEvent.
void PumpMessages();
// Queues a window event (WINDOW_CLOSE_EVENT, or another code).
void QueueWindowEvent(int code);
// An Escape press seen by the message pump since the last call.
bool TakeEscapePress();

// Window callbacks the display registers: a size change of a window, and the
// show window gaining or losing the foreground.
using WindowSizeHandler = void (*)(HWND window, int width, int height);
using WindowActiveHandler = void (*)(HWND window, bool active);
void SetWindowHandlers(WindowSizeHandler size, WindowActiveHandler active);
// The cursor over our windows is hidden while this is false.
void SetCursorShown(bool shown);

// A function the system may or may not have, looked up by name (null without it).
template <class Function>
Function SystemFunction(FARPROC found) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}
