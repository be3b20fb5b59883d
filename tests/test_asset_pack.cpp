// Extraction of the carried files: first run, kept and replaced files, folders
// that cannot be made or trusted, links that must not be followed, and the
// order in which the show loads them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "driver/driver.h"
#include "platform/platform.h"
#include "platform/test_hooks.h"
#include "render/font.h"

namespace fs = std::filesystem;

namespace {
std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int CountMessages() {
  const std::string& m = TestCapturedMessages();
  return (int)std::count(m.begin(), m.end(), '\n');
}

class AssetPack : public ::testing::Test {
 protected:
  std::string root;
  void SetUp() override {
    root = GetTempDirectory() + "pack-test-" + std::to_string(getpid()) + "/";
    fs::remove_all(root);
    ASSERT_TRUE(CreateDirectory(root));
    assetFolder = root + "ZORLA_VELDA5_2D/";
    TestCaptureMessages(true);
    TestClearMessages();
  }
  void TearDown() override {
    TestCaptureMessages(false);
    std::error_code ec;
    fs::permissions(root, fs::perms::owner_all, ec);
    fs::remove_all(root, ec);
  }
  // Points start-up's paths (pictures, banners, font) into `folder`, the font
  // not loaded yet.
  void UseFolder(const std::string& folder) {
    UseAssetFolder(folder);
    fontReady = 0;
  }
  // Start-up's loading of the show's pictures: the messages it gives.
  std::string LoadingMessages() {
    TestClearMessages();
    LoadShowAssets();
    return TestCapturedMessages();
  }
  // The folder is refused as a whole: nothing written in it, nothing read, and
  // every picture reported as not loaded.
  void ExpectRefused(const std::string& folder) {
    UseFolder(folder);
    TestClearMessages();
    ExtractAssetPack();
    EXPECT_EQ(CountMessages(), 25) << folder;
    std::string bytes;
    EXPECT_FALSE(ReadWholeFile(folder + "ship.png", bytes)) << folder;
    EXPECT_EQ(FileSize(folder + "ship.png"), -1) << folder;
    std::string messages = LoadingMessages();
    for (const char* picture : {"police20.png", "ship.png", "haut1.png", "haut5.png", "sideimage.png"})
      EXPECT_NE(messages.find(std::string(picture) + " non chargé."), std::string::npos) << folder << picture;
  }
  const EmbeddedAsset& Asset(const char* name) {
    for (const EmbeddedAsset& a : ASSET_PACK)
      if (std::string(a.name) == name) return a;
    throw std::runtime_error(name);
  }
};

int takenVolume = -1;
bool TakeMusic(const uint8_t* bytes, size_t size, int volumePercent) {
  takenVolume = volumePercent;
  return size >= 4 && std::memcmp(bytes, "OggS", 4) == 0;
}
}  // namespace

TEST_F(AssetPack, FirstRunWritesEveryFileAsCarried) {
  ExtractAssetPack();
  EXPECT_EQ(TestCapturedMessages(), "");
  int files = 0;
  for (const EmbeddedAsset& a : ASSET_PACK) {
    ASSERT_GT(a.length, 0) << a.name;
    std::string onDisk = ReadFile(assetFolder + a.name);
    EXPECT_EQ(onDisk, std::string((const char*)a.bytes, (size_t)a.length)) << a.name;
    files++;
  }
  EXPECT_EQ(files, 25);
  // The carried bytes are the files of assets/.
  EXPECT_EQ(ReadFile(std::string(ZYNTRAX_ASSET_DIR) + "/police20.png"), ReadFile(assetFolder + "police20.png"));
  EXPECT_EQ(std::string(ASSET_PACK[0].name), "music.ogg");
  EXPECT_EQ(std::string(ASSET_PACK[24].name), "billboard6.png");
}

// From an empty folder the show reports every picture it loads once, in its
// load order: the font, the sprites, the banners, the rotozoom picture last but one.
TEST_F(AssetPack, AnEmptyFolderReportsEachPictureOnceInLoadOrder) {
  UseFolder(root);
  std::istringstream lines(LoadingMessages());
  std::vector<std::string> reported;
  for (std::string line; std::getline(lines, line);)
    reported.push_back(line.substr(line.find('|') + 1, line.find(" non chargé") - line.find('|') - 1));
  const std::vector<std::string> expected = {
      "police20.png", "center_billboard.png", "ship.png", "tunnel_bg.png", "billboard.png",
      "billboard2.png", "billboard3.png", "starfield_image.png", "billboard4.png", "billboard5.png",
      "billboard6.png", "twister_image.png", "pulse_r.png", "pulse_g.png", "pulse_b.png", "haut1.png",
      "haut2.png", "haut3.png", "haut4.png", "haut5.png", "rotozoom.png", "sideimage.png"};
  EXPECT_EQ(reported, expected);
}

