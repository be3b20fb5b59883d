// The system font on the desktop: the face fontconfig picks for
// "sans-serif:bold" (DejaVu Sans Bold on Debian).
#include <fontconfig/fontconfig.h>

#include "platform/platform.h"

bool SystemFontFile(std::string& file, int& index) {
  if (!FcInit()) return false;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif:bold"));
  if (!pattern) return false;
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* name = nullptr;
  index = 0;
  bool ok = FcPatternGetString(match, FC_FILE, 0, &name) == FcResultMatch;
  if (ok) file = reinterpret_cast<const char*>(name);
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  FcPatternDestroy(match);
  return ok;
}
