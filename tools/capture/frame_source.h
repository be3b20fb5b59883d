// Where the capture's frames come from: the show painted for one moment and
// handed over as a 1920 x 1080 picture in memory, on the frame that the
// show's start-up opens when it has no display.
#pragma once
#include <cstdint>

constexpr int FRAME_WIDTH = 1920;
constexpr int FRAME_HEIGHT = 1080;

// Paints the show's frame for showMs milliseconds after its start (the scene
// switch, then the whole frame) into pixels: FRAME_WIDTH x FRAME_HEIGHT 32-bit
// values 0xFFRRGGBB, top row first. False when the frame cannot be read.
bool PaintShowFrame(int64_t showMs, uint32_t* pixels);
// The same frame drawn and not read: the per-frame state and the random
// numbers move on exactly as when it is captured. Its draws are kept for the
// next frame that is read (which paints over them).
void DrawShowFrame(int64_t showMs);
// The same, its draws dropped unpainted: every frame covers the whole
// picture, so nothing of a replayed frame shows in a later one, and a replay
// of any length holds no more than one frame's draws.
void ReplayShowFrame(int64_t showMs);
// Frees the sprites and closes the frame.
void CloseFrameSource();
