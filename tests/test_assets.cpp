// The carried pictures: names, sizes and PNG formats the loaders expect, a font
// sheet with glyphs where the font looks for them that fill the fixed advance
// alike, colour-key-safe pulse discs, and a generator that writes the same files
// every time.
#include <gtest/gtest.h>
#include <png.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {
const std::string ASSETS = std::string(ZYNTRAX_ASSET_DIR) + "/";

struct Expected {
  const char* name;
  int width, height, colourType;
};
const Expected PICTURES[] = {
    {"police20.png", 544, 192, PNG_COLOR_TYPE_RGBA},       {"billboard.png", 256, 256, PNG_COLOR_TYPE_PALETTE},
    {"Rotozoom.png", 255, 255, PNG_COLOR_TYPE_RGB},        {"billboard2.png", 256, 256, PNG_COLOR_TYPE_PALETTE},
    {"haut1.png", 1920, 200, PNG_COLOR_TYPE_RGBA},         {"haut2.png", 1920, 200, PNG_COLOR_TYPE_RGB},
    {"haut3.png", 1920, 200, PNG_COLOR_TYPE_RGB},          {"haut4.png", 1920, 200, PNG_COLOR_TYPE_RGB},
    {"haut5.png", 1920, 200, PNG_COLOR_TYPE_RGBA},         {"sideimage.png", 462, 694, PNG_COLOR_TYPE_RGBA},
    {"launcher.png", 600, 200, PNG_COLOR_TYPE_RGB},        {"billboard3.png", 256, 256, PNG_COLOR_TYPE_PALETTE},
    {"billboard4.png", 256, 256, PNG_COLOR_TYPE_PALETTE},  {"starfield_image.png", 462, 694, PNG_COLOR_TYPE_RGBA},
    {"center_billboard.png", 462, 694, PNG_COLOR_TYPE_RGBA}, {"cyber_bg.png", 1920, 680, PNG_COLOR_TYPE_RGBA},
    {"ship.png", 184, 67, PNG_COLOR_TYPE_RGBA},            {"tunnel_bg.png", 1388, 618, PNG_COLOR_TYPE_RGB},
    {"pulse_r.png", 64, 64, PNG_COLOR_TYPE_PALETTE},       {"pulse_g.png", 64, 64, PNG_COLOR_TYPE_RGB},
    {"pulse_b.png", 64, 64, PNG_COLOR_TYPE_RGB},           {"twister_image.png", 320, 694, PNG_COLOR_TYPE_RGBA},
    {"billboard5.png", 250, 250, PNG_COLOR_TYPE_PALETTE},  {"billboard6.png", 250, 250, PNG_COLOR_TYPE_PALETTE},
};

struct Header {
  bool ok = false;
  int width = 0, height = 0, bitDepth = 0, colourType = -1;
  bool hasTrns = false;
};

Header ReadHeader(const std::string& path) {
  Header h;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return h;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, f);
    png_read_info(png, info);
    h.width = int(png_get_image_width(png, info));
    h.height = int(png_get_image_height(png, info));
    h.bitDepth = png_get_bit_depth(png, info);
    h.colourType = png_get_color_type(png, info);
    h.hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    h.ok = true;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
  return h;
}

// Decodes any of the pictures to RGBA rows; empty when it cannot.
struct Pixels {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
  const uint8_t* at(int x, int y) const { return &rgba[(size_t(y) * width + x) * 4]; }
};

Pixels Decode(const std::string& path) {
  Pixels p;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return p;
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> buffer(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr)) {
    png_image_free(&image);
    return p;
  }
  p.width = int(image.width);
  p.height = int(image.height);
  p.rgba = std::move(buffer);
  return p;
}

std::vector<char> Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Sum of the alpha in one 32 x 32 cell of the font sheet.
long CellAlpha(const Pixels& sheet, int cell) {
  long sum = 0;
  int ox = 32 * (cell % 17), oy = 32 * (cell / 17);
  for (int y = 0; y < 32; y++)
    for (int x = 0; x < 32; x++) sum += sheet.at(ox + x, oy + y)[3];
  return sum;
}

// One row of a font sheet cell's alpha.
std::vector<uint8_t> CellRow(const Pixels& sheet, int cell, int y) {
  std::vector<uint8_t> row;
  for (int x = 0; x < 32; x++) row.push_back(sheet.at(32 * (cell % 17) + x, 32 * (cell / 17) + y)[3]);
  return row;
}
}  // namespace