TEST_F(AssetPack, KeepsAFileOfTheRightSizeAndReplacesOneOfAnotherSize) {
  ExtractAssetPack();
  const EmbeddedAsset& ship = Asset("ship.png");
  const EmbeddedAsset& pulse = Asset("pulse_r.png");
  std::string same(ship.length, 'x');
  std::ofstream(assetFolder + "ship.png", std::ios::binary) << same;
  std::ofstream(assetFolder + "pulse_r.png", std::ios::binary) << "short";
  EXPECT_EQ(ExtractAsset(assetFolder + "ship.png", ship.bytes, ship.length), ship.length);
  EXPECT_EQ(ExtractAsset(assetFolder + "pulse_r.png", pulse.bytes, pulse.length), 0);
  EXPECT_EQ(ReadFile(assetFolder + "ship.png"), same);
  EXPECT_EQ(ReadFile(assetFolder + "pulse_r.png"), std::string((const char*)pulse.bytes, (size_t)pulse.length));
  EXPECT_EQ(TestCapturedMessages(), "");
}

TEST_F(AssetPack, APlainFileInPlaceOfTheFolderGivesOneMessagePerFile) {
  std::ofstream(root + "ZORLA_VELDA5_2D") << "in the way";
  ExtractAssetPack();
  EXPECT_EQ(CountMessages(), 25);
  EXPECT_NE(TestCapturedMessages().find("Erreur|Impossible d'extraire : " + assetFolder + "music.ogg\n"),
            std::string::npos);
}

TEST_F(AssetPack, AFileThatCannotBeReplacedFailsAlone) {
  ExtractAssetPack();
  fs::remove(assetFolder + "ship.png");
  if (geteuid() == 0) {
    // Root writes through read-only modes: a folder of that name stands in.
    fs::create_directory(assetFolder + "ship.png");
  } else {
    std::ofstream(assetFolder + "ship.png") << "old";
    chmod((assetFolder + "ship.png").c_str(), 0400);
  }
  ExtractAssetPack();
  EXPECT_EQ(CountMessages(), 1);
  EXPECT_NE(TestCapturedMessages().find("ship.png"), std::string::npos);
}

TEST_F(AssetPack, AFolderOthersCanWriteIsNotTrusted) {
  ASSERT_TRUE(CreateDirectory(assetFolder));
  chmod(assetFolder.c_str(), 0777);
  ExtractAssetPack();
  EXPECT_EQ(CountMessages(), 25);
  EXPECT_FALSE(fs::exists(assetFolder + "music.ogg"));
}

TEST_F(AssetPack, PlantedLinksAreNeitherFollowedNorLoaded) {
  ASSERT_TRUE(CreateDirectory(assetFolder));
  std::string target = root + "victim.txt";
  std::ofstream(target) << "precious";
  fs::create_symlink(target, assetFolder + "ship.png");
  ExtractAssetPack();
  EXPECT_EQ(ReadFile(target), "precious");
  EXPECT_EQ(CountMessages(), 1);
  std::string bytes;
  EXPECT_FALSE(ReadWholeFile(assetFolder + "ship.png", bytes));

  // A link in place of the folder itself is refused as a whole.
  fs::remove_all(assetFolder);
  fs::create_directory(root + "elsewhere");
  fs::create_directory_symlink(root + "elsewhere", root + "ZORLA_VELDA5_2D");
  TestClearMessages();
  ExtractAssetPack();
  EXPECT_EQ(CountMessages(), 25);
  EXPECT_TRUE(fs::is_empty(root + "elsewhere"));
}

// The asset folder reached through a link, as the folder itself or as a folder
// on its path, is not used at all, though the folder linked to is the user's.
TEST_F(AssetPack, AFolderReachedThroughALinkIsNeitherWrittenNorRead) {
  std::string real = root + "real/";
  ASSERT_TRUE(CreateDirectory(real));
  UseFolder(real + "ZORLA_VELDA5_2D/");
  ExtractAssetPack();
  ASSERT_EQ(TestCapturedMessages(), "");
  fs::create_directory_symlink(real + "ZORLA_VELDA5_2D", root + "ZORLA_VELDA5_2D");
  fs::create_directory_symlink(real, root + "via");
  ExpectRefused(root + "ZORLA_VELDA5_2D/");
  ExpectRefused(root + "via/ZORLA_VELDA5_2D/");

  // By its own path the same folder is read, and the pictures load.
  UseFolder(real + "ZORLA_VELDA5_2D/");
  TestClearMessages();
  ExtractAssetPack();
  EXPECT_EQ(TestCapturedMessages(), "");
  std::string bytes;
  EXPECT_TRUE(ReadWholeFile(assetFolder + "ship.png", bytes));
  EXPECT_EQ(LoadingMessages().find("non chargé"), std::string::npos);
}

