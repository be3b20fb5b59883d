// The tools' start-up (see tool_show.h): the one start-up in a window of the
// tool's own, messages collected and written on stderr.
#include "tools/common/tool_show.h"

#include <cstdio>

#include "driver/driver.h"
#include "platform/platform.h"

bool StartToolShow(const char* tool, const char* title, int winW, int winH, bool fullScreen) {
  ShowStart how;
  how.display = fullScreen ? ShowStart::Display::TOOL_FULL_SCREEN : ShowStart::Display::TOOL_WINDOW;
  how.windowWidth = winW;
  how.windowHeight = winH;
  how.title = title;
  how.music = false;
  how.collectMessages = true;
  how.entry = ShowStart::Entry::CALLER;
  StartProgram(how);
  if (!StartShow(how)) {
    std::fprintf(stderr, "%s: cannot open the display\n", tool);
    return false;
  }
  if (!CollectedMessages().empty()) std::fprintf(stderr, "%s", CollectedMessages().c_str());
  return true;
}
