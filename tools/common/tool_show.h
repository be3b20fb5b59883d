// The show's start-up for the tools that play it without the launcher: assets
// extracted and loaded, the timeline built, a captioned window of winW x winH
// showing the 1920 x 1080 picture (stretched when that differs), or with
// fullScreen the show painted at winW x winH in full screen, as start-up falls
// back to on a desktop without a 1920 x 1080 mode; swap interval off.
#pragma once

// False (after saying so on stderr, as `tool`) when the display cannot be opened.
bool StartToolShow(const char* tool, const char* title, int winW, int winH, bool fullScreen = false);
