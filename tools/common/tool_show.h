// The start-up of the tools that play the show without the launcher (the
// benchmark, the soak run, the contact sheet): the one start-up with a
// captioned window of winW x winH showing the 1920 x 1080 picture (stretched
// when that differs), or with fullScreen the show painted at winW x winH in
// full screen, as start-up falls back to on a desktop without a 1920 x 1080
// mode; no music, swap interval off, messages on stderr. The tool enters the
// first row itself, on the clock it drives or the real one.
#pragma once

// False (after saying so on stderr, as `tool`) when the display cannot be opened.
bool StartToolShow(const char* tool, const char* title, int winW, int winH, bool fullScreen = false);
