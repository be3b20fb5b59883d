// Sprite pixels against a real GL: a corpus of draws (fractional positions,
// sizes, clips, turns through a whole circle, intensities, tints, 24- and
// 32-bit pictures, the colour key) painted by the sprite layer in memory and by
// an immediate-mode GL reference kept here, on Mesa's software renderer. They
// must agree except on a quad's one-pixel rim and by 1 in 255 where blending
// rounds.
#include <gtest/gtest.h>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "driver/driver.h"
#include "platform/display.h"
#include "render/screen.h"
#include "render/sprite.h"
#include "support/gl_display.h"

#ifndef GL_TEXTURE_RECTANGLE
#define GL_TEXTURE_RECTANGLE 0x84F5
#endif

namespace {
constexpr int W = 1920, H = 1080;
constexpr SpriteId BACKGROUND = 45;

uint32_t seed = 1;
int Rand(int n) {
  seed = seed * 1103515245u + 12345u;
  return (int)((seed >> 8) % (uint32_t)n);
}

// A test picture: its pixels as written to the PNG and the flags it is loaded with.
struct TestPicture {
  SpriteId id;
  int width, height, channels, flags;
  std::vector<uint8_t> rgba;  // top-down R G B (A)
  GLuint texture = 0;
};

std::vector<uint8_t> NoisePixels(int w, int h, int channels, bool withBlack) {
  std::vector<uint8_t> px;
  for (int i = 0; i < w * h; i++) {
    bool black = withBlack && Rand(4) == 0;
    for (int c = 0; c < 3; c++) px.push_back(black ? 0 : (uint8_t)Rand(256));
    if (channels == 4) {
      int pick = Rand(4);
      px.push_back(pick == 0 ? 0 : pick == 1 ? 255 : (uint8_t)Rand(256));
    }
  }
  return px;
}

// The texels the reference uploads: bottom row first, RGBA, with the alpha
// rules of the load flags.
std::vector<uint8_t> ReferenceTexels(const TestPicture& p) {
  std::vector<uint8_t> t;
  bool keep = (p.flags & SPRITE_KEEP_ALPHA) != 0;
  for (int y = p.height - 1; y >= 0; y--)
    for (int x = 0; x < p.width; x++) {
      const uint8_t* s = &p.rgba[((size_t)y * p.width + x) * p.channels];
      uint8_t a = 255;
      if (keep && p.channels == 4) a = s[3];
      if (keep && p.channels == 3 && s[0] == 0 && s[1] == 0 && s[2] == 0) a = 0;
      t.insert(t.end(), {s[0], s[1], s[2], a});
    }
  return t;
}

void Upload(TestPicture& p) {
  std::vector<uint8_t> texels = ReferenceTexels(p);
  glGenTextures(1, &p.texture);
  glBindTexture(GL_TEXTURE_RECTANGLE, p.texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_RECTANGLE, 0, GL_RGBA, p.width, p.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
}

struct Draw {
  int picture = 0;
  float x = 0, y = 0;
  int clipX = 0, clipY = 0, clipW = -1, clipH = -1;  // -1: the whole picture
  int width = -1, height = -1;                        // display size, -1: the clip's
  float degrees = 0;
  int mode = 0;  // 0 opaque, 1 blended, 2 tinted
  int intensity = 255;
  Colour tint = 0;
};

// The quad of a draw as the sprite layer builds it: corners about the
// displayed centre, y up from the frame's bottom, in single floats.
struct Quad {
  float x[4], y[4], s[4], t[4];
};

Quad QuadOf(const TestPicture& p, const Draw& d, int clipX, int clipY, int clipW, int clipH, int w, int h) {
  Quad q;
  const double pi = std::acos(-1.0);
  float rotation = (float)-((double)d.degrees * 2.0 * pi / 360.0);
  float fw = (float)w, fh = (float)h, cx = fw / 2, cy = fh / 2;
  float base[4][2] = {{0, 0}, {fw, 0}, {fw, fh}, {0, fh}};
  float c = std::cos(rotation), sn = std::sin(rotation);
  float ox = d.x, oy = (float)H - d.y - fh;
  float s0 = (float)clipX, s1 = (float)(clipX + clipW);
  float t0 = (float)(p.height - clipY - clipH), t1 = (float)(p.height - clipY);
  const float tex[4][2] = {{s0, t0}, {s1, t0}, {s1, t1}, {s0, t1}};
  for (int i = 0; i < 4; i++) {
    float x = base[i][0], y = base[i][1];
    if (rotation != 0.0f) {
      x = cx + (base[i][0] - cx) * c - (base[i][1] - cy) * sn;
      y = cy + (base[i][0] - cx) * sn + (base[i][1] - cy) * c;
    }
    q.x[i] = x + ox;
    q.y[i] = y + oy;
    q.s[i] = tex[i][0];
    q.t[i] = tex[i][1];
  }
  return q;
}

// The reference: the quad drawn by GL with nearest sampling and the blend,
// texture environment and colour the sprite layer's rules name.
void ReferenceDraw(const TestPicture& p, const Quad& q, const Draw& d) {
  glEnable(GL_TEXTURE_RECTANGLE);
  glBindTexture(GL_TEXTURE_RECTANGLE, p.texture);
  float a = (float)d.intensity / 255.0f;
  if (d.mode == 0) {
    glDisable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(1, 1, 1, 1);
  } else {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (d.mode == 1) {
      glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
      glColor4f(1, 1, 1, a);
    } else {
      glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
      glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_REPLACE);
      glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_PREVIOUS);
      glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
      glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_MODULATE);
      glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_TEXTURE);
      glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_ALPHA, GL_PREVIOUS);
      glColor4f((float)RedOf(d.tint) / 255.0f, (float)GreenOf(d.tint) / 255.0f, (float)BlueOf(d.tint) / 255.0f, a);
    }
  }
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; i++) {
    glTexCoord2f(q.s[i], q.t[i]);
    glVertex2f(q.x[i], q.y[i]);
  }
  glEnd();
}

