// Message boxes on Windows: MessageBoxW with the UTF-16 texts, owned by the
// show's window so that none hides behind a full-screen show; standard error
// stands in where no box can open.
#include <cstdio>

#include "platform/target.h"
#include "platform/windows/win32.h"

void ShowMessageBox(const std::string& title, const std::string& text) {
  if (MessageBoxW(ShowWindowHandle(), Widen(text).c_str(), Widen(title).c_str(),
                  MB_OK | MB_ICONERROR | MB_SETFOREGROUND) == 0)
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}
