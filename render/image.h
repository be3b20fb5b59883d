// In-memory pictures, numbered by the caller: decoded PNG files kept for pixel
// reading (the rotozoom picture, the launcher banner), never uploaded to GL.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct DecodedImage {
  int width = 0, height = 0;
  int depth = 0;               // 24 or 32
  std::vector<uint8_t> pixels; // rows top to bottom, B G R (A) per pixel
};
// Decodes PNG bytes (palette and transparency expanded); false when they are not
// a valid picture. Never reads past `size`.
bool DecodeImage(const uint8_t* bytes, size_t size, DecodedImage& out);

int LoadImageFile(int number, const std::string& path);
// The same from PNG bytes in memory (a carried file read in place).
int LoadImageBytes(int number, const uint8_t* bytes, size_t size);
int ImageExists(int number);
int ImageWidth(int number);
int ImageHeight(int number);
// Starts a drawing pass whose output is the picture's own pixels; 0 on failure.
int BeginImageDrawing(int number);
// Makes picture dst a copy of the w x h rectangle of picture src at (x, y),
// clipped to src; 0 on failure.
int CopyImageRegion(int dst, int src, int x, int y, int width, int height);
void FreeImage(int number);
