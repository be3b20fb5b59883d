// Page location, base64, PNG and pixel statistics for the browser tests.
#include "web/page_tools.h"

#include "web/child_process.h"

#include <png.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <cmath>
#include <cstring>
#include <unordered_set>

std::string WebPageFolder() { return ZYNTRAX_WEB_PAGE; }
std::string ShippedPageFolder() { return ZYNTRAX_WEB_SHIPPED_PAGE; }

std::string MissingPageFiles() {
  std::string missing;
  for (const std::string& folder : {WebPageFolder(), ShippedPageFolder()})
    for (const char* name : {"index.html", "zyntrax.js", "zyntrax.wasm"}) {
      struct stat st {};
      std::string path = folder + "/" + name;
      if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) missing += " " + path;
    }
  if (missing.empty()) return "";
  return "the web page is not built (missing:" + missing + "); build it with: bash tools/web.sh --build";
}

bool DecodeBase64(const std::string& text, std::vector<uint8_t>& out) {
  static int8_t value[256];
  static bool ready = false;
  if (!ready) {
    std::memset(value, -1, sizeof value);
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; i++) value[(unsigned char)alphabet[i]] = (int8_t)i;
    ready = true;
  }
  out.clear();
  if (text.size() % 4 != 0) return false;
  out.reserve(text.size() / 4 * 3);
  for (size_t i = 0; i < text.size(); i += 4) {
    int v[4];
    int pad = 0;
    for (int k = 0; k < 4; k++) {
      unsigned char c = (unsigned char)text[i + k];
      if (c == '=' && i + 4 == text.size() && k >= 2) {
        v[k] = 0;
        pad++;
        continue;
      }
      if (pad > 0 || value[c] < 0) return false;  // data after padding, or not base64
      v[k] = value[c];
    }
    uint32_t word = (uint32_t)v[0] << 18 | (uint32_t)v[1] << 12 | (uint32_t)v[2] << 6 | (uint32_t)v[3];
    out.push_back((uint8_t)(word >> 16));
    if (pad < 2) out.push_back((uint8_t)(word >> 8 & 0xFF));
    if (pad < 1) out.push_back((uint8_t)(word & 0xFF));
  }
  return true;
}

RgbPicture DecodePng(const std::vector<uint8_t>& bytes) {
  RgbPicture p;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return p;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return p;
  }
  p.width = (int)image.width;
  p.height = (int)image.height;
  p.pixels.resize((size_t)p.width * (size_t)p.height);
  for (size_t i = 0; i < p.pixels.size(); i++)
    p.pixels[i] = (uint32_t)rgb[3 * i] << 16 | (uint32_t)rgb[3 * i + 1] << 8 | rgb[3 * i + 2];
  return p;
}

bool WritePng(const std::string& path, const RgbPicture& p) {
  std::vector<uint8_t> rgb(p.pixels.size() * 3);
  for (size_t i = 0; i < p.pixels.size(); i++) {
    rgb[3 * i] = (uint8_t)(p.pixels[i] >> 16);
    rgb[3 * i + 1] = (uint8_t)(p.pixels[i] >> 8);
    rgb[3 * i + 2] = (uint8_t)p.pixels[i];
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = (png_uint_32)p.width;
  image.height = (png_uint_32)p.height;
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

BlockMeans MeansOf(const RgbPicture& p, int x0, int y0, int w, int h, int cols, int rows) {
  BlockMeans m;
  m.cols = cols;
  m.rows = rows;
  m.rgb.assign((size_t)cols * (size_t)rows * 3, 0.0f);
  std::vector<int> counts((size_t)cols * (size_t)rows, 0);
  for (int y = y0; y < y0 + h && y < p.height; y++)
    for (int x = x0; x < x0 + w && x < p.width; x++) {
      if (x < 0 || y < 0) continue;
      size_t b = (size_t)((y - y0) * rows / h) * (size_t)cols + (size_t)((x - x0) * cols / w);
      uint32_t c = p.pixels[(size_t)y * (size_t)p.width + (size_t)x];
      m.rgb[3 * b] += (float)(c >> 16 & 0xFF);
      m.rgb[3 * b + 1] += (float)(c >> 8 & 0xFF);
      m.rgb[3 * b + 2] += (float)(c & 0xFF);
      counts[b]++;
    }
  for (size_t b = 0; b < counts.size(); b++)
    for (int k = 0; k < 3; k++) m.rgb[3 * b + (size_t)k] /= (float)(counts[b] > 0 ? counts[b] : 1);
  return m;
}

double MatchingBlockShare(const BlockMeans& a, const BlockMeans& b, float tolerance) {
  if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return 0;
  size_t blocks = a.rgb.size() / 3, same = 0;
  for (size_t i = 0; i < blocks; i++) {
    bool close = true;
    for (int k = 0; k < 3; k++) close = close && std::fabs(a.rgb[3 * i + (size_t)k] - b.rgb[3 * i + (size_t)k]) <= tolerance;
    same += close;
  }
  return (double)same / (double)blocks;
}

int DistinctColours(const RgbPicture& p, int x0, int y0, int w, int h, int limit) {
  std::unordered_set<uint32_t> seen;
  for (int y = std::max(y0, 0); y < y0 + h && y < p.height; y++)
    for (int x = std::max(x0, 0); x < x0 + w && x < p.width; x++) {
      seen.insert(p.pixels[(size_t)y * (size_t)p.width + (size_t)x]);
      if ((int)seen.size() >= limit) return limit;
    }
  return (int)seen.size();
}

bool BrowserPage::WaitFor(const std::string& expression, int timeoutMs, std::string& error) {
  int64_t until = NowMs() + timeoutMs;
  std::string last;
  while (true) {
    std::string e;
    JsonValue v = Eval(expression, e, 10000);
    if (v.kind == JsonValue::BOOL && v.boolean) return true;
    if (!e.empty()) last = e;
    if (NowMs() >= until) {
      error = "still not true after " + std::to_string(timeoutMs) + " ms: " + expression +
              (last.empty() ? "" : " (" + last + ")");
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

JsonValue PageState(BrowserPage& tab, std::string& error) {
  JsonValue text = tab.Eval("window.zyntraxTest.state()", error);
  if (text.kind != JsonValue::STRING) {
    if (error.empty()) error = "state() gave no string";
    return JsonValue();
  }
  std::string parseError;
  JsonValue state = ParseJson(text.text, &parseError);
  if (state.kind != JsonValue::OBJECT) error = "state() is not a JSON object: " + parseError + ": " + text.text;
  return state;
}
