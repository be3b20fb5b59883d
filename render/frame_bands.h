// A frame painted on two threads: while two painting threads are chosen, the
// draws on the show frame are kept in call order, each filed under the
// horizontal strips it touches, and the frame is painted when something looks
// at it (or when many draws wait), the two threads taking strips in turn.
// Owned by frame_bands.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "render/colour.h"

struct SpriteQuad;

// True when draws on the show frame are kept rather than painted now.
bool KeepingFrame();
// The kept draws: a drawing pair's start (a fresh output over the frame), its
// mode changes and primitives, sprite quads and clearing the frame black.
void KeepBegin();
void KeepMode(int mode);
void KeepBox(int x, int y, int width, int height, Colour colour);
void KeepLine(int x, int y, int width, int height, Colour colour);
void KeepCircle(int x, int y, int radius, Colour colour);
void KeepImage(int image, int x, int y, int width, int height);
void KeepText(double x, double y, const std::u16string& text, Colour colour);
void KeepQuad(const SpriteQuad& quad);
void KeepClear();
// Paints every kept draw on the frame and forgets them; before the frame is
// read, presented, or a picture that a kept draw uses changes. Nothing to do
// (and no thread woken) when no draw waits.
void PaintKeptFrame();
// Forgets the kept draws unpainted: the frame's pixels are going away.
void DropKeptFrame();

// ---- test-only (never used by the program itself) ---------------------------
// How many times kept draws were painted, and how many wait now.
long TestKeptFramePaints();
size_t TestKeptDraws();
