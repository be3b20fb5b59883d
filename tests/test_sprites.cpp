// Sprites on a real GL display: where their pixels land, rotation, tint,
// intensity, the colour key, culling, clipping, the table's ids, and PNG
// decoding of good and bad bytes.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <climits>
#include <cstdlib>
#include <limits>

#include "driver/driver.h"
#include "platform/platform.h"
#include "render/image.h"
#include "render/screen.h"
#include "render/sprite.h"
#include "render/sprite_paint.h"
#include "support/gl_display.h"

namespace {
constexpr Colour RED = Rgb(255, 0, 0), GREEN = Rgb(0, 255, 0), BLUE = Rgb(0, 0, 255), WHITE = Rgb(255, 255, 255);
constexpr Colour BLACK = Rgb(0, 0, 0);

std::string dir;

// 20 x 20, quadrants red (top-left), green (top-right), blue (bottom-left),
// white (bottom-right); fully opaque RGBA.
std::vector<uint8_t> Quadrants(int channels) {
  std::vector<uint8_t> px;
  for (int y = 0; y < 20; y++)
    for (int x = 0; x < 20; x++) {
      Colour c = y < 10 ? (x < 10 ? RED : GREEN) : (x < 10 ? BLUE : WHITE);
      px.push_back((uint8_t)RedOf(c));
      px.push_back((uint8_t)GreenOf(c));
      px.push_back((uint8_t)BlueOf(c));
      if (channels == 4) px.push_back(255);
    }
  return px;
}

std::string Png(const std::string& name, int w, int h, int channels, const std::vector<uint8_t>& px) {
  std::string path = dir + name;
  EXPECT_TRUE(WriteTestPng(path, w, h, channels, px));
  return path;
}

std::string Bytes(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(ReadWholeFile(path, bytes));
  return bytes;
}

bool Decode(const std::string& bytes, DecodedImage& img) {
  return DecodeImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), img);
}

void ExpectQuadrants(int x, int y, Colour tl, Colour tr, Colour bl, Colour br) {
  EXPECT_EQ(FramePixel(x + 5, y + 5), tl);
  EXPECT_EQ(FramePixel(x + 14, y + 5), tr);
  EXPECT_EQ(FramePixel(x + 5, y + 14), bl);
  EXPECT_EQ(FramePixel(x + 14, y + 14), br);
}

class Sprites : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(OpenTestDisplay());
    dir = TestScratchFolder("sprites");
  }
  void SetUp() override {
    ASSERT_TRUE(OpenTestDisplay());
    FreeAllSprites();
    ClearFrame(BLACK);
  }
};

TEST_F(Sprites, OpaqueDrawPutsTheTopLeftAtTheGivenPosition) {
  ASSERT_EQ(LoadSpriteFile(20, Png("quad.png", 20, 20, 4, Quadrants(4)), SPRITE_KEEP_ALPHA), 1);
  EXPECT_EQ(SpriteWidth(20), 20);
  EXPECT_EQ(SpriteHeight(20), 20);
  EXPECT_EQ(DrawSpriteOpaque(20, 100, 300), 1);
  ExpectQuadrants(100, 300, RED, GREEN, BLUE, WHITE);
  EXPECT_EQ(FramePixel(100, 300), RED);
  EXPECT_EQ(FramePixel(119, 319), WHITE);
  EXPECT_EQ(FramePixel(99, 300), BLACK);
  EXPECT_EQ(FramePixel(120, 319), BLACK);
  EXPECT_EQ(FramePixel(100, 320), BLACK);

  // Zoomed to twice the size, nearest filtering keeps hard quadrant edges.
  SetSpriteSize(20, 40, 40);
  DrawSpriteOpaque(20, 400, 400);
  EXPECT_EQ(FramePixel(419, 419), RED);
  EXPECT_EQ(FramePixel(420, 419), GREEN);
  EXPECT_EQ(FramePixel(419, 420), BLUE);
  EXPECT_EQ(FramePixel(439, 439), WHITE);
}

