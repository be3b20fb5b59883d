// The driver's globals (screen size, display settings, clocks, the timeline, the
// asset paths) and its operations, file by file. The driver owns and writes the
// globals; effects only read them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int64_t DESIGN_WIDTH = 1920;
constexpr int64_t DESIGN_HEIGHT = 1080;

struct TimelineRecord {
  int64_t durationMs = 0;
  int64_t effectNumber = 0;
  int64_t headerImage = 0;
  std::u16string headerText;
  float speedFactor = 4.0f;
};

// ---- screen and settings ----
extern int64_t screenWidth, screenHeight;
extern int64_t desktopWidth, desktopHeight;
extern int64_t displayMode;       // 0 windowed, 1 full screen, 2 borderless desktop scaled
extern int64_t skipWindowEvents;  // 1: the loop does not drain window events
extern int64_t musicVolume;       // percent, 0 when muted
extern int64_t musicMuted;
extern int64_t windowX, windowY, windowWidth, windowHeight;
extern float windowScale;
extern int64_t windowScaled;

// ---- asset paths ----
extern std::string assetFolder;  // temporary directory + "ZORLA_VELDA5_2D/"
std::string AssetPath(const char* fileName);
extern std::string headerImagePaths[5];
extern std::string launcherImagePath;

// ---- texts ----
extern std::u16string scrollText;
extern std::u16string launcherText;

// ---- timeline and scene clock ----
extern std::vector<TimelineRecord> timeline;
extern int64_t lastSceneIndex;
extern int64_t currentScene;
extern int64_t sceneStart;
extern int64_t frameNowMs;
extern int64_t showStartMs;
extern int64_t topBandOn, bottomBandOn;
extern int64_t sceneFlashStartMs, sceneFlashActive;
extern int64_t SCENE_FLASH_MS;
extern int64_t SCROLL_CROSS_MS;

// ---- effect clock: each pass through the timeline replays the first one's clock ----
extern int64_t passCount;         // passes begun (entries into row 0)
extern int64_t firstPassStartMs;  // ElapsedMs at the start of the first pass
extern int64_t passStartMs;       // ElapsedMs at the start of the current pass
// The clock effects animate from: ElapsedMs during the first pass; in a later
// pass, the time since that pass began added to the first pass's start. Float
// phases made from it keep the first pass's precision however long the show runs.
int64_t EffectClockMs();

// Speed factor of the current timeline row.
float CurrentSpeedFactor();

// ---- cached sprite sizes (sprites 20, 21, 23, 30, 31, 32), read after loading ----
extern int64_t cachedSpriteWidth[64], cachedSpriteHeight[64];

// ---- rotozoom texel cache (picture 50) ----
constexpr int ROTOZOOM_PICTURE = 50;
extern int64_t cacheReady;
extern int64_t cacheWidth, cacheHeight;
extern std::vector<uint64_t> cacheTexels;
void BuildRotozoomCache();

// ---- timeline (driver/timeline.cpp) ----
void AddTimelineRecord(int64_t durationMs, int64_t effectNumber, int64_t headerImage,
                       const std::u16string& headerText, float speedFactor);
void BuildTimeline();
void ClearSceneArea(int r, int g, int b);  // effects/scene_area.cpp

// ---- main loop (driver/main_loop.cpp) ----
// Enters timeline row n (row 0 past the last): scene clock, flash, the effect's
// scene-entry reset and the bands, as the effect table says.
void EnterScene(int64_t n);
// The effect table's frame operations for an effect number.
void RunEffect(int64_t effectNumber);
// The scene switch: reads the frame's time and enters the next row once the
// current one's duration is exceeded.
void UpdateSceneTime();
// Draws the current row's frame: effect, header band, scroller band, flash.
void DrawFrame();
// One frame; returns false when the show must end (close event or Escape).
bool RunFrame();
[[noreturn]] void MainLoop();

// ---- the show's position on its clock (driver/show_position.cpp) ----
// The switch rule: true when the current row's time is over at nowMs.
bool SceneTimeIsUp(int64_t nowMs);
// The length of one pass through the timeline (the sum of its durations).
int64_t TimelinePassMs();
// A frame grid of num / den frames per second: frame n is shown at
// n * 1000 * den / num milliseconds, rounded down, so it never drifts.
struct FrameGrid {
  int64_t num = 60, den = 1;
};
int64_t GridFrameMs(const FrameGrid& grid, int64_t n);
// The first frame of the grid shown at or after ms.
int64_t GridFrameAtOrAfter(const FrameGrid& grid, int64_t ms);
// For a show whose frame 0 is shown at clock 0 on the driven clock: leaves
// the show as a run that showed every frame of the grid up to and including
// `frame` would have it, as far as the timeline goes (the current row, entered
// on the frame whose switch entered it, the pass count and the effect clock),
// without drawing anything; the scroller's origin is 0 and the clock stands at
// the frame's time. Returns the frame on which the current pass began.
int64_t EnterShowAt(const FrameGrid& grid, int64_t frame);

