// The native frames and music for the web comparisons, painted and decoded in
// this process through the same driver and decoder functions the tools call.
#include "web/native_show.h"

#include <zlib.h>

#include <algorithm>

#include "audio/audio.h"
#include "driver/driver.h"
#include "effects/effects.h"
#include "platform/display.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/font.h"
#include "render/screen.h"
#include "render/sprite.h"

NativeFrame NativeFrameAt(int64_t showMs, uint64_t seed) {
  NativeFrame out;
  // The frame in memory, no music; the carried files read from the source
  // tree they are packed from.
  ShowStart how;
  how.display = ShowStart::Display::NONE;
  how.music = false;
  how.collectMessages = true;
  how.assetFolder = std::string(ZYNTRAX_ASSET_DIR) + "/";
  how.seeded = true;
  how.seed = seed;
  how.entry = ShowStart::Entry::AT_FRAME;
  how.grid = FrameGrid{1000, 1};  // the page enters on the same millisecond grid
  how.frame = showMs;
  if (!StartShowAlone(how)) return out;
  UpdateSceneTime();
  DrawFrame();
  FrameView frame = FinishedFrame();
  out.messages = CollectedMessages();
  out.row = currentScene;
  if (frame.pixels && frame.width == DESIGN_WIDTH && frame.height == DESIGN_HEIGHT) {
    out.width = frame.width;
    out.height = frame.height;
    out.pixels.resize((size_t)frame.width * (size_t)frame.height);
    for (int y = 0; y < frame.height; y++) {
      const uint8_t* src = frame.pixels + (size_t)y * (size_t)frame.stride;
      for (int x = 0; x < frame.width; x++, src += 4)
        out.pixels[(size_t)y * (size_t)frame.width + (size_t)x] =
            (uint32_t)src[2] << 16 | (uint32_t)src[1] << 8 | (uint32_t)src[0];
    }
  }
  TestUseRealClock();
  CloseShowScreen();
  return out;
}

uint32_t Crc32Of(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> bytes(samples.size() * 2);
  for (size_t i = 0; i < samples.size(); i++) {
    uint16_t v = (uint16_t)samples[i];
    bytes[2 * i] = (uint8_t)(v & 0xFF);
    bytes[2 * i + 1] = (uint8_t)(v >> 8);
  }
  uLong crc = crc32(0L, Z_NULL, 0);
  // zlib takes its length as a 32-bit count: feed it in pieces.
  for (size_t at = 0; at < bytes.size(); at += (size_t)1 << 24) {
    size_t n = std::min(bytes.size() - at, (size_t)1 << 24);
    crc = crc32(crc, bytes.data() + at, (uInt)n);
  }
  return (uint32_t)crc;
}

NativeTrack NativeMusic() {
  NativeTrack t;
  if (!DecodeSoundFile(std::string(ZYNTRAX_ASSET_DIR) + "/music.ogg", t.samples, t.channels, t.sampleRate)) return t;
  t.decoded = true;
  t.frames = t.channels > 0 ? (int64_t)t.samples.size() / t.channels : 0;
  t.crc = Crc32Of(t.samples);
  return t;
}

int64_t TimelineRowAt(int64_t showMs) {
  SetStartValues();
  BuildTimeline();
  int64_t row = 0, start = 0;
  // A row holds up to and including its last millisecond.
  while (row + 1 < (int64_t)timeline.size() && showMs - start > timeline[(size_t)row].durationMs) {
    start += timeline[(size_t)row].durationMs;
    row++;
  }
  return row;
}

int64_t RowStartMs(int64_t row) {
  SetStartValues();
  BuildTimeline();
  int64_t start = 0;
  for (int64_t r = 0; r < row && r < (int64_t)timeline.size(); r++) start += timeline[(size_t)r].durationMs;
  return start;
}

int64_t RowDurationMs(int64_t row) {
  SetStartValues();
  BuildTimeline();
  return row >= 0 && row < (int64_t)timeline.size() ? timeline[(size_t)row].durationMs : 0;
}