TEST_F(Sprites, PositiveAnglesTurnClockwiseAboutTheCentre) {
  ASSERT_TRUE(LoadSpriteFile(21, Png("quad.png", 20, 20, 4, Quadrants(4)), SPRITE_KEEP_ALPHA));
  SetSpriteRotation(21, 90, ROTATION_ABSOLUTE);
  DrawSpriteOpaque(21, 200, 300);
  ExpectQuadrants(200, 300, BLUE, RED, WHITE, GREEN);

  // Absolute twice stays at 90 degrees; relative twice adds up to 180.
  ClearFrame(BLACK);
  SetSpriteRotation(21, 90, ROTATION_ABSOLUTE);
  DrawSpriteOpaque(21, 200, 300);
  ExpectQuadrants(200, 300, BLUE, RED, WHITE, GREEN);

  ClearFrame(BLACK);
  SetSpriteRotation(21, 0, ROTATION_ABSOLUTE);
  SetSpriteRotation(21, 90, 0);
  SetSpriteRotation(21, 90, 0);
  DrawSpriteOpaque(21, 200, 300);
  ExpectQuadrants(200, 300, WHITE, BLUE, GREEN, RED);

  // A 40 x 20 sprite turned by 90 degrees stands 20 x 40 about the same centre.
  ClearFrame(BLACK);
  SetSpriteRotation(21, 90, ROTATION_ABSOLUTE);
  SetSpriteSize(21, 40, 20);
  DrawSpriteOpaque(21, 500, 500);  // centre (520, 510)
  EXPECT_NE(FramePixel(515, 495), BLACK);
  EXPECT_NE(FramePixel(524, 525), BLACK);
  EXPECT_EQ(FramePixel(505, 510), BLACK);
  EXPECT_EQ(FramePixel(535, 510), BLACK);
}

TEST_F(Sprites, BlendedDrawsTintAndFade) {
  // Opaque picture tinted: a solid rectangle of the tint colour.
  ASSERT_TRUE(LoadSpriteFile(22, Png("quad.png", 20, 20, 4, Quadrants(4)), SPRITE_KEEP_ALPHA));
  DrawSpriteBlended(22, 100, 100, 255, Rgb(10, 200, 30));
  ExpectQuadrants(100, 100, Rgb(10, 200, 30), Rgb(10, 200, 30), Rgb(10, 200, 30), Rgb(10, 200, 30));

  // The silhouette follows the picture's alpha: a transparent picture leaves the background.
  ASSERT_TRUE(LoadSpriteFile(23, Png("clear.png", 20, 20, 4, SolidPixels(20, 20, 4, WHITE, 0)), SPRITE_KEEP_ALPHA));
  ClearFrame(BLUE);
  DrawSpriteBlended(23, 300, 100, 255, Rgb(255, 255, 0));
  EXPECT_EQ(FramePixel(310, 110), BLUE);

  // Intensity scales the alpha: half-white over black, above 255 counts as 255, 0 draws nothing.
  ASSERT_TRUE(LoadSpriteFile(24, Png("white.png", 20, 20, 4, SolidPixels(20, 20, 4, WHITE)), SPRITE_KEEP_ALPHA));
  ClearFrame(BLACK);
  DrawSpriteBlended(24, 500, 100, 128);
  DrawSpriteBlended(24, 600, 100, 1000);
  DrawSpriteBlended(24, 700, 100, 0);
  Colour half = FramePixel(510, 110);
  EXPECT_NEAR(RedOf(half), 128, 1);
  EXPECT_EQ(RedOf(half), GreenOf(half));
  EXPECT_EQ(FramePixel(610, 110), WHITE);
  EXPECT_EQ(FramePixel(710, 110), BLACK);

  // Half-transparent picture at full intensity keeps its colours, half blended.
  ASSERT_TRUE(LoadSpriteFile(25, Png("half.png", 20, 20, 4, SolidPixels(20, 20, 4, RED, 128)), SPRITE_KEEP_ALPHA));
  ClearFrame(BLUE);
  DrawSpriteBlended(25, 800, 100, 255);
  Colour mix = FramePixel(810, 110);
  EXPECT_NEAR(RedOf(mix), 128, 1);
  EXPECT_NEAR(BlueOf(mix), 127, 1);
}

