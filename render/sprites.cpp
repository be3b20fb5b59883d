// The sprite table and sprite drawing: pictures decoded into texels in memory,
// their display size, clip and rotation with cached quad corners, culling, and
// the opaque, blended and tinted-silhouette draws (painted by sprite_paint.cpp).
#include <algorithm>
#include <cmath>
#include <new>
#include <map>
#include <mutex>
#include <vector>

#include "platform/platform.h"
#include "render/frame_bands.h"
#include "render/image.h"
#include "render/screen_state.h"
#include "render/sprite.h"
#include "render/sprite_paint.h"

namespace {
struct SpriteRecord {
  bool loaded = false;
  std::vector<uint32_t> texels;  // 0xAARRGGBB, last picture row first
  int displayWidth = 0, displayHeight = 0;
  int depth = 0;
  int loadFlags = 0;
  int imageWidth = 0, imageHeight = 0;
  int clipX = 0, clipY = 0, clipWidth = 0, clipHeight = 0;
  uint8_t geometryState = 0;  // 1: corners are valid
  float rotation = 0.0f;      // radians, opposite sign of the caller's degrees
  float corners[4][2] = {};   // x, y relative to the bottom-left, y up
};

// Numbered slots start at 64 and grow to id + 64; ids at or above
// MAX_SLOT_ID are refused so a wild id cannot grow the table without bound.
// Sprites loaded with id -1 get ids from DYNAMIC_ID_BASE upwards.
constexpr SpriteId INITIAL_SLOTS = 64;
constexpr SpriteId MAX_SLOT_ID = 65536;
constexpr SpriteId DYNAMIC_ID_BASE = 1 << 20;

std::mutex tableLock;
std::vector<SpriteRecord> slots(INITIAL_SLOTS);
std::map<SpriteId, SpriteRecord> dynamicSprites;
SpriteId nextDynamicId = DYNAMIC_ID_BASE;

// The present sprite under id, or null. Records stay where they are between
// loads, so the pointer is good for the caller's one operation.
SpriteRecord* Find(SpriteId id) {
  std::lock_guard<std::mutex> hold(tableLock);
  if (id < 0) return nullptr;
  if (id < (SpriteId)slots.size()) return slots[(size_t)id].loaded ? &slots[(size_t)id] : nullptr;
  auto it = dynamicSprites.find(id);
  return it != dynamicSprites.end() && it->second.loaded ? &it->second : nullptr;
}

// Texels from top-down BGR(A) rows, last row first, with the alpha rules of
// the load flags: kept from 32-bit pictures, black as the colour key of
// 24-bit ones, opaque without SPRITE_KEEP_ALPHA.
std::vector<uint32_t> ToTexels(const DecodedImage& img, int flags) {
  bool keepAlpha = (flags & SPRITE_KEEP_ALPHA) != 0;
  int bpp = img.depth == 32 ? 4 : 3;
  std::vector<uint32_t> texels((size_t)img.width * (size_t)img.height);
  for (int y = 0; y < img.height; y++) {
    const uint8_t* src = img.pixels.data() + (size_t)(img.height - 1 - y) * (size_t)img.width * bpp;
    uint32_t* dst = texels.data() + (size_t)y * (size_t)img.width;
    for (int x = 0; x < img.width; x++, src += bpp) {
      uint32_t a = 255;
      if (keepAlpha && bpp == 4) a = src[3];
      if (keepAlpha && bpp == 3 && src[0] == 0 && src[1] == 0 && src[2] == 0) a = 0;
      dst[x] = (uint32_t)src[0] | (uint32_t)src[1] << 8 | (uint32_t)src[2] << 16 | a << 24;
    }
  }
  return texels;
}

void ComputeCorners(SpriteRecord& s) {
  float w = (float)s.displayWidth, h = (float)s.displayHeight;
  float base[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
  float cx = w / 2, cy = h / 2;
  float c = std::cos(s.rotation), sn = std::sin(s.rotation);
  for (int i = 0; i < 4; i++) {
    float x = base[i][0], y = base[i][1];
    if (s.rotation != 0.0f) {
      x = cx + (base[i][0] - cx) * c - (base[i][1] - cy) * sn;
      y = cy + (base[i][0] - cx) * sn + (base[i][1] - cy) * c;
    }
    s.corners[i][0] = x;
    s.corners[i][1] = y;
  }
  s.geometryState = 1;
}

bool OnScreen(const SpriteRecord& s, float x, float y) {
  float m = 0;
  if (s.rotation != 0.0f || s.geometryState == 1) m = (float)std::max(s.displayWidth, s.displayHeight);
  return x < (float)showFrame.width + m && y < (float)showFrame.height + m &&
         x > -m - (float)s.displayWidth && y > -m - (float)s.displayHeight;
}

// Paints the sprite's quad with its top-left at (x, y). The corners are
// placed as single floats, y up from the frame's bottom edge, then turned
// into frame rows.
void PaintQuad(SpriteRecord& s, float x, float y, SpriteMode mode, int intensity, uint32_t tint) {
  if (s.geometryState == 0) ComputeCorners(s);
  const float frameH = (float)showFrame.height;
  float ox = x, oy = frameH - y - (float)s.displayHeight;
  // Sums in 64 bits: a clip may lie anywhere an int reaches.
  const int64_t clipX = s.clipX, clipY = s.clipY, imageH = s.imageHeight;
  float s0 = (float)clipX, s1 = (float)(clipX + s.clipWidth);
  float t0 = (float)(imageH - clipY - s.clipHeight), t1 = (float)(imageH - clipY);
  const float tex[4][2] = {{s0, t0}, {s1, t0}, {s1, t1}, {s0, t1}};
  SpriteQuad q;
  q.texels = s.texels.data();
  q.texWidth = s.imageWidth;
  q.texHeight = s.imageHeight;
  for (int i = 0; i < 4; i++) {
    q.x[i] = s.corners[i][0] + ox;
    q.y[i] = frameH - (s.corners[i][1] + oy);
    q.s[i] = tex[i][0];
    q.t[i] = tex[i][1];
  }
  q.mode = mode;
  q.intensity = intensity;
  q.tint = tint;
  if (KeepingFrame())
    KeepQuad(q);
  else
    PaintSpriteQuad(q, 0, showFrame.height - 1);
}

// Looks the sprite up and culls it; null when nothing is to be drawn.
SpriteRecord* Drawable(SpriteId id, float x, float y) {
  if (!FrameIsOpen()) return nullptr;
  SpriteRecord* s = Find(id);
  return s && OnScreen(*s, x, y) ? s : nullptr;
}
}  // namespace

int InitSprites() {
  FreeAllSprites();
  return 1;
}

void FreeAllSprites() {
  PaintKeptFrame();  // kept quads point at the texels
  std::lock_guard<std::mutex> hold(tableLock);
  slots.assign((size_t)INITIAL_SLOTS, SpriteRecord());
  dynamicSprites.clear();
}

// A picture too large to hold (an allocation that fails) is a failed load.
SpriteId LoadSpriteFile(SpriteId id, const std::string& path, int flags) try {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return 0;
  return LoadSpriteBytes(id, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), flags);
} catch (const std::bad_alloc&) {
  return 0;
}

