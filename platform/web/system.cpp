// The platform's start and shutdown in a web page: the key watch starts; there
// are no quit signals, and nothing is left to release when the page goes.
#include "platform/platform.h"

void WatchKeys();  // input.cpp

void StartPlatform() { WatchKeys(); }

int QuitRequested() { return 0; }

void ShutdownPlatform() {}
