// The drawing bridge: hands the GL frame to the software primitives as a
// bottom-up BGR buffer and puts their work back. Rows are fetched from GL only
// when a primitive first uses them, and only the rows it changed go back.
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "render/draw_internal.h"
#include "render/screen_state.h"
#include "render/sprite.h"

#ifndef GL_BGR
#define GL_BGR 0x80E0
#endif

namespace {
// Per drawing row of the logical frame: VALID, the row in `frame` equals what
// GL shows; DIRTY, a primitive changed it in the open pair.
constexpr uint8_t ROW_VALID = 1, ROW_DIRTY = 2;

// frame is the logical-size copy the primitives paint on. flagsTrusted says
// the VALID marks still hold: any GL drawing (a sprite, a present, a clear)
// makes every row stale at once.
std::vector<uint8_t> frame;
std::vector<uint8_t> windowFrame;
std::vector<uint8_t> rowFlags;
int validRows = 0;
bool flagsTrusted = false;
bool readFailed = false;  // a fetch failed in the open pair: nothing goes back
GLuint bridgeTexture = 0;
int bridgeTextureW = 0, bridgeTextureH = 0;
double bridgeMs = 0.0;

double NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int RowStride(int width) { return (width * 3 + 3) & ~3; }

// A window that is not the logical size shows a resampled picture; there the
// whole frame goes both ways, as one piece.
bool Resampled() {
  const ScreenState& s = screenState;
  return s.windowWidth != s.logicalWidth || s.windowHeight != s.logicalHeight;
}

void ForgetRows() {
  std::fill(rowFlags.begin(), rowFlags.end(), (uint8_t)0);
  validRows = 0;
}

// Nearest-neighbour resampling of the window-size read-back to the logical
// size, in 16.16 fixed point, first sample half a step in. Rows stay bottom-up.
void ResampleToLogical(int srcW, int srcH, int dstW, int dstH) {
  int srcStride = RowStride(srcW), dstStride = RowStride(dstW);
  uint32_t stepX = (uint32_t)(((uint64_t)srcW << 16) / (uint64_t)dstW);
  uint32_t stepY = (uint32_t)(((uint64_t)srcH << 16) / (uint64_t)dstH);
  uint32_t py = stepY / 2;
  for (int y = 0; y < dstH; y++, py += stepY) {
    int sy = (int)(py >> 16);
    if (sy >= srcH) sy = srcH - 1;
    const uint8_t* src = windowFrame.data() + (size_t)sy * srcStride;
    uint8_t* dst = frame.data() + (size_t)y * dstStride;
    uint32_t px = stepX / 2;
    for (int x = 0; x < dstW; x++, px += stepX) {
      int sx = (int)(px >> 16);
      if (sx >= srcW) sx = srcW - 1;
      dst[x * 3 + 0] = src[sx * 3 + 0];
      dst[x * 3 + 1] = src[sx * 3 + 1];
      dst[x * 3 + 2] = src[sx * 3 + 2];
    }
  }
}

void DropErrors() {
  while (glGetError() != GL_NO_ERROR) {
  }
}

// The whole window, resampled to the logical size.
bool ReadWholeWindow() {
  const ScreenState& s = screenState;
  DropErrors();
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadBuffer(GL_BACK);
  windowFrame.resize((size_t)RowStride(s.windowWidth) * (size_t)s.windowHeight);
  glReadPixels(s.viewportX, s.viewportY, s.windowWidth, s.windowHeight, GL_BGR, GL_UNSIGNED_BYTE,
               windowFrame.data());
  ResampleToLogical(s.windowWidth, s.windowHeight, s.logicalWidth, s.logicalHeight);
  return glGetError() == GL_NO_ERROR;
}

// Drawing rows first..last straight from the back buffer into their place in
// the bottom-up copy.
bool ReadRows(int first, int last) {
  const ScreenState& s = screenState;
  const int h = s.logicalHeight, bottom = h - 1 - last;
  DropErrors();
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadBuffer(GL_BACK);
  glReadPixels(s.viewportX, s.viewportY + bottom, s.logicalWidth, last - first + 1, GL_BGR, GL_UNSIGNED_BYTE,
               frame.data() + (size_t)bottom * (size_t)RowStride(s.logicalWidth));
  return glGetError() == GL_NO_ERROR;
}

// Fetches every stale row of first..last, one read per stale run. The band is
// widened to whole blocks of FETCH_BLOCK rows: scattered small shapes then
// cost a few reads instead of one each.
constexpr int FETCH_BLOCK = 32;
void FetchRows(int first, int last) {
  first -= first % FETCH_BLOCK;
  last = std::min(last - last % FETCH_BLOCK + FETCH_BLOCK - 1, (int)rowFlags.size() - 1);
  for (int y = first; y <= last; ++y) {
    if (rowFlags[(size_t)y] & ROW_VALID) continue;
    int end = y;
    while (end < last && !(rowFlags[(size_t)end + 1] & ROW_VALID)) ++end;
    if (!ReadRows(y, end)) {
      // What the primitives paint now cannot be trusted to match GL.
      readFailed = true;
      ForgetRows();
      return;
    }
    for (int r = y; r <= end; ++r) rowFlags[(size_t)r] |= ROW_VALID;
    validRows += end - y + 1;
    y = end;
  }
}

// Row hook of the screen output: runs before a primitive uses rows.
void PrepareRows(void*, int first, int last, RowUse use) {
  if (readFailed) return;
  if (use == RowUse::Replace) {
    // Every pixel is about to be set: what GL holds there no longer matters.
    for (int y = first; y <= last; ++y) {
      uint8_t& f = rowFlags[(size_t)y];
      if (!(f & ROW_VALID)) ++validRows;
      f = ROW_VALID | ROW_DIRTY;
    }
    return;
  }
  if (validRows < (int)rowFlags.size()) {
    double t0 = NowMs();
    FetchRows(first, last);
    bridgeMs += NowMs() - t0;
    if (readFailed) return;
  }
  if (use == RowUse::Change)
    for (int y = first; y <= last; ++y) rowFlags[(size_t)y] |= ROW_DIRTY;
}

// Buffer rows bottom..top-1 (GL rows, counted from the bottom) as one opaque
// textured quad, texel for pixel.
void DrawBand(int bottom, int top) {
  const int w = screenState.logicalWidth;
  const float y0 = (float)bottom, y1 = (float)top;
  glBegin(GL_QUADS);
  glTexCoord2f(0, y0);
  glVertex3f(0, y0, 0);
  glTexCoord2f((float)w, y0);
  glVertex3f((float)w, y0, 0);
  glTexCoord2f((float)w, y1);
  glVertex3f((float)w, y1, 0);
  glTexCoord2f(0, y1);
  glVertex3f(0, y1, 0);
  glEnd();
}

// Uploads buffer rows bottom..top-1 into the bridge texture and draws them.
void PutBand(int bottom, int top) {
  const int stride = RowStride(screenState.logicalWidth);
  glTexSubImage2D(GL_TEXTURE_RECTANGLE, 0, 0, bottom, screenState.logicalWidth, top - bottom, GL_BGR,
                  GL_UNSIGNED_BYTE, frame.data() + (size_t)bottom * (size_t)stride);
  DrawBand(bottom, top);
}

// Binds the bridge texture, made at the logical size, and the opaque state.
void PrepareTexture(bool smooth) {
  const int w = screenState.logicalWidth, h = screenState.logicalHeight;
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  if (!bridgeTexture) glGenTextures(1, &bridgeTexture);
  glBindTexture(GL_TEXTURE_RECTANGLE, bridgeTexture);
  // One texel per pixel needs no filtering (and nearest is much cheaper on
  // software GL); a stretched window gets the smoothed picture.
  GLint filter = smooth ? GL_LINEAR : GL_NEAREST;
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, filter);
  if (bridgeTextureW != w || bridgeTextureH != h) {
    glTexImage2D(GL_TEXTURE_RECTANGLE, 0, GL_RGB, w, h, 0, GL_BGR, GL_UNSIGNED_BYTE, nullptr);
    bridgeTextureW = w;
    bridgeTextureH = h;
  }
  glDisable(GL_BLEND);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glColor4f(1, 1, 1, 1);
}