// Distance from (px, py) to the quad's outline (y up).
double DistanceToOutline(const Quad& q, double px, double py) {
  double best = 1e30;
  for (int i = 0; i < 4; i++) {
    double ax = q.x[i], ay = q.y[i], bx = q.x[(i + 1) & 3], by = q.y[(i + 1) & 3];
    double dx = bx - ax, dy = by - ay, len = dx * dx + dy * dy;
    double u = len > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len, 0.0, 1.0) : 0.0;
    best = std::min(best, std::hypot(px - (ax + u * dx), py - (ay + u * dy)));
  }
  return best;
}

// The texture coordinate at (px, py) (y up), from corners 0, 1 and 3.
void TexCoordAt(const Quad& q, double px, double py, double& s, double& t) {
  double e1x = (double)q.x[1] - q.x[0], e1y = (double)q.y[1] - q.y[0];
  double e2x = (double)q.x[3] - q.x[0], e2y = (double)q.y[3] - q.y[0];
  double det = e1x * e2y - e1y * e2x, dx = px - q.x[0], dy = py - q.y[0];
  double a = (dx * e2y - dy * e2x) / det, b = (e1x * dy - e1y * dx) / det;
  s = q.s[0] + a * ((double)q.s[1] - q.s[0]) + b * ((double)q.s[3] - q.s[0]);
  t = q.t[0] + a * ((double)q.t[1] - q.t[0]) + b * ((double)q.t[3] - q.t[0]);
}

// A coordinate this close to a texel edge may be floored to either texel by
// GL's single-float interpolation (and its scaling of rectangle coordinates);
// the layer takes the exact floor.
bool NearTexelEdge(double v) {
  double f = v - std::floor(v);
  return f < 1.0 / 1024 || f > 1.0 - 1.0 / 1024;
}

struct Counts {
  long equal = 0, rounding = 0, rim = 0, ties = 0, wrong = 0;
};

class SpriteReference : public ::testing::Test {
 protected:
  std::vector<TestPicture> pictures;
  TestPicture background;

