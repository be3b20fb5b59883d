// The system font in a web page: the DejaVu Sans Bold file the page carries
// (the face the desktop's fontconfig picks for "sans-serif:bold" on Debian).
#include "platform/platform.h"

bool SystemFontFile(std::string& file, int& index) {
  file = "/fonts/DejaVuSans-Bold.ttf";
  index = 0;
  return FileSize(file) > 0;
}
