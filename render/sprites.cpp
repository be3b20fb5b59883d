// The sprite table and sprite drawing: pictures loaded into rectangle textures,
// their display size, clip and rotation with cached quad corners, culling, and
// the opaque, blended and tinted-silhouette draws.
#include <algorithm>
#include <cmath>
#include <new>
#include <map>
#include <mutex>
#include <vector>

#include "platform/platform.h"
#include "render/image.h"
#include "render/screen_state.h"
#include "render/sprite.h"

namespace {
struct SpriteRecord {
  GLuint texture = 0;  // 0: no sprite
  int displayWidth = 0, displayHeight = 0;
  int depth = 0;
  int loadFlags = 0;
  int imageWidth = 0, imageHeight = 0;
  int clipX = 0, clipY = 0, clipWidth = 0, clipHeight = 0;
  uint8_t geometryState = 0;  // 1: corners are valid
  float rotation = 0.0f;      // radians, opposite sign of the caller's degrees
  float corners[4][3] = {};   // x, y, q relative to the top-left, y up
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
  if (id < (SpriteId)slots.size()) return slots[(size_t)id].texture ? &slots[(size_t)id] : nullptr;
  auto it = dynamicSprites.find(id);
  return it != dynamicSprites.end() && it->second.texture ? &it->second : nullptr;
}

void DeleteTexture(GLuint& texture) {
  if (texture && ScreenHasContext()) glDeleteTextures(1, &texture);
  texture = 0;
}

// Bottom-up RGBA texels from top-down BGR(A) rows, with the alpha rules of
// the load flags: kept from 32-bit pictures, black as the colour key of
// 24-bit ones, opaque without SPRITE_KEEP_ALPHA.
std::vector<uint8_t> ToTexels(const DecodedImage& img, int flags) {
  bool keepAlpha = (flags & SPRITE_KEEP_ALPHA) != 0;
  int bpp = img.depth == 32 ? 4 : 3;
  std::vector<uint8_t> texels((size_t)img.width * (size_t)img.height * 4);
  for (int y = 0; y < img.height; y++) {
    const uint8_t* src = img.pixels.data() + (size_t)(img.height - 1 - y) * (size_t)img.width * bpp;
    uint8_t* dst = texels.data() + (size_t)y * (size_t)img.width * 4;
    for (int x = 0; x < img.width; x++, src += bpp, dst += 4) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
      uint8_t a = 255;
      if (keepAlpha && bpp == 4) a = src[3];
      if (keepAlpha && bpp == 3 && src[0] == 0 && src[1] == 0 && src[2] == 0) a = 0;
      dst[3] = a;
    }
  }
  return texels;
}

GLuint UploadTexture(const DecodedImage& img, int flags) {
  std::vector<uint8_t> texels = ToTexels(img, flags);
  while (glGetError() != GL_NO_ERROR) {
  }
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_RECTANGLE, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_RECTANGLE, 0, GL_RGBA, img.width, img.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  if (glGetError() != GL_NO_ERROR) DeleteTexture(texture);
  return texture;
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
    s.corners[i][2] = 1.0f;
  }
  s.geometryState = 1;
}

bool OnScreen(const SpriteRecord& s, float x, float y) {
  float m = 0;
  if (s.rotation != 0.0f || s.geometryState == 1) m = (float)std::max(s.displayWidth, s.displayHeight);
  return x < (float)screenState.logicalWidth + m && y < (float)screenState.logicalHeight + m &&
         x > -m - (float)s.displayWidth && y > -m - (float)s.displayHeight;
}