// ---- bottom scroller (driver/scroller.cpp) ----
extern std::u16string measuredText;
extern int64_t measuredWidth;
extern float scrollX;
void DrawBottomScroller();

// ---- start-up and shutdown (driver/startup.cpp) ----
void SetStartValues();      // every driver and effect global to its start value
// Windowed placement from desktopWidth/Height and screenWidth/Height: sets
// windowScale, windowScaled, windowX, windowY, windowWidth, windowHeight.
void ComputeWindowGeometry();
// Opens the display in displayMode (step 9) with its frame, hiding the cursor
// where it must; shows the mode's message and returns 0 when it cannot be opened.
int OpenShowDisplay();
// The frame and the sprites live as long as the display they are shown on.
// OpenDisplayFrame, after a display opened: no sprites, a black frame of the
// display's size; 0 (and the display closed again) when the frame cannot be had.
int OpenDisplayFrame();
// Frees every sprite, closes the frame and the display.
void CloseShowScreen();
// Hands the finished frame to the display once; 0 when it is not shown.
int PresentShowFrame();
struct EmbeddedAsset;
// The one start-up, for the program, the web page, the capture, the tools
// and the tests, told what differs between them.
struct ShowStart {
  // Where the show appears: in the launcher's display mode (displayMode); in
  // a captioned window of windowWidth x windowHeight showing the 1920 x 1080
  // picture (stretched when the sizes differ), or painted at windowWidth x
  // windowHeight in full screen (as start-up falls back to on a desktop
  // without a 1920 x 1080 mode), frames as fast as they come either way; or
  // nowhere, the frame in memory only.
  enum class Display { LAUNCHER_MODE, TOOL_WINDOW, TOOL_FULL_SCREEN, NONE };
  Display display = Display::LAUNCHER_MODE;
  int windowWidth = 1920, windowHeight = 1080;
  std::string title = "Velda Party 5";
  // False: no sound output is started and the music stays muted.
  bool music = true;
  // True: message boxes are collected (CollectedMessages) rather than shown.
  bool collectMessages = false;
  // The carried files are read from this folder; empty: they are extracted
  // into the temporary folder first.
  std::string assetFolder;
  // Set: the carried files are read in place from this table of ASSET_COUNT
  // rows in the list's order (ASSET_PACK, or a copy of it) and nothing is
  // written to disk; the first that fails to load fails the start, with no
  // box: StartShow returns 0 with its name in unloadedFile.
  const EmbeddedAsset* carriedInMemory = nullptr;
  // With carriedInMemory the music is not played: its bytes are handed here
  // with musicVolume (percent), for a start that writes the show's sound
  // itself (false is a track that did not load), or left out when unset.
  bool (*takeMusic)(const uint8_t* bytes, size_t size, int volumePercent) = nullptr;
  int musicVolume = 100;
  // The generator seeded just before the pictures load.
  bool seeded = false;
  uint64_t seed = 0;
  // >= 0: the clock driven from the start, standing at clockMs.
  int64_t clockMs = -1;
  // The first row: entered on the clock's now (the scroller at the right
  // edge), the show entered at `frame` of `grid` (EnterShowAt), or left to the caller.
  enum class Entry { NOW, AT_FRAME, CALLER };
  Entry entry = Entry::NOW;
  FrameGrid grid;
  int64_t frame = 0;
};
// Loads the carried files the show uses in their load order (driver/asset_pack.cpp):
// the font, sprites, music and the rotozoom picture. From the asset folder,
// each failure in its box, and 1; in place (how.carriedInMemory), 0 at the
// first failure, with its name in unloadedFile.
int LoadShowAssets(const ShowStart& how = {});
extern std::string unloadedFile;
// StartProgram is everything before the launcher (after StartPlatform, which
// the entry points call first thing): start values, the sound output, the
// carried files, the timeline. StartShow is everything after it up to the
// first frame: the display, every picture and the music, the starfield, the
// first row; 0 when the display cannot be opened (after its message) or a
// carried file read in place does not load. StartShowAlone is both, for the
// starts without a launcher. StopShow stops the music and closes the display;
// ExitProgram is the one way out.
void StartProgram(const ShowStart& how = {});
int StartShow(const ShowStart& how = {});
int StartShowAlone(const ShowStart& how);
void StopShow();
[[noreturn]] void ExitProgram();
// The carried files' folder, and the paths the list's rows make from it (the
// font's, the header pictures' and the launcher picture's).
void UseAssetFolder(const std::string& folder);

// ---- asset pack (driver/asset_pack.cpp) ----
struct EmbeddedAsset {
  const char* name;
  const unsigned char* bytes;
  int64_t length;
};
// One per row of driver/carried_files.h, in its order.
constexpr int ASSET_COUNT = 0
#define CARRIED_MUSIC(...) +1
#define CARRIED_PICTURE(...) +1
#include "driver/carried_files.h"
    ;
extern const EmbeddedAsset ASSET_PACK[ASSET_COUNT];
int64_t ExtractAsset(const std::string& path, const unsigned char* bytes, int64_t length);
void ExtractAssetPack();

// ---- launcher (driver/launcher.cpp) ----
void RunLauncher();
