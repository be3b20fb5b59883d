// What the web platform offers beyond the shared platform headers: putting a
// 32-bit picture on one of the page's canvas elements, the full screen that
// the Launch click asks for, moving the windowed show, and the page's life
// (hidden, audio interrupted) holding the clock.
#pragma once
#include <cstdint>
#include <string>

// rgba: width x height pixels as R, G, B, A bytes, rows top to bottom. The
// canvas element (by id) keeps its own size; the picture goes at its top-left.
void PutCanvasPicture(const std::string& elementId, const uint32_t* rgba, int width, int height);

// Watches clicks on the launcher's #launch button: with the #mode list at
// modeIndex, full screen is asked for inside the click, the only place a
// browser honours it. False from FullscreenRequestSettled while the browser
// has not answered yet (given up after 3 s, as refused); afterwards
// OpenFullscreenDisplay succeeds only when it was granted.
void WatchFullscreenClick(int modeIndex);
bool FullscreenRequestSettled();

// Moves the windowed show's canvas to (x, y, width x height) device pixels
// of the page (after the page changed size).
void PlaceShowWindow(int x, int y, int width, int height);

// Keeps the clock in step with the page and its music: held while the page
// is hidden or while the playing music's audio context is not running, and
// released moved on by what the music played meanwhile. Once a frame.
void FollowPageLife();