// A folder that is not the user's, even one holding root's own files, is not
// read (only root can give a folder away).
TEST_F(AssetPack, AFolderOfAnotherOwnerIsNotRead) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  ExtractAssetPack();
  ASSERT_EQ(chown(assetFolder.c_str(), 65534, 65534), 0);
  ExpectRefused(assetFolder);
}

// A FIFO, a folder or a device node where a carried file belongs: each gets its
// message at extraction, none is waited on, and none is read as a picture.
TEST_F(AssetPack, FifosFoldersAndDevicesInPlaceOfFilesAreRefusedWithoutWaiting) {
  ASSERT_TRUE(CreateDirectory(assetFolder));
  bool root = geteuid() == 0;  // only root may make device nodes
  int kind = 0;
  for (const EmbeddedAsset& a : ASSET_PACK) {
    std::string path = assetFolder + a.name;
    switch (kind++ % 3) {
      case 0: ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); break;
      case 1: ASSERT_EQ(mkdir(path.c_str(), 0700), 0); break;
      default:
        if (root)
          ASSERT_EQ(mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 3)), 0);  // like /dev/null
        else
          ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    }
  }
  ExtractAssetPack();
  for (const EmbeddedAsset& a : ASSET_PACK) {
    std::string path = assetFolder + a.name;
    EXPECT_NE(TestCapturedMessages().find("Erreur|Impossible d'extraire : " + path + "\n"), std::string::npos)
        << a.name;
    std::string bytes;
    EXPECT_FALSE(ReadWholeFile(path, bytes)) << a.name;
  }
  EXPECT_EQ(CountMessages(), 25);
}

TEST(TempDirectory, IsPrivateToTheUser) {
  std::string dir = GetTempDirectory();
  ASSERT_EQ(dir.back(), '/');
  EXPECT_NE(dir.find(std::to_string(geteuid())), std::string::npos);
  struct stat st;
  ASSERT_EQ(lstat(dir.substr(0, dir.size() - 1).c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_uid, geteuid());
  EXPECT_EQ(st.st_mode & 077, 0u);
  EXPECT_EQ(FileSize(dir), -2);
  EXPECT_EQ(FileSize(dir + "does-not-exist"), -1);
}

// Read in place, as the capture starts: no box, and the first file that does
// not load fails the start with its name, whatever it is loaded as (the font,
// a header sprite, the rotozoom picture, the music handed to the start's taker).
TEST_F(AssetPack, ReadInPlaceAFileThatDoesNotLoadFailsTheStartWithItsName) {
  std::vector<EmbeddedAsset> files(ASSET_PACK, ASSET_PACK + ASSET_COUNT);
  ShowStart how;
  how.display = ShowStart::Display::NONE;
  how.music = false;
  how.collectMessages = true;
  how.carriedInMemory = files.data();
  how.takeMusic = TakeMusic;
  how.musicVolume = 35;
  how.entry = ShowStart::Entry::CALLER;
  ASSERT_EQ(StartShowAlone(how), 1);
  EXPECT_EQ(unloadedFile, "");
  EXPECT_EQ(takenVolume, 35);
  EXPECT_EQ(fontReady, 1);
  EXPECT_EQ(cacheReady, 1);
  EXPECT_EQ(cachedSpriteWidth[32], 64);
  CloseShowScreen();
  const uint8_t garbage[64] = {0x5A};
  for (const char* name : {"police20.png", "haut3.png", "Rotozoom.png", "music.ogg"}) {
    files.assign(ASSET_PACK, ASSET_PACK + ASSET_COUNT);
    for (EmbeddedAsset& file : files)
      if (std::string(file.name) == name) file = EmbeddedAsset{file.name, garbage, sizeof garbage};
    EXPECT_EQ(StartShowAlone(how), 0) << name;
    EXPECT_EQ(unloadedFile, name);
    CloseShowScreen();
  }
  EXPECT_EQ(CollectedMessages(), "");
}