TEST_F(Sprites, AlphaRulesOfTheLoadFlags) {
  std::vector<uint8_t> px = SolidPixels(20, 20, 3, GREEN);
  for (int y = 5; y < 15; y++)
    for (int x = 5; x < 15; x++) px[(y * 20 + x) * 3 + 1] = 0;  // black middle
  std::string path = Png("keyed.png", 20, 20, 3, px);

  // 24-bit with SPRITE_KEEP_ALPHA: exact black is see-through.
  ASSERT_TRUE(LoadSpriteFile(26, path, SPRITE_KEEP_ALPHA));
  // Without it the picture is opaque, black included.
  ASSERT_TRUE(LoadSpriteFile(27, path, 0));
  // A 32-bit picture loaded without the flag is opaque too.
  ASSERT_TRUE(LoadSpriteFile(28, Png("clear.png", 20, 20, 4, SolidPixels(20, 20, 4, WHITE, 0)), 0));
  ClearFrame(RED);
  DrawSpriteBlended(26, 100, 100, 255);
  DrawSpriteBlended(27, 200, 100, 255);
  DrawSpriteBlended(28, 300, 100, 255);
  EXPECT_EQ(FramePixel(101, 101), GREEN);
  EXPECT_EQ(FramePixel(110, 110), RED);
  EXPECT_EQ(FramePixel(210, 110), BLACK);
  EXPECT_EQ(FramePixel(310, 110), WHITE);
}

TEST_F(Sprites, CullingSkipsOnlyWhatCannotShow) {
  ASSERT_TRUE(LoadSpriteFile(29, Png("quad.png", 20, 20, 4, Quadrants(4)), SPRITE_KEEP_ALPHA));
  // Never drawn and not rotated: no margin.
  EXPECT_EQ(DrawSpriteOpaque(29, -20, 100), 0);
  EXPECT_EQ(DrawSpriteOpaque(29, 1920, 100), 0);
  EXPECT_EQ(DrawSpriteOpaque(29, 100, 1080), 0);
  EXPECT_EQ(DrawSpriteOpaque(29, 100, -20), 0);
  // Straddling the left edge: drawn, and GL clips it.
  EXPECT_EQ(DrawSpriteOpaque(29, -12, 100), 1);
  EXPECT_EQ(FramePixel(0, 105), GREEN);
  EXPECT_EQ(FramePixel(7, 114), WHITE);
  EXPECT_EQ(FramePixel(8, 114), BLACK);
  // Once its corners exist the margin is the larger side: x = -w - m is still skipped.
  EXPECT_EQ(DrawSpriteOpaque(29, -40, 100), 0);
  EXPECT_EQ(DrawSpriteOpaque(29, -39, 100), 1);
  SetSpriteRotation(29, 45, ROTATION_ABSOLUTE);
  EXPECT_EQ(DrawSpriteOpaque(29, 1939, 100), 1);
  EXPECT_EQ(DrawSpriteOpaque(29, 1940, 100), 0);
}