  void SetUp() override {
    CloseShowScreen();
    ChoosePresenter(PRESENTER_GL);
    bool opened = OpenTestDisplay();
    ChoosePresenter(PRESENTER_AUTO);
    ASSERT_TRUE(opened);
    ASSERT_EQ(CurrentDisplay().presenter, PRESENTER_GL);
    std::string dir = TestScratchFolder("sprite_reference");
    seed = 7;
    pictures = {
        {40, 37, 23, 4, SPRITE_KEEP_ALPHA, NoisePixels(37, 23, 4, false)},
        {41, 64, 48, 3, SPRITE_KEEP_ALPHA, NoisePixels(64, 48, 3, true)},  // black is the colour key
        {42, 50, 50, 3, 0, NoisePixels(50, 50, 3, true)},                  // black stays black
        {43, 131, 97, 4, SPRITE_KEEP_ALPHA, NoisePixels(131, 97, 4, false)},
    };
    background = {BACKGROUND, W, H, 3, 0, NoisePixels(W, H, 3, false)};
    for (TestPicture* p : {&pictures[0], &pictures[1], &pictures[2], &pictures[3], &background}) {
      std::string path = dir + "picture" + std::to_string(p->id) + ".png";
      ASSERT_TRUE(WriteTestPng(path, p->width, p->height, p->channels, p->rgba));
      ASSERT_TRUE(LoadSpriteFile(p->id, path, p->flags));
      Upload(*p);
    }
    glViewport(0, 0, W, H);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, W, 0, H, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    ASSERT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
  }
  void TearDown() override {
    for (TestPicture* p : {&pictures[0], &pictures[1], &pictures[2], &pictures[3], &background})
      if (p->texture) glDeleteTextures(1, &p->texture);
    CloseShowScreen();
  }

  // Puts the background back on the frame rows/columns of a region, both sides.
  void RestoreBackground(int x0, int y0, int x1, int y1) {
    Draw d;
    d.x = (float)x0;
    d.y = (float)y0;
    ClipSprite(BACKGROUND, x0, y0, x1 - x0, y1 - y0);
    DrawSpriteOpaque(BACKGROUND, d.x, d.y);
    ReferenceDraw(background, QuadOf(background, d, x0, y0, x1 - x0, y1 - y0, x1 - x0, y1 - y0), d);
  }

