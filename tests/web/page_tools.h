// What the browser tests share: where the built page is, base64 and PNG
// decoding, pixel comparisons, and the page's test interface read as JSON.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "web/browser_page.h"

// The folders of the built pages (index.html, zyntrax.js, zyntrax.wasm): the
// one built for the browser tests, and the shipped one.
std::string WebPageFolder();
std::string ShippedPageFolder();
// "" when both pages are there, else what is missing and how to build it.
std::string MissingPageFiles();

// Standard base64 (padding required, no blanks); false on anything else.
bool DecodeBase64(const std::string& text, std::vector<uint8_t>& out);

struct RgbPicture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom
};
// A PNG file in memory (as a screenshot arrives); width 0 when unreadable.
RgbPicture DecodePng(const std::vector<uint8_t>& bytes);

// Writes a picture as an RGB PNG file; false when it cannot be written.
bool WritePng(const std::string& path, const RgbPicture& p);

// The mean colour of each block x block square of a picture's region
// (x0, y0, w, h), scaled to cells x rows blocks; for comparing a scaled-down
// screenshot with the frame it shows.
struct BlockMeans {
  int cols = 0, rows = 0;
  std::vector<float> rgb;  // 3 values per block
};
BlockMeans MeansOf(const RgbPicture& p, int x0, int y0, int w, int h, int cols, int rows);
// The share of blocks whose three channel means lie within tolerance.
double MatchingBlockShare(const BlockMeans& a, const BlockMeans& b, float tolerance);
// How many different colours a picture's region holds (counted up to limit).
int DistinctColours(const RgbPicture& p, int x0, int y0, int w, int h, int limit);

// window.zyntraxTest.state() parsed; NONE with error set when it cannot be read.
JsonValue PageState(BrowserPage& tab, std::string& error);