TEST_F(Sprites, ClipSelectsThePartAndResetsTheSize) {
  ASSERT_TRUE(LoadSpriteFile(30, Png("quad.png", 20, 20, 4, Quadrants(4)), SPRITE_KEEP_ALPHA));
  ClipSprite(30, 10, 0, 10, 10);  // the green quadrant
  EXPECT_EQ(SpriteWidth(30), 10);
  SetSpriteSize(30, 50, 40);
  EXPECT_EQ(SpriteWidth(30), 50);
  SetSpriteSize(30, -1, -1);
  EXPECT_EQ(SpriteWidth(30), 10);
  EXPECT_EQ(SpriteHeight(30), 10);
  SetSpriteSize(30, 30, -1);
  EXPECT_EQ(SpriteWidth(30), 30);
  EXPECT_EQ(SpriteHeight(30), 10);
  SetSpriteSize(30, -1, -1);
  DrawSpriteOpaque(30, 100, 100);
  EXPECT_EQ(FramePixel(100, 100), GREEN);
  EXPECT_EQ(FramePixel(109, 109), GREEN);
  EXPECT_EQ(FramePixel(110, 109), BLACK);

  // The clip is cut at the picture's edge; -1 means from 0 up to the edge.
  ClipSprite(30, 15, 12, 100, -1);
  EXPECT_EQ(SpriteWidth(30), 5);
  EXPECT_EQ(SpriteHeight(30), 8);
  ClipSprite(30, 25, -1, -1, -1);
  EXPECT_EQ(SpriteWidth(30), 0);
  EXPECT_EQ(SpriteHeight(30), 20);
  ClipSprite(30, -1, 10, -1, 10);
  DrawSpriteOpaque(30, 300, 100);
  EXPECT_EQ(FramePixel(300, 100), BLUE);
  EXPECT_EQ(FramePixel(319, 109), WHITE);
}

TEST_F(Sprites, TableIdsReplaceGrowAndHandOutDynamicIds) {
  std::string red = Png("red.png", 8, 6, 3, SolidPixels(8, 6, 3, RED));
  std::string green = Png("green.png", 12, 4, 3, SolidPixels(12, 4, 3, GREEN));
  ASSERT_TRUE(LoadSpriteFile(27, red, 0));
  ASSERT_TRUE(LoadSpriteFile(27, green, 0));
  EXPECT_EQ(SpriteWidth(27), 12);
  DrawSpriteOpaque(27, 100, 100);
  EXPECT_EQ(FramePixel(100, 100), GREEN);

  // Growth past the first 64 slots.
  ASSERT_TRUE(LoadSpriteFile(200, red, 0));
  EXPECT_TRUE(SpriteExists(200));
  EXPECT_FALSE(SpriteExists(199));
  EXPECT_FALSE(SpriteExists(263));

  // id -1: a fresh identifier beyond the slots, usable like any id.
  SpriteId a = LoadSpriteFile(-1, red, 0);
  SpriteId b = LoadSpriteFile(-1, green, 0);
  EXPECT_GT(a, 263);
  EXPECT_GT(b, 263);
  EXPECT_NE(a, b);
  EXPECT_EQ(SpriteWidth(a), 8);
  EXPECT_EQ(SpriteWidth(b), 12);
  DrawSpriteOpaque(a, 300, 100);
  EXPECT_EQ(FramePixel(300, 100), RED);

  // Wild ids are refused instead of growing the table without bound.
  EXPECT_EQ(LoadSpriteFile(5000000000LL, red, 0), 0);
  EXPECT_EQ(LoadSpriteFile(-7, red, 0), 0);

  FreeAllSprites();
  EXPECT_FALSE(SpriteExists(27));
  EXPECT_FALSE(SpriteExists(a));
}

TEST_F(Sprites, MissingSpritesAndBadFilesChangeNothing) {
  EXPECT_EQ(SpriteExists(31), 0);
  EXPECT_EQ(SpriteWidth(31), 0);
  EXPECT_EQ(SetSpriteSize(31, 5, 5), 0);
  EXPECT_EQ(ClipSprite(31, 0, 0, 5, 5), 0);
  EXPECT_EQ(SetSpriteRotation(31, 5, 2), 0);
  EXPECT_EQ(DrawSpriteOpaque(31, 10, 10), 0);
  EXPECT_EQ(DrawSpriteBlended(31, 10, 10, 255, 0), 0);
  EXPECT_EQ(SpriteExists(-1), 0);

  EXPECT_EQ(LoadSpriteFile(31, dir + "nothing-here.png", 0), 0);
  EXPECT_FALSE(SpriteExists(31));

  // A file that does not decode keeps the sprite already under that id.
  ASSERT_TRUE(LoadSpriteFile(32, Png("red.png", 8, 6, 3, SolidPixels(8, 6, 3, RED)), 0));
  std::string junk = dir + "junk.png";
  intptr_t f = CreateFileForWrite(junk);
  ASSERT_TRUE(f);
  const char junkBytes[] = "\x89PNG\r\n\x1a\n garbage";
  WriteData(f, junkBytes, sizeof junkBytes - 1);
  CloseFile(f);
  EXPECT_EQ(LoadSpriteFile(32, junk, 0), 0);
  EXPECT_TRUE(SpriteExists(32));
  EXPECT_EQ(SpriteWidth(32), 8);
  EXPECT_EQ(LoadSpriteFile(-1, junk, 0), 0);
}