void EmitQuad(SpriteRecord& s, float x, float y) {
  if (s.geometryState == 0) ComputeCorners(s);
  float ox = x, oy = (float)screenState.logicalHeight - y - (float)s.displayHeight;
  float s0 = (float)s.clipX, s1 = (float)(s.clipX + s.clipWidth);
  float t0 = (float)(s.imageHeight - s.clipY - s.clipHeight), t1 = (float)(s.imageHeight - s.clipY);
  const float tex[4][2] = {{s0, t0}, {s1, t0}, {s1, t1}, {s0, t1}};
  glBindTexture(GL_TEXTURE_RECTANGLE, s.texture);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; i++) {
    float q = s.corners[i][2];
    glTexCoord4f(tex[i][0] * q, tex[i][1] * q, 0, q);
    glVertex3f(s.corners[i][0] + ox, s.corners[i][1] + oy, 0);
  }
  glEnd();
  MarkFrameChanged();
}

// Looks the sprite up and culls it; null when nothing is to be drawn.
SpriteRecord* Drawable(SpriteId id, float x, float y) {
  if (!ScreenHasContext()) return nullptr;
  SpriteRecord* s = Find(id);
  return s && OnScreen(*s, x, y) ? s : nullptr;
}
}  // namespace

int InitSprites() {
  FreeAllSprites();
  return 1;
}

void FreeAllSprites() {
  std::lock_guard<std::mutex> hold(tableLock);
  for (SpriteRecord& s : slots) DeleteTexture(s.texture);
  for (auto& entry : dynamicSprites) DeleteTexture(entry.second.texture);
  slots.assign((size_t)INITIAL_SLOTS, SpriteRecord());
  dynamicSprites.clear();
}

// A picture too large to hold (an allocation that fails) is a failed load.
SpriteId LoadSpriteFile(SpriteId id, const std::string& path, int flags) try {
  if (!ScreenHasContext()) return 0;
  bool dynamic = id == -1;
  if (!dynamic && (id < 0 || id >= MAX_SLOT_ID)) {
    std::lock_guard<std::mutex> hold(tableLock);
    if (!dynamicSprites.count(id)) return 0;
  }
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return 0;
  DecodedImage img;
  if (!DecodeImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), img)) return 0;

  SpriteRecord fresh;
  fresh.texture = UploadTexture(img, flags);
  if (!fresh.texture) return 0;
  fresh.displayWidth = fresh.imageWidth = fresh.clipWidth = img.width;
  fresh.displayHeight = fresh.imageHeight = fresh.clipHeight = img.height;
  fresh.depth = img.depth;
  fresh.loadFlags = flags;

  std::lock_guard<std::mutex> hold(tableLock);
  if (dynamic) {
    id = nextDynamicId++;
    dynamicSprites[id] = fresh;
    return id;
  }
  SpriteRecord* slot;
  if (id < MAX_SLOT_ID) {
    if (id >= (SpriteId)slots.size()) slots.resize((size_t)(id + 64));
    slot = &slots[(size_t)id];
  } else {
    slot = &dynamicSprites[id];
  }
  DeleteTexture(slot->texture);
  *slot = fresh;
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
  if (width == -1) width = s->imageWidth;
  if (height == -1) height = s->imageHeight;
  if (width > s->imageWidth - x) width = s->imageWidth - x;
  if (height > s->imageHeight - y) height = s->imageHeight - y;
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  s->clipX = x;
  s->clipY = y;
  s->clipWidth = width;
  s->clipHeight = height;
  s->displayWidth = width;
  s->displayHeight = height;
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
  glDisable(GL_BLEND);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glColor4f(1, 1, 1, 1);
  EmitQuad(*s, x, y);
  return 1;
}

int DrawSpriteBlended(SpriteId id, float x, float y, int intensity, int64_t tint) {
  SpriteRecord* s = Drawable(id, x, y);
  if (!s) return 0;
  float a = (float)std::clamp(intensity, 0, 255) / 255.0f;
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  if (tint == -1) {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(1, 1, 1, a);
  } else {
    Colour c = (Colour)tint;
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glColor4f((float)RedOf(c) / 255.0f, (float)GreenOf(c) / 255.0f, (float)BlueOf(c) / 255.0f, a);
  }
  EmitQuad(*s, x, y);
  return 1;
}
