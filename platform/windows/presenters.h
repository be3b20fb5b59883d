// The two ways the Windows target puts the finished frame on a window: a DIB
// put through GDI (StretchDIBits, nearest pixel when stretched) and one WGL
// texture drawn as a quad. Both fill what the picture leaves of the client
// area with black.
#pragma once
#include "platform/windows/win32.h"
#include "platform/pixels.h"
#include "platform/target.h"  // PictureRect

bool DibPresent(HWND window, const PixelView& frame, const PictureRect& rect);

// Makes a GL context on the window. With hardwareOnly, a software renderer
// (llvmpipe, softpipe, GDI Generic, Microsoft Basic Render Driver) counts as no
// GL, and the window is left without a pixel format. False when there is no
// usable context.
bool WglStart(HWND window, bool hardwareOnly);
void WglStop();
bool WglPresent(HWND window, const PixelView& frame, const PictureRect& rect);
// Non-zero when wglSwapIntervalEXT took the interval.
int WglSetSwapInterval(int interval);
