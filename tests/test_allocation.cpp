// Loads that need more memory than the machine can give: the allocation fails
// and the load reports failure, as a missing file would, instead of ending the
// program. This program's allocations go through a limit of its own below.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <new>

#include "audio/audio.h"
#include "audio/sound_internal.h"
#include "driver/driver.h"
#include "platform/display.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/image.h"
#include "render/screen.h"
#include "render/sprite.h"

namespace {
size_t allocationLimit = SIZE_MAX;

void* Allocate(size_t size) {
  if (size > allocationLimit) return nullptr;
  return std::malloc(size ? size : 1);
}
void* AllocateOrThrow(size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}

// Lowers the limit for one scope.
struct MemoryLimit {
  explicit MemoryLimit(size_t bytes) { allocationLimit = bytes; }
  ~MemoryLimit() { allocationLimit = SIZE_MAX; }
};

std::string Asset(const char* name) { return std::string(ZYNTRAX_ASSET_DIR) + "/" + name; }
}  // namespace

void* operator new(size_t size) { return AllocateOrThrow(size); }
void* operator new[](size_t size) { return AllocateOrThrow(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

TEST(AllocationFailure, APictureTooLargeToHoldIsAFailedLoad) {
  // tunnel_bg.png needs a pixel buffer of several megabytes once decoded.
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(Asset("tunnel_bg.png"), bytes));
  DecodedImage img;
  {
    MemoryLimit limit(1 << 20);
    EXPECT_FALSE(DecodeImage((const uint8_t*)bytes.data(), bytes.size(), img));
    EXPECT_EQ(LoadImageFile(7, Asset("tunnel_bg.png")), 0);
  }
  EXPECT_EQ(ImageExists(7), 0);
  // With the memory there, the same file loads.
  EXPECT_TRUE(DecodeImage((const uint8_t*)bytes.data(), bytes.size(), img));
  EXPECT_EQ(LoadImageFile(7, Asset("tunnel_bg.png")), 1);

  // A file that cannot even be read into memory is refused the same way.
  std::string fresh;
  MemoryLimit limit(64 << 10);
  EXPECT_FALSE(ReadWholeFile(Asset("tunnel_bg.png"), fresh));
}

TEST(AllocationFailure, ATrackTooLargeToHoldIsAFailedLoad) {
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(Asset("music.ogg"), bytes));
  SoundRecord record;
  {
    // The decoded track is 36 MB of samples.
    MemoryLimit limit(8 << 20);
    EXPECT_FALSE(DecodeVorbis((const uint8_t*)bytes.data(), bytes.size(), record));
  }
  EXPECT_TRUE(record.samples.empty());

  // The same through the public operation, on SDL's disk driver.
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  ASSERT_EQ(SoundInit(), 1);
  {
    MemoryLimit limit(8 << 20);
    EXPECT_EQ(MusicLoad(3, Asset("music.ogg")), 0);
  }
  int channels = 0, rate = 0, bits = 0;
  double volume = 0;
  EXPECT_EQ(TestSoundInfo(3, &channels, &rate, &bits, &volume), 0);
  SoundShutdown();
}

// A show frame the memory cannot hold is refused with the old one kept, and
// full screen then ends in its own message rather than a crash.
TEST(AllocationFailure, AFrameTooLargeToHoldIsRefusedAndFullScreenSaysSo) {
  ASSERT_TRUE(OpenFrame(1920, 1080));
  {
    MemoryLimit limit(64 << 20);  // an 8K frame needs 132 MB
    EXPECT_EQ(OpenFrame(7680, 4320), 0);
  }
  EXPECT_EQ(FinishedFrame().width, 1920);
  EXPECT_EQ(FinishedFrame().height, 1080);
  CloseFrame();

  // Start-up's full screen: neither 1920 x 1080 nor the desktop size can get a frame.
  SetStartValues();
  displayMode = 1;
  desktopWidth = DesktopWidth();
  desktopHeight = DesktopHeight();
  TestCaptureMessages(true);
  TestClearMessages();
  {
    MemoryLimit limit(4 << 20);
    EXPECT_EQ(OpenShowDisplay(), 0);
  }
  EXPECT_EQ(TestCapturedMessages(), "Erreur|Impossible d'ouvrir le plein écran.\n");
  EXPECT_FALSE(CurrentDisplay().open);
  TestCaptureMessages(false);
  CloseShowScreen();
}
