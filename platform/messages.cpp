// Message boxes for every target: collected as text while the tools and
// tests ask for it, dropped on the way out after a quit signal, otherwise
// shown by the target's ShowMessageBox.
#include "platform/platform.h"
#include "platform/target.h"

namespace {
bool collecting = false;
std::string collected;
}  // namespace

void MessageBox(const std::string& title, const std::string& text) {
  if (collecting) {
    collected += title + "|" + text + "\n";
    return;
  }
  if (QuitRequested()) return;  // on the way out: nobody is there to read it
  ShowMessageBox(title, text);
}

void CollectMessages(bool on) { collecting = on; }
const std::string& CollectedMessages() { return collected; }
void ClearCollectedMessages() { collected.clear(); }