TEST(PngDecode, GivesBgrRowsTopDownWithTheRightDepth) {
  dir = TestScratchFolder("sprites");
  DecodedImage img;
  ASSERT_TRUE(Decode(Bytes(Png("quad3.png", 20, 20, 3, Quadrants(3))), img));
  EXPECT_EQ(img.width, 20);
  EXPECT_EQ(img.height, 20);
  EXPECT_EQ(img.depth, 24);
  ASSERT_EQ(img.pixels.size(), 20u * 20u * 3u);
  EXPECT_EQ(img.pixels[0], 0);      // top-left red: B G R = 0 0 255
  EXPECT_EQ(img.pixels[2], 255);
  size_t bl = (size_t)(19 * 20) * 3;  // bottom-left blue
  EXPECT_EQ(img.pixels[bl], 255);
  EXPECT_EQ(img.pixels[bl + 2], 0);

  ASSERT_TRUE(Decode(Bytes(Png("half.png", 4, 2, 4, SolidPixels(4, 2, 4, Rgb(1, 2, 3), 77))), img));
  EXPECT_EQ(img.depth, 32);
  EXPECT_EQ(img.pixels[0], 3);
  EXPECT_EQ(img.pixels[2], 1);
  EXPECT_EQ(img.pixels[3], 77);
}

