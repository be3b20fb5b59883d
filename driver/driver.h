// The driver's globals (screen size, display settings, clocks, the timeline, the
// asset paths) and its operations, file by file. The driver owns and writes the
// globals; effects only read them.
#pragma once
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
void ClearSceneArea(int r, int g, int b);

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
// Opens the display in displayMode (step 9), hiding the cursor where it must;
// shows the mode's message and returns 0 when it cannot be opened.
int OpenShowDisplay();
// Loads the carried files the show uses in their load order (driver/asset_pack.cpp):
// the font, sprites, music and the rotozoom picture, each failure in its box.
void LoadShowAssets();
// The program in three pieces, for a loop that cannot wait (a browser's
// animation frames): StartProgram is everything before the launcher;
// StartShow everything after it up to the first scene (0 when the display
// cannot be opened, after its message); StopShow stops the music and closes
// the display.
void StartProgram();
int StartShow();
void StopShow();
[[noreturn]] void ExitProgram();
int RunShow();              // the whole program; never returns in practice

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
