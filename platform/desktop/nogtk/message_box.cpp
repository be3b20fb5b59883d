// Message boxes for the desktop tools and the capture, which link no GTK:
// SDL's box, or standard error. They collect their messages in any case.
#include "platform/desktop/plain_box.h"
#include "platform/target.h"

void ShowMessageBox(const std::string& title, const std::string& text) { ShowPlainMessageBox(title, text); }
