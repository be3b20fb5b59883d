// Test helpers for the scene tests: counting colours in a memory picture, and
// the show's start-up (timeline, every picture, seeded stars) on a driven clock.
#pragma once
#include <cstdint>

#include "support/memory_output.h"

// Fill value of memory pictures, so that what a scene leaves alone shows.
constexpr uint8_t UNTOUCHED = 0x7F;
constexpr Colour UNTOUCHED_COLOUR = Rgb(UNTOUCHED, UNTOUCHED, UNTOUCHED);

int CountColour(const MemoryOutput& out, Colour c);
// True when some pixel of row y differs from UNTOUCHED_COLOUR.
bool RowTouched(const MemoryOutput& out, int y);

// Start values, the timeline and every show asset from the source tree, with
// message boxes captured, the clock at clockMs and the generator seeded. Needs
// an open test display.
void StartShowForTest(int64_t clockMs, uint64_t seed);