TEST(Assets, EveryPictureHasTheLoadersSizeAndFormat) {
  for (const Expected& e : PICTURES) {
    SCOPED_TRACE(e.name);
    Header h = ReadHeader(ASSETS + e.name);
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.width, e.width);
    EXPECT_EQ(h.height, e.height);
    EXPECT_EQ(h.bitDepth, 8);
    EXPECT_EQ(h.colourType, e.colourType);
    // Palette pictures carry their transparent index in a tRNS chunk.
    EXPECT_EQ(h.hasTrns, e.colourType == PNG_COLOR_TYPE_PALETTE);
  }
}

TEST(Assets, PalettePicturesAreOpaqueLogosOnTransparentGround) {
  for (const Expected& e : PICTURES) {
    if (e.colourType != PNG_COLOR_TYPE_PALETTE) continue;
    SCOPED_TRACE(e.name);
    Pixels p = Decode(ASSETS + e.name);
    ASSERT_EQ(p.width, e.width);
    long clear = 0, solid = 0;
    for (size_t i = 3; i < p.rgba.size(); i += 4) (p.rgba[i] == 0 ? clear : solid)++;
    EXPECT_EQ(clear + solid, long(p.width) * p.height) << "only fully clear or fully solid pixels";
    EXPECT_EQ(p.at(0, 0)[3], 0) << "corner must be transparent";
    EXPECT_EQ(p.at(p.width / 2, p.height / 2)[3], 255) << "middle must be solid";
    EXPECT_GT(solid, clear / 2) << "the logo fills a good part of the picture";
  }
}

TEST(Assets, FontSheetHasGlyphsInTheirCells) {
  Pixels sheet = Decode(ASSETS + "police20.png");
  ASSERT_EQ(sheet.width, 544);
  ASSERT_EQ(sheet.height, 192);
  EXPECT_EQ(CellAlpha(sheet, 0), 0) << "space";
  EXPECT_GT(CellAlpha(sheet, 'A' - 32), 255 * 40) << "A";
  EXPECT_GT(CellAlpha(sheet, '~' - 32), 255 * 10) << "tilde";
  EXPECT_GT(CellAlpha(sheet, 95), 255 * 40) << "e acute";
  EXPECT_GT(CellAlpha(sheet, 101), 255 * 40) << "e circumflex";
  // Each glyph stays inside its own cell: the cells' outer rows and columns
  // belong to nobody, so neighbouring glyphs never bleed into one another.
  for (int cell = 0; cell < 102; cell++) {
    int ox = 32 * (cell % 17), oy = 32 * (cell / 17);
    for (int i = 0; i < 32; i++) {
      ASSERT_EQ(sheet.at(ox + 31, oy + i)[3], 0) << "cell " << cell << " right edge";
      ASSERT_EQ(sheet.at(ox + i, oy)[3], 0) << "cell " << cell << " top edge";
    }
  }
  // The tint gives the colour: every pixel is white, shape in alpha only.
  for (size_t i = 0; i < sheet.rgba.size(); i += 4)
    ASSERT_TRUE(sheet.rgba[i] == 255 && sheet.rgba[i + 1] == 255 && sheet.rgba[i + 2] == 255) << "pixel " << i / 4;
  // The lower-case accents sit lower than their capitals would, but all
  // glyphs share one baseline: 'a' and 'e acute' end on the same row.
  auto lowest = [&](int cell) {
    int ox = 32 * (cell % 17), oy = 32 * (cell / 17), row = -1;
    for (int y = 0; y < 32; y++)
      for (int x = 0; x < 32; x++)
        if (sheet.at(ox + x, oy + y)[3] > 128) row = y;
    return row;
  };
  EXPECT_EQ(lowest('a' - 32), lowest(95));
  EXPECT_EQ(lowest('A' - 32), lowest('a' - 32));
  // The cells after the tilde hold the accented letters and the second hyphen:
  // below its accent each is drawn like its plain letter, the hyphen exactly.
  const std::pair<char, int> accented[] = {{'e', 95}, {'e', 96}, {'-', 97}, {'a', 99}, {'u', 100}, {'e', 101}};
  for (auto [plain, cell] : accented) {
    SCOPED_TRACE(cell);
    int top = 0;
    while (top < 32 && CellRow(sheet, plain - 32, top) == std::vector<uint8_t>(32, 0)) top++;
    ASSERT_LT(top, 32);
    for (int y = top; y < 32; y++) EXPECT_EQ(CellRow(sheet, plain - 32, y), CellRow(sheet, cell, y)) << "row " << y;
  }
}

