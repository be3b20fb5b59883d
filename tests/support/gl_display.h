// Test helpers for anything that draws: a real 1920 x 1080 logical display on
// the test's X server, single pixels of the frame in memory, what the window
// shows, the frame as a PNG to look at, and small PNG files written on the fly
// as test pictures.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "render/colour.h"

// InitSprites (once) and a 1920 x 1080 logical display in a captioned window of
// windowW x windowH, stretched when that differs. Calling it again with the same
// size keeps the open display and its sprites; another size reopens it.
bool OpenTestDisplay(int windowW = 1920, int windowH = 1080);
// One logical pixel of the frame in memory; 0xFFFFFFFF when there is no frame.
Colour FramePixel(int x, int y);
// Presents the frame and reads the display's window back from the X server:
// width x height pixels of its drawable, row by row (empty on failure).
struct WindowShot {
  int width = 0, height = 0;
  std::vector<Colour> pixels;
  Colour At(int x, int y) const { return pixels[(size_t)y * width + x]; }
};
WindowShot PresentAndGrabWindow();
// Fills the whole logical frame with one colour through the primitives.
void ClearFrame(Colour colour = Rgb(0, 0, 0));
// The current frame (logical size) written as an RGB PNG.
bool SaveFramePng(const std::string& path);

// Writes a PNG of width x height from top-down rows of `channels` bytes per
// pixel (3: R G B, 4: R G B A).
bool WriteTestPng(const std::string& path, int width, int height, int channels, const std::vector<uint8_t>& pixels);
// width x height pixels of one colour, `channels` bytes each (alpha last).
std::vector<uint8_t> SolidPixels(int width, int height, int channels, Colour colour, int alpha = 255);
// A fresh folder under the build's scratch area for a test's files.
std::string TestScratchFolder(const std::string& name);
