// PNG decoding with libpng from a memory buffer: palette, grey and transparency
// expanded to 24-bit BGR or 32-bit BGRA rows, top row first. Corrupt, truncated
// or oversized pictures are refused with a false result.
#include <png.h>

#include <cstring>
#include <new>

#include "render/image.h"

namespace {
constexpr png_uint_32 MAX_SIDE = 16384;

struct MemoryReader {
  const uint8_t* bytes;
  size_t size;
  size_t at;
};

// Everything the decode step fills in lives here, outside the frame that calls
// setjmp, so a longjmp out of libpng never leaves a half-built local behind.
struct DecodeJob {
  MemoryReader reader;
  DecodedImage* out;
  std::vector<png_bytep> rows;
};

void ReadFromMemory(png_structp png, png_bytep data, size_t length) {
  MemoryReader* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (length > r->size - r->at) png_error(png, "truncated");
  std::memcpy(data, r->bytes + r->at, length);
  r->at += length;
}

void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

bool RunDecode(png_structp png, png_infop info, DecodeJob* job) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &job->reader, ReadFromMemory);
  png_set_user_limits(png, MAX_SIDE, MAX_SIDE);
  png_read_info(png, info);

  png_uint_32 width = png_get_image_width(png, info);
  png_uint_32 height = png_get_image_height(png, info);
  if (width == 0 || height == 0 || width > MAX_SIDE || height > MAX_SIDE) return false;
  int colourType = png_get_color_type(png, info);
  int bitDepth = png_get_bit_depth(png, info);

  bool alpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS);
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (bitDepth == 16) png_set_strip_16(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  int channels = png_get_channels(png, info);
  if (channels != (alpha ? 4 : 3) || png_get_bit_depth(png, info) != 8) return false;
  size_t stride = (size_t)width * (size_t)channels;
  if (png_get_rowbytes(png, info) != stride) return false;

  DecodedImage& out = *job->out;
  out.pixels.assign(stride * height, 0);
  job->rows.resize(height);
  for (png_uint_32 y = 0; y < height; y++) job->rows[y] = out.pixels.data() + stride * y;
  png_read_image(png, job->rows.data());
  png_read_end(png, nullptr);

  out.width = (int)width;
  out.height = (int)height;
  out.depth = alpha ? 32 : 24;
  return true;
}
}  // namespace

bool DecodeImage(const uint8_t* bytes, size_t size, DecodedImage& out) {
  out = DecodedImage();
  if (!bytes || size < 8 || png_sig_cmp(bytes, 0, 8) != 0) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  DecodedImage decoded;
  DecodeJob job{{bytes, size, 0}, &decoded, {}};
  bool ok = false;
  try {
    ok = RunDecode(png, info, &job);
  } catch (const std::bad_alloc&) {
    ok = false;  // a picture too large to hold is a failed load
  }
  png_destroy_read_struct(&png, &info, nullptr);
  if (ok) out = std::move(decoded);
  return ok;
}