// A 3 x 1 palette picture: entries red, green, blue; with tRNS, red is clear.
std::string PalettePng(const std::string& name, bool transparency) {
  std::string path = dir + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, f);
  png_set_IHDR(png, info, 3, 1, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_color palette[3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  png_set_PLTE(png, info, palette, 3);
  png_byte alpha[1] = {0};
  if (transparency) png_set_tRNS(png, info, alpha, 1, nullptr);
  png_write_info(png, info);
  png_byte row[3] = {0, 1, 2};
  png_write_row(png, row);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return path;
}

TEST(PngDecode, ExpandsPalettesAndTheirTransparency) {
  dir = TestScratchFolder("sprites");
  DecodedImage img;
  ASSERT_TRUE(Decode(Bytes(PalettePng("palette.png", false)), img));
  EXPECT_EQ(img.depth, 24);
  EXPECT_EQ(img.pixels, (std::vector<uint8_t>{0, 0, 255, 0, 255, 0, 255, 0, 0}));
  ASSERT_TRUE(Decode(Bytes(PalettePng("palette_trns.png", true)), img));
  EXPECT_EQ(img.depth, 32);
  EXPECT_EQ(img.pixels, (std::vector<uint8_t>{0, 0, 255, 0, 0, 255, 0, 255, 255, 0, 0, 255}));
}

TEST(PngDecode, RejectsTruncatedAndCorruptBytes) {
  dir = TestScratchFolder("sprites");
  std::vector<uint8_t> noise;
  std::srand(7);
  for (int i = 0; i < 64 * 64 * 3; i++) noise.push_back((uint8_t)(std::rand() & 0xFF));
  std::string good = Bytes(Png("noise.png", 64, 64, 3, noise));
  DecodedImage img;
  ASSERT_TRUE(Decode(good, img));

  for (size_t cut : {(size_t)0, (size_t)7, (size_t)8, (size_t)20, (size_t)33, good.size() / 2, good.size() - 13,
                     good.size() - 1}) {
    EXPECT_FALSE(Decode(good.substr(0, cut), img)) << "cut at " << cut;
    EXPECT_EQ(img.width, 0);
  }
  // Bytes flipped here and there after the signature: CRCs and lengths break.
  for (size_t at = 8; at < good.size(); at += 97) {
    std::string bad = good;
    bad[at] = (char)(bad[at] ^ 0x5A);
    EXPECT_FALSE(Decode(bad, img)) << "flipped byte " << at;
  }
  EXPECT_FALSE(DecodeImage(nullptr, 100, img));
  EXPECT_FALSE(Decode(std::string("not a picture at all"), img));
}

// Every extreme an int or a float can hold, for every argument of the sprite
// operations, in every combination of clip, size and turn, on one and two
// painting threads: nothing overflows (the sanitizers stop the test if
// anything does), nothing is painted off the frame, and a sane draw after
// the sweep still lands where it should. A small frame keeps the huge draws
// that cover all of it quick.
TEST(SpriteSweep, ExtremeArgumentsToEveryOperationAreSafe) {
  dir = TestScratchFolder("sprites");
  CloseShowScreen();
  InitSprites();
  ASSERT_TRUE(OpenFrame(97, 61));
  ASSERT_EQ(LoadSpriteFile(20, Png("quad.png", 20, 20, 4, Quadrants(4)), SPRITE_KEEP_ALPHA), 1);
  const int ints[] = {INT_MIN, INT_MIN + 1, -65536, -2, -1, 0, 7, 20, 21, 65536, INT_MAX - 1, INT_MAX};
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  const float floats[] = {-inf, -1e30f, -3e9f, -96.5f, -0.25f, 0.0f, 30.0f, 96.5f, 3e9f, 1e30f, inf, nan};
  for (int threads : {1, 2}) {
    SetPaintThreads(threads);
    for (int a : ints)
      for (int b : ints)
        for (int clip = 0; clip < 3; clip++) {
          if (clip == 0) ClipSprite(20, a, b, b, a);
          if (clip == 1) ClipSprite(20, -1, -1, a, b);
          if (clip == 2) ClipSprite(20, a, -1, -1, b);
          EXPECT_GE(SpriteWidth(20), 0);
          EXPECT_GE(SpriteHeight(20), 0);
          for (int size : {a, b, -1}) {
            SetSpriteSize(20, size, clip == 1 ? -1 : a);
            for (float angle : {0.0f, 33.0f, 1e30f, nan, inf}) {
              SetSpriteRotation(20, angle, clip == 2 ? 0 : ROTATION_ABSOLUTE);
              for (float x : floats) {
                DrawSpriteOpaque(20, x, x);
                DrawSpriteBlended(20, x, -x, a, b);
                DrawSpriteBlended(20, -x, 30.0f, b, -1);
              }
            }
          }
        }
    FinishedFrame();
  }
  SetPaintThreads(2);
  SetSpriteRotation(20, 0.0f, ROTATION_ABSOLUTE);
  ClipSprite(20, -1, -1, -1, -1);
  SetSpriteSize(20, -1, -1);
  EXPECT_EQ(SpriteWidth(20), 20);
  EXPECT_EQ(SpriteHeight(20), 20);
  ClearFrame(BLACK);
  EXPECT_EQ(DrawSpriteOpaque(20, 60, 30), 1);
  ExpectQuadrants(60, 30, RED, GREEN, BLUE, WHITE);
  EXPECT_EQ(FramePixel(59, 30), BLACK);
  CloseFrame();
}

TEST(PngDecode, RefusesAbsurdSizes) {
  dir = TestScratchFolder("sprites");
  std::string bytes = Bytes(Png("one.png", 1, 1, 3, SolidPixels(1, 1, 3, RED)));
  // IHDR data sits at bytes 16..28; patch the width to 20000 and fix its CRC.
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) bytes[at + i] = (char)((v >> (24 - 8 * i)) & 0xFF);
  };
  put32(16, 20000);
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 12; i < 29; i++) {
    crc ^= (uint8_t)bytes[i];
    for (int k = 0; k < 8; k++) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  put32(29, crc ^ 0xFFFFFFFFu);
  DecodedImage img;
  EXPECT_FALSE(Decode(bytes, img));
}
}  // namespace
