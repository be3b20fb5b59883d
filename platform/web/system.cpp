// The platform's start and shutdown in a web page: the key watch starts;
// there are no quit signals, nothing is left to release when the page goes,
// and the page's one thread never sleeps (animation frames pace its loops).
#include "platform/platform.h"

void WatchKeys();  // input.cpp

void StartPlatform() { WatchKeys(); }

int QuitRequested() { return 0; }

void ShutdownPlatform() {}

// A browser's main thread cannot sleep (it would only spin).
void Delay(int64_t ms) {}
