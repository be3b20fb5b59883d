// Where the capture's frames come from: the show painted for one moment and
// handed over as a 1920 x 1080 picture in memory.
#pragma once
#include <cstdint>
#include <string>

constexpr int FRAME_WIDTH = 1920;
constexpr int FRAME_HEIGHT = 1080;

// Paints the show's frame for showMs milliseconds after its start (the scene
// switch, then the whole frame) into pixels: FRAME_WIDTH x FRAME_HEIGHT 32-bit
// values 0xFFRRGGBB, top row first. False when the frame cannot be read.
bool PaintShowFrame(int64_t showMs, uint32_t* pixels);
// The same frame painted and not read: the per-frame state and the random
// numbers move on exactly as when it is captured.
void ReplayShowFrame(int64_t showMs);
// Frees the pictures and the frame.
void CloseFrameSource();
