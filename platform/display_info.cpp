// The open display's description, one for every target: the target's
// display.cpp keeps it current; CurrentDisplay reads it.
#include "platform/display.h"
#include "platform/target.h"

DisplayInfo shownDisplay;

DisplayInfo CurrentDisplay() { return shownDisplay; }
