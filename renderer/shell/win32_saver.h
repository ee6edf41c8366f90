// The saver window on Win32 with WGL: the class "WindowsScreenSaverClass",
// one top-most pop-up covering the screen, the window procedure's three
// stages (front, lifecycle, input rules), the idle-driven message loop, and
// the Windows 9x password check.
#pragma once

#include <windows.h>

#include "renderer/curtain/gl_scene.h"
#include "renderer/shell/saver_input.h"

// The window's GL side: its own device context (the class has CS_OWNDC),
// the pixel format, the WGL context and the swap.
class Win32Surface : public RenderSurface {
 public:
  void attach(HWND window) { window_ = window; }
  // Releases the device context and the context, unbinding it first.
  void release();

  bool createContext() override;
  void clientRect(int& left, int& top, int& right, int& bottom) const override;
  void swapBuffers() override;

 private:
  HWND window_ = nullptr;
  HDC deviceContext_ = nullptr;
  HGLRC context_ = nullptr;
};

// What the input rules make of one window message (the pointer of a
// MouseMove is filled in by the caller).
SaverEvent translateSaverMessage(UINT message, WPARAM wParam);

// The class's window procedure.
LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the class, creates the window and runs the message loop; or
// gives way to another saver window still titled "Screensaver". Returns the
// exit code: 0 after a normal end or giving way, 1 without a window.
int rendererMain(HINSTANCE instance);