// Release action of the screen output. A resampled window gets the whole
// frame back; otherwise each run of changed rows goes back as its own band,
// and rows nobody changed keep what GL shows, which is what they held anyway.
void WriteFrameBack(void*) {
  const ScreenState& s = screenState;
  if (!s.context) return;
  double t0 = NowMs();
  const int h = s.logicalHeight;
  if (Resampled()) {
    PrepareTexture(true);
    PutBand(0, h);
    flagsTrusted = true;
  } else if (!readFailed) {
    bool bound = false;
    for (int y = 0; y < h; ++y) {
      if (!(rowFlags[(size_t)y] & ROW_DIRTY)) continue;
      int end = y;
      while (end + 1 < h && (rowFlags[(size_t)end + 1] & ROW_DIRTY)) ++end;
      if (!bound) PrepareTexture(false);
      bound = true;
      PutBand(h - 1 - end, h - y);
      y = end;
    }
  }
  for (uint8_t& f : rowFlags) f &= (uint8_t)~ROW_DIRTY;
  readFailed = false;
  bridgeMs += NowMs() - t0;
}
}  // namespace

void MarkFrameChanged() { flagsTrusted = false; }

void DropBridgeTexture() {
  if (bridgeTexture && screenState.context) glDeleteTextures(1, &bridgeTexture);
  bridgeTexture = 0;
  bridgeTextureW = bridgeTextureH = 0;
  flagsTrusted = false;
}

int BeginScreenDrawing() {
  const ScreenState& s = screenState;
  if (!s.context || s.logicalWidth <= 0 || s.logicalHeight <= 0) return 0;
  // An output still open is finished first, so its rows are back on GL.
  if (HasCurrentOutput()) EndScreenDrawing();
  double t0 = NowMs();
  frame.resize((size_t)RowStride(s.logicalWidth) * (size_t)s.logicalHeight);
  if (rowFlags.size() != (size_t)s.logicalHeight) {
    rowFlags.assign((size_t)s.logicalHeight, 0);
    flagsTrusted = false;
  }
  if (!flagsTrusted) ForgetRows();
  readFailed = false;
  if (Resampled() && validRows < s.logicalHeight) {
    if (!ReadWholeWindow()) {
      bridgeMs += NowMs() - t0;
      return 0;
    }
    std::fill(rowFlags.begin(), rowFlags.end(), ROW_VALID);
    validRows = s.logicalHeight;
  }
  flagsTrusted = true;
  bridgeMs += NowMs() - t0;
  if (!BeginBufferDrawing(frame.data(), s.logicalWidth, s.logicalHeight, 3, RowStride(s.logicalWidth), true,
                          WriteFrameBack, nullptr))
    return 0;
  if (!Resampled()) SetOutputRowHook(PrepareRows);
  return 1;
}

double BridgeMilliseconds() { return bridgeMs; }
