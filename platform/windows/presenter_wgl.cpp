// The GL presenter on Windows: whether the driver's GL is hardware (asked on
// a hidden window of its own), a legacy WGL context on the show window, the
// frame uploaded into one texture (BGRA, nearest filtering) and drawn as a
// quad at the picture's rectangle; the swap interval through
// wglSwapIntervalEXT where the driver offers it.
#include <GL/gl.h>

#include <cstring>

#include "platform/windows/presenters.h"

#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif
#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

namespace {
HWND glWindow = nullptr;
HDC glDc = nullptr;
HGLRC context = nullptr;
GLuint texture = 0;
int textureW = 0, textureH = 0;
using SwapIntervalProc = BOOL(WINAPI*)(int);
SwapIntervalProc swapInterval = nullptr;

bool SoftwareRenderer(const char* name) {
  if (!name) return true;
  for (const char* soft : {"llvmpipe", "softpipe", "GDI Generic", "Microsoft Basic Render Driver"})
    if (std::strstr(name, soft)) return true;
  return false;
}

// A legacy context on the window's DC, made current; false when there is none.
// A window keeps its pixel format for life, and under Wine a window with one
// loses its shared-memory surface: every DIB put then goes through the X
// connection.
bool MakeContext(HWND window, HDC& dc, HGLRC& rc) {
  dc = GetDC(window);
  if (!dc) return false;
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof(pfd);
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 32;
  pfd.cDepthBits = 16;
  pfd.iLayerType = PFD_MAIN_PLANE;
  int format = ChoosePixelFormat(dc, &pfd);
  rc = nullptr;
  if (format && SetPixelFormat(dc, format, &pfd)) rc = wglCreateContext(dc);
  if (rc && wglMakeCurrent(dc, rc)) return true;
  if (rc) wglDeleteContext(rc);
  ReleaseDC(window, dc);
  return false;
}

// Whether the driver's GL is hardware, asked once on a hidden window of its
// own, so that a show window presented by GDI never carries a pixel format.
bool HardwareGl() {
  static int known = -1;
  if (known >= 0) return known == 1;
  known = 0;
  HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  HDC dc = nullptr;
  HGLRC rc = nullptr;
  if (probe && MakeContext(probe, dc, rc)) {
    known = SoftwareRenderer((const char*)glGetString(GL_RENDERER)) ? 0 : 1;
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(rc);
    ReleaseDC(probe, dc);
  }
  if (probe) DestroyWindow(probe);
  return known == 1;
}
}  // namespace

bool WglStart(HWND window, bool hardwareOnly) {
  WglStop();
  if (hardwareOnly && !HardwareGl()) return false;
  HDC dc = nullptr;
  HGLRC rc = nullptr;
  if (!MakeContext(window, dc, rc)) return false;
  glWindow = window;
  glDc = dc;
  context = rc;
  swapInterval = SystemFunction<SwapIntervalProc>(wglGetProcAddress("wglSwapIntervalEXT"));
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  textureW = textureH = 0;
  return true;
}

void WglStop() {
  if (!context) return;
  if (texture) glDeleteTextures(1, &texture);
  texture = 0;
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(context);
  ReleaseDC(glWindow, glDc);
  context = nullptr;
  glDc = nullptr;
  glWindow = nullptr;
  swapInterval = nullptr;
}

bool WglPresent(HWND window, const PixelView& frame, const PictureRect& rect) {
  if (!context || window != glWindow || !frame.pixels || frame.stride % 4 != 0) return false;
  RECT client;
  GetClientRect(window, &client);
  const int w = client.right, h = client.bottom;
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, frame.stride / 4);
  glBindTexture(GL_TEXTURE_2D, texture);
  if (textureW != frame.width || textureH != frame.height) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, frame.width, frame.height, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE, frame.pixels);
    textureW = frame.width;
    textureH = frame.height;
  } else {
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, frame.width, frame.height, GL_BGRA_EXT, GL_UNSIGNED_BYTE, frame.pixels);
  }
  glViewport(0, 0, w, h);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, w, h, 0, -1, 1);  // client pixels, top-left origin
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_TEXTURE_2D);
  glColor4f(1, 1, 1, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2i(rect.x, rect.y);
  glTexCoord2f(1, 0);
  glVertex2i(rect.x + rect.width, rect.y);
  glTexCoord2f(1, 1);
  glVertex2i(rect.x + rect.width, rect.y + rect.height);
  glTexCoord2f(0, 1);
  glVertex2i(rect.x, rect.y + rect.height);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  return SwapBuffers(glDc) != FALSE;
}

int WglSetSwapInterval(int interval) { return context && swapInterval && swapInterval(interval) ? 1 : 0; }