// The text is drawn at a fixed 22-pixel advance: each letter and digit is about
// as wide as the advance and centred on its middle, so the gaps between
// neighbours differ by a few pixels at most, and no glyph reaches into the next.
TEST(Assets, FontSheetGlyphsFillTheFixedAdvanceAlike) {
  Pixels sheet = Decode(ASSETS + "police20.png");
  ASSERT_EQ(sheet.width, 544);
  const int advance = 22;
  for (int cell = 0; cell < 102; cell++) {
    int ox = 32 * (cell % 17), oy = 32 * (cell / 17);
    int first = -1, last = -1;  // columns whose alpha reaches 128
    for (int x = 0; x < 32; x++)
      for (int y = 0; y < 32; y++) {
        if (x >= advance) {
          ASSERT_EQ(sheet.at(ox + x, oy + y)[3], 0) << "cell " << cell << " spills past its advance";
        }
        if (sheet.at(ox + x, oy + y)[3] >= 128) {
          if (first < 0) first = x;
          last = x;
        }
      }
    char c = char(cell + 32);
    if (cell > 94 || !std::isalnum(static_cast<unsigned char>(c))) continue;
    SCOPED_TRACE(testing::Message() << "glyph " << c);
    ASSERT_GE(first, 0);
    int width = last - first + 1;
    float centre = (first + last + 1) / 2.0f;
    EXPECT_GE(width, 12);
    EXPECT_LE(width, advance);
    EXPECT_NEAR(centre, advance / 2.0f, 2.0f);
  }
}

// The 24-bit pulse sprites are loaded with black as the transparent key: black
// must surround the disc and never appear inside it, or the disc gets holes.
TEST(Assets, RgbPulseDiscsHaveNoColourKeyHoles) {
  for (const char* name : {"pulse_g.png", "pulse_b.png"}) {
    SCOPED_TRACE(name);
    Pixels p = Decode(ASSETS + name);
    ASSERT_EQ(p.width, 64);
    auto black = [&](int x, int y) { return p.at(x, y)[0] == 0 && p.at(x, y)[1] == 0 && p.at(x, y)[2] == 0; };
    // Every black pixel must be reachable from the border through black ones.
    std::vector<int> seen(64 * 64, 0), stack;
    for (int i = 0; i < 64; i++)
      for (auto [x, y] : {std::pair{i, 0}, std::pair{i, 63}, std::pair{0, i}, std::pair{63, i}})
        if (black(x, y) && !seen[y * 64 + x]) seen[y * 64 + x] = 1, stack.push_back(y * 64 + x);
    while (!stack.empty()) {
      int at = stack.back();
      stack.pop_back();
      int x = at % 64, y = at / 64;
      for (auto [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
        int nx = x + dx, ny = y + dy;
        if (nx < 0 || ny < 0 || nx >= 64 || ny >= 64 || seen[ny * 64 + nx] || !black(nx, ny)) continue;
        seen[ny * 64 + nx] = 1;
        stack.push_back(ny * 64 + nx);
      }
    }
    int holes = 0, lit = 0;
    for (int y = 0; y < 64; y++)
      for (int x = 0; x < 64; x++) {
        if (black(x, y) && !seen[y * 64 + x]) holes++;
        if (!black(x, y)) lit++;
      }
    EXPECT_EQ(holes, 0);
    EXPECT_TRUE(black(0, 0) && black(63, 63)) << "the corners are keyed out";
    EXPECT_GT(lit, 2000) << "the disc covers most of the square";
  }
}

#ifdef ZYNTRAX_MAKE_PICTURES
// The generator paints the carried files: two runs write identical bytes, and
// the pictures they hold are the ones in the asset folder.
TEST(Assets, GeneratorIsDeterministicAndMatchesTheCarriedPictures) {
  namespace fs = std::filesystem;
  const fs::path base = fs::path(ZYNTRAX_TEST_SCRATCH) / "pictures";
  fs::remove_all(base);
  for (const char* run : {"a", "b"}) {
    fs::create_directories(base / run);
    std::string command = std::string("'") + ZYNTRAX_MAKE_PICTURES + "' '" + (base / run).string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  for (const Expected& e : PICTURES) {
    SCOPED_TRACE(e.name);
    std::vector<char> a = Bytes((base / "a" / e.name).string());
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a, Bytes((base / "b" / e.name).string()));
    Pixels made = Decode((base / "a" / e.name).string()), carried = Decode(ASSETS + e.name);
    EXPECT_TRUE(made.rgba == carried.rgba) << "assets/ is out of date: run make_pictures assets";
  }
  EXPECT_NE(std::system(("'" + std::string(ZYNTRAX_MAKE_PICTURES) + "' '" + (base / "missing" / "x").string() + "' 2>/dev/null").c_str()), 0)
      << "a folder that cannot be written is reported as failure";
  fs::remove_all(base);
}
#endif