  // Paints one draw both ways over the background and counts how its
  // neighbourhood compares.
  void Compare(const Draw& d, Counts& counts) {
    const TestPicture& p = pictures[(size_t)d.picture];
    int clipX = d.clipX, clipY = d.clipY;
    int clipW = d.clipW < 0 ? p.width : std::min(d.clipW, p.width - clipX);
    int clipH = d.clipH < 0 ? p.height : std::min(d.clipH, p.height - clipY);
    int w = d.width < 0 ? clipW : d.width, h = d.height < 0 ? clipH : d.height;
    Quad q = QuadOf(p, d, clipX, clipY, clipW, clipH, w, h);
    float left = *std::min_element(q.x, q.x + 4), right = *std::max_element(q.x, q.x + 4);
    float low = *std::min_element(q.y, q.y + 4), high = *std::max_element(q.y, q.y + 4);
    int x0 = std::max(0, (int)std::floor(left) - 3), x1 = std::min(W, (int)std::ceil(right) + 3);
    int y0 = std::max(0, H - (int)std::ceil(high) - 3), y1 = std::min(H, H - (int)std::floor(low) + 3);
    if (x0 >= x1 || y0 >= y1) return;
    RestoreBackground(x0, y0, x1, y1);

    if (d.clipW >= 0 || d.clipX || d.clipY) ClipSprite(p.id, d.clipX, d.clipY, d.clipW, d.clipH);
    else ClipSprite(p.id, 0, 0, p.width, p.height);
    SetSpriteSize(p.id, w, h);
    SetSpriteRotation(p.id, d.degrees, ROTATION_ABSOLUTE);
    if (d.mode == 0) DrawSpriteOpaque(p.id, d.x, d.y);
    else DrawSpriteBlended(p.id, d.x, d.y, d.intensity, d.mode == 2 ? (int64_t)d.tint : -1);
    ReferenceDraw(p, q, d);

    int rw = x1 - x0, rh = y1 - y0;
    std::vector<uint8_t> gl((size_t)rw * rh * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    glReadPixels(x0, H - y1, rw, rh, GL_RGBA, GL_UNSIGNED_BYTE, gl.data());
    FrameView f = FinishedFrame();
    for (int y = y0; y < y1; y++)
      for (int x = x0; x < x1; x++) {
        const uint8_t* r = &gl[((size_t)(y1 - 1 - y) * rw + (x - x0)) * 4];
        const uint8_t* m = f.pixels + (size_t)y * f.stride + (size_t)x * 4;
        int diff = std::max({std::abs(r[0] - m[2]), std::abs(r[1] - m[1]), std::abs(r[2] - m[0])});
        if (diff == 0) {
          counts.equal++;
        } else if (diff <= 1) {
          counts.rounding++;
        } else if (DistanceToOutline(q, x + 0.5, H - y - 0.5) < 1.0) {
          counts.rim++;
        } else {
          double ts, tt;
          TexCoordAt(q, x + 0.5, H - y - 0.5, ts, tt);
          if (NearTexelEdge(ts) || NearTexelEdge(tt)) {
            counts.ties++;
            continue;
          }
          counts.wrong++;
          if (counts.wrong <= 5)
            ADD_FAILURE() << "picture " << d.picture << " at " << d.x << "," << d.y << " size " << w << "x" << h
                          << " turned " << d.degrees << " mode " << d.mode << " intensity " << d.intensity
                          << ": pixel " << x << "," << y << " gl " << (int)r[0] << "," << (int)r[1] << ","
                          << (int)r[2] << " ours " << (int)m[2] << "," << (int)m[1] << "," << (int)m[0];
        }
      }
  }
};

TEST_F(SpriteReference, TheCorpusMatchesGlExceptOnRimsAndRounding) {
  std::vector<Draw> corpus;
  seed = 99;
  const float quarters[] = {0.0f, 0.25f, 0.5f, 0.75f};
  for (int i = 0; i < 160; i++) {
    Draw d;
    d.picture = i % 4;
    const TestPicture& p = pictures[(size_t)d.picture];
    d.x = (float)(Rand(1800) - 60) + quarters[Rand(4)];
    d.y = (float)(Rand(1000) - 60) + quarters[Rand(4)];
    if (i % 5 == 1) {  // a clipped part
      d.clipX = Rand(p.width / 2);
      d.clipY = Rand(p.height / 2);
      d.clipW = 1 + Rand(p.width);
      d.clipH = 1 + Rand(p.height);
    }
    if (i % 3 != 0) {  // sized: shrunk or grown
      d.width = 3 + Rand(300);
      d.height = 3 + Rand(300);
    }
    d.degrees = i % 4 == 0 ? 0.0f : (float)(i * 360 / 160) + quarters[Rand(4)];
    d.mode = i % 3;
    d.intensity = i % 16 == 2 ? 0 : i % 16 == 5 ? 255 : Rand(256);
    d.tint = Rgb(Rand(256), Rand(256), Rand(256));
    corpus.push_back(d);
  }
  // The far edges of the frame, exactly and half a pixel over.
  for (float x : {-10.5f, 1900.0f, 1910.5f}) corpus.push_back(Draw{3, x, 1070.5f, 0, 0, -1, -1, -1, -1, 0, 1, 200});
  Counts counts;
  for (const Draw& d : corpus) Compare(d, counts);
  std::printf(
      "sprite pixels vs GL: %ld equal, %ld within 1/255, %ld differ on a rim, %ld take the texel across an edge "
      "their coordinate lies on, %ld differ otherwise\n",
      counts.equal, counts.rounding, counts.rim, counts.ties, counts.wrong);
  EXPECT_EQ(counts.wrong, 0);
  // Rims and ties are thin shares of the pixels.
  EXPECT_GT(counts.equal, 100 * counts.rim);
  EXPECT_GT(counts.equal, 100 * counts.ties);
}
}  // namespace
