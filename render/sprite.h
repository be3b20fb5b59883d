// The show's OpenGL surface and its sprites: opening the display in its three
// presentations, loading pictures into rectangle textures, drawing them as quads,
// presenting the frame, and the bridge that lets the software primitives paint
// on the current frame.
#pragma once
#include <cstdint>
#include <string>
#include "render/colour.h"

using SpriteId = int64_t;

constexpr int SPRITE_KEEP_ALPHA = 8;
constexpr int ROTATION_ABSOLUTE = 2;

// Host window styles for OpenHostWindow.
constexpr int HOST_STYLE_CAPTION = 1;     // title bar with a close box
constexpr int HOST_STYLE_BORDERLESS = 2;  // plain popup over the desktop

int InitSprites();

// Desktop size of the primary display (0 when there is no display).
int DesktopWidth();
int DesktopHeight();

int OpenFullscreenDisplay(int width, int height, int depth, const std::string& title);
// Host windows are numbered by the caller; returns non-zero on success.
int OpenHostWindow(int number, int x, int y, int width, int height, const std::string& title, int style);
int OpenWindowDisplay(int hostWindow, int x, int y, int width, int height, int autoStretch,
                      int rightOffset = 0, int bottomOffset = 0);
void CloseScreen();
// Shows or hides the mouse cursor over the display.
void ShowDisplayCursor(bool show);

SpriteId LoadSpriteFile(SpriteId id, const std::string& path, int flags);
int SpriteExists(SpriteId id);
int SpriteWidth(SpriteId id);
int SpriteHeight(SpriteId id);
int SetSpriteSize(SpriteId id, int width, int height);
int SetSpriteRotation(SpriteId id, float degrees, int mode);
int ClipSprite(SpriteId id, int x, int y, int width, int height);
int DrawSpriteOpaque(SpriteId id, float x, float y);
// tint -1 keeps the picture's colours; any other value paints a silhouette.
int DrawSpriteBlended(SpriteId id, float x, float y, int intensity, int64_t tint = -1);
int PresentFrame();
// Makes the current frame the target of the drawing primitives (render/draw.h);
// EndScreenDrawing (in draw.h) puts it back. 0 on failure.
int BeginScreenDrawing();
void FreeAllSprites();

// Swap interval of the current display: 1 waits for the vertical retrace, 0 does
// not (the benchmark). Non-zero when the driver accepted it.
int SetSwapInterval(int interval);
// Milliseconds spent so far moving the frame through the drawing bridge
// (read-back and write-back), for the benchmark.
double BridgeMilliseconds();
