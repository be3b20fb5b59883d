// The platform's start and shutdown in a web page: the key watch starts and
// painting stays on the page's one thread; there are no quit signals, and
// nothing is left to release when the page goes.
#include "platform/platform.h"
#include "render/sprite_paint.h"

void WatchKeys();  // input.cpp

void StartPlatform() {
  // The page is built without threads: a second painting thread cannot start
  // there, and the browser reports its cores all the same.
  SetPaintThreads(1);
  WatchKeys();
}

int QuitRequested() { return 0; }

void ShutdownPlatform() {}
