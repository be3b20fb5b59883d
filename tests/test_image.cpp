// In-memory pictures: loading PNG files, sizes, drawing passes on the picture's
// own pixels, region copies, freeing, and scaled drawing with DrawImageAt.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "render/draw.h"
#include "render/image.h"

namespace {
std::string Scratch(const std::string& name) {
  std::filesystem::create_directories(ZYNTRAX_TEST_SCRATCH);
  return std::string(ZYNTRAX_TEST_SCRATCH) + "/image_" + name;
}

// Writes a PNG whose pixel (x, y) is colour(x, y); RGB or RGBA.
template <typename F>
std::string WritePng(const std::string& name, int w, int h, bool alpha, F colour) {
  std::vector<uint8_t> rgba;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      Colour c = colour(x, y);
      rgba.push_back((uint8_t)RedOf(c));
      rgba.push_back((uint8_t)GreenOf(c));
      rgba.push_back((uint8_t)BlueOf(c));
      if (alpha) rgba.push_back((uint8_t)(c >> 24));
    }
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  img.width = (png_uint_32)w;
  img.height = (png_uint_32)h;
  img.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  std::string path = Scratch(name);
  EXPECT_TRUE(png_image_write_to_file(&img, path.c_str(), 0, rgba.data(), 0, nullptr));
  return path;
}

Colour Pattern(int x, int y) { return Rgb(x * 10 + 5, y * 20 + 7, x + y + 1); }

struct ImageTest : ::testing::Test {
  void TearDown() override {
    EndScreenDrawing();
    for (int n : {1, 2, 3, 4, 5}) FreeImage(n);
  }
};
}  // namespace

TEST_F(ImageTest, LoadedPicturesReadBackTopDownInBothDepths) {
  ASSERT_EQ(LoadImageFile(1, WritePng("rgb.png", 7, 5, false, Pattern)), 1);
  EXPECT_EQ(ImageExists(1), 1);
  EXPECT_EQ(ImageWidth(1), 7);
  EXPECT_EQ(ImageHeight(1), 5);
  ASSERT_TRUE(BeginImageDrawing(1));
  EXPECT_EQ(OutputWidth(), 7);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) ASSERT_EQ(ReadPixel(x, y), Pattern(x, y)) << x << "," << y;
  EndScreenDrawing();

  ASSERT_EQ(LoadImageFile(2, WritePng("rgba.png", 3, 2, true, [](int x, int y) { return Rgba(x, y, 9, 40 * x); })), 1);
  ASSERT_TRUE(BeginImageDrawing(2));
  EXPECT_EQ(ReadPixel(2, 1), Rgba(2, 1, 9, 80));
  EXPECT_EQ(ReadPixel(0, 0), Rgba(0, 0, 9, 0));
}

TEST_F(ImageTest, TheCarriedRotozoomPictureLoads) {
  ASSERT_EQ(LoadImageFile(3, std::string(ZYNTRAX_ASSET_DIR) + "/Rotozoom.png"), 1);
  EXPECT_EQ(ImageWidth(3), 255);
  EXPECT_EQ(ImageHeight(3), 255);
}

TEST_F(ImageTest, FailedLoadsReportZeroAndKeepTheOldPicture) {
  ASSERT_EQ(LoadImageFile(1, WritePng("keep.png", 4, 4, false, Pattern)), 1);
  EXPECT_EQ(LoadImageFile(1, Scratch("does_not_exist.png")), 0);
  std::ofstream(Scratch("garbage.png")) << "\x89PNG\r\n\x1a\n not really";
  EXPECT_EQ(LoadImageFile(1, Scratch("garbage.png")), 0);
  EXPECT_EQ(ImageWidth(1), 4);
  EXPECT_EQ(ImageExists(4), 0);
  EXPECT_EQ(ImageWidth(4), 0);
  EXPECT_EQ(ImageHeight(4), 0);
  EXPECT_EQ(BeginImageDrawing(4), 0);
  EXPECT_FALSE(HasCurrentOutput());
}

TEST_F(ImageTest, DrawingOnAPictureChangesItsOwnPixels) {
  ASSERT_EQ(LoadImageFile(1, WritePng("draw.png", 6, 6, false, Pattern)), 1);
  ASSERT_TRUE(BeginImageDrawing(1));
  DrawBox(1, 1, 2, 2, Rgb(255, 0, 0));
  EndScreenDrawing();
  ASSERT_TRUE(BeginImageDrawing(1));
  EXPECT_EQ(ReadPixel(2, 2), Rgb(255, 0, 0));
  EXPECT_EQ(ReadPixel(3, 3), Pattern(3, 3));
}