SpriteId LoadSpriteBytes(SpriteId id, const uint8_t* bytes, size_t size, int flags) try {
  bool dynamic = id == -1;
  if (!dynamic && (id < 0 || id >= MAX_SLOT_ID)) {
    std::lock_guard<std::mutex> hold(tableLock);
    if (!dynamicSprites.count(id)) return 0;
  }
  DecodedImage img;
  if (!DecodeImage(bytes, size, img)) return 0;

  SpriteRecord fresh;
  fresh.texels = ToTexels(img, flags);
  fresh.loaded = true;
  fresh.displayWidth = fresh.imageWidth = fresh.clipWidth = img.width;
  fresh.displayHeight = fresh.imageHeight = fresh.clipHeight = img.height;
  fresh.depth = img.depth;
  fresh.loadFlags = flags;

  PaintKeptFrame();  // a kept quad may point at the texels being replaced
  std::lock_guard<std::mutex> hold(tableLock);
  if (dynamic) {
    id = nextDynamicId++;
    dynamicSprites[id] = std::move(fresh);
    return id;
  }
  SpriteRecord* slot;
  if (id < MAX_SLOT_ID) {
    if (id >= (SpriteId)slots.size()) slots.resize((size_t)(id + 64));
    slot = &slots[(size_t)id];
  } else {
    slot = &dynamicSprites[id];
  }
  *slot = std::move(fresh);
  return 1;
} catch (const std::bad_alloc&) {
  return 0;
}