TEST_F(ImageTest, RegionCopiesAreClippedToTheSource) {
  ASSERT_EQ(LoadImageFile(1, WritePng("src.png", 8, 6, false, Pattern)), 1);
  ASSERT_EQ(CopyImageRegion(2, 1, 5, 4, 10, 10), 1);  // cut to 3 x 2
  EXPECT_EQ(ImageWidth(2), 3);
  EXPECT_EQ(ImageHeight(2), 2);
  ASSERT_TRUE(BeginImageDrawing(2));
  EXPECT_EQ(ReadPixel(0, 0), Pattern(5, 4));
  EXPECT_EQ(ReadPixel(2, 1), Pattern(7, 5));
  EndScreenDrawing();
  ASSERT_EQ(CopyImageRegion(2, 1, -3, 0, 5, 1), 1);  // columns 0..1 of row 0
  EXPECT_EQ(ImageWidth(2), 2);
  EXPECT_EQ(CopyImageRegion(2, 1, 8, 0, 4, 4), 0);  // wholly outside
  EXPECT_EQ(CopyImageRegion(2, 1, 0, 0, 0, 4), 0);
  EXPECT_EQ(CopyImageRegion(2, 9, 0, 0, 4, 4), 0);  // no source
  EXPECT_EQ(ImageWidth(2), 2);                      // failures keep the old copy
  // A picture may be cut down to a part of itself.
  ASSERT_EQ(CopyImageRegion(1, 1, 2, 1, 3, 3), 1);
  ASSERT_TRUE(BeginImageDrawing(1));
  EXPECT_EQ(OutputWidth(), 3);
  EXPECT_EQ(ReadPixel(0, 0), Pattern(2, 1));
}

TEST_F(ImageTest, ReplacingOrFreeingThePictureBeingDrawnEndsThePass) {
  ASSERT_EQ(LoadImageFile(1, WritePng("busy.png", 4, 4, false, Pattern)), 1);
  ASSERT_EQ(LoadImageFile(2, WritePng("other.png", 2, 2, false, Pattern)), 1);
  ASSERT_TRUE(BeginImageDrawing(1));
  CopyImageRegion(1, 2, 0, 0, 2, 2);
  EXPECT_FALSE(HasCurrentOutput());
  DrawBox(0, 0, 4, 4, Rgb(1, 1, 1));  // would write into the freed buffer otherwise
  ASSERT_TRUE(BeginImageDrawing(1));
  FreeImage(1);
  EXPECT_FALSE(HasCurrentOutput());
  EXPECT_EQ(ImageExists(1), 0);
  ASSERT_TRUE(BeginImageDrawing(2));
  FreeImage(1);  // another picture: the pass goes on
  EXPECT_TRUE(HasCurrentOutput());
}

TEST_F(ImageTest, DrawImageAtScalesByNearestNeighbour) {
  ASSERT_EQ(LoadImageFile(1, WritePng("scale.png", 2, 2, false, Pattern)), 1);
  ASSERT_EQ(LoadImageFile(2, WritePng("row.png", 4, 1, false, Pattern)), 1);
  std::vector<uint8_t> px(10 * 3 * 8, 0);
  ASSERT_TRUE(BeginBufferDrawing(px.data(), 10, 8, 3, 30, true));
  DrawImageAt(1, 1, 1, 4, 4);  // each source pixel becomes a 2 x 2 block
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) ASSERT_EQ(ReadPixel(1 + x, 1 + y), Pattern(x / 2, y / 2)) << x << "," << y;
  EXPECT_EQ(ReadPixel(0, 0), 0u);
  EXPECT_EQ(ReadPixel(5, 5), 0u);
  DrawImageAt(2, 6, 0, 2, 3);  // halved across: source columns 1 and 3
  EXPECT_EQ(ReadPixel(6, 2), Pattern(1, 0));
  EXPECT_EQ(ReadPixel(7, 0), Pattern(3, 0));
  DrawImageAt(1, 8, 6, 40, 40);  // partly off the output
  EXPECT_EQ(ReadPixel(9, 7), Pattern(0, 0));
  std::vector<uint8_t> before = px;
  DrawImageAt(1, 0, 0, 0, 5);
  DrawImageAt(1, 0, 0, 5, -1);
  DrawImageAt(7, 0, 0, 5, 5);
  DrawImageAt(1, -100, -100, 50, 50);
  EXPECT_EQ(px, before);
}