int SpriteExists(SpriteId id) { return Find(id) ? 1 : 0; }

int SpriteWidth(SpriteId id) {
  SpriteRecord* s = Find(id);
  return s ? s->displayWidth : 0;
}

int SpriteHeight(SpriteId id) {
  SpriteRecord* s = Find(id);
  return s ? s->displayHeight : 0;
}

int SetSpriteSize(SpriteId id, int width, int height) {
  SpriteRecord* s = Find(id);
  if (!s) return 0;
  s->displayWidth = width == -1 ? s->clipWidth : width;
  s->displayHeight = height == -1 ? s->clipHeight : height;
  s->geometryState = 0;
  return 1;
}

int ClipSprite(SpriteId id, int x, int y, int width, int height) {
  SpriteRecord* s = Find(id);
  if (!s) return 0;
  if (x == -1) x = 0;
  if (y == -1) y = 0;
  // 64-bit room: any int position, however far outside the picture.
  int64_t w = width == -1 ? s->imageWidth : width, h = height == -1 ? s->imageHeight : height;
  w = std::max<int64_t>(0, std::min<int64_t>(w, (int64_t)s->imageWidth - x));
  h = std::max<int64_t>(0, std::min<int64_t>(h, (int64_t)s->imageHeight - y));
  s->clipX = x;
  s->clipY = y;
  s->clipWidth = (int)w;
  s->clipHeight = (int)h;
  s->displayWidth = (int)w;
  s->displayHeight = (int)h;
  s->geometryState = 0;
  return 1;
}

int SetSpriteRotation(SpriteId id, float degrees, int mode) {
  SpriteRecord* s = Find(id);
  if (!s) return 0;
  const double pi = std::acos(-1.0);
  double turn = (double)degrees * 2.0 * pi / 360.0;
  s->rotation = mode == ROTATION_ABSOLUTE ? (float)-turn : (float)((double)s->rotation - turn);
  s->geometryState = 0;
  return 1;
}

int DrawSpriteOpaque(SpriteId id, float x, float y) {
  SpriteRecord* s = Drawable(id, x, y);
  if (!s) return 0;
  PaintQuad(*s, x, y, SpriteMode::Opaque, 255, 0);
  return 1;
}

int DrawSpriteBlended(SpriteId id, float x, float y, int intensity, int64_t tint) {
  SpriteRecord* s = Drawable(id, x, y);
  if (!s) return 0;
  intensity = std::clamp(intensity, 0, 255);
  if (tint == -1) {
    PaintQuad(*s, x, y, SpriteMode::Blended, intensity, 0);
  } else {
    Colour c = (Colour)tint;
    uint32_t rgb = (uint32_t)RedOf(c) << 16 | (uint32_t)GreenOf(c) << 8 | (uint32_t)BlueOf(c);
    PaintQuad(*s, x, y, SpriteMode::Tinted, intensity, rgb);
  }
  return 1;
}
