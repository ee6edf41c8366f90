// The saver window on Win32 with WGL: the class "WindowsScreenSaverClass",
// one top-most pop-up covering every monitor (the virtual screen), each
// monitor showing a curtain scene of its own, the window procedure's three
// stages (front, lifecycle, input rules), the idle-driven message loop, and
// the Windows 9x password check.
#pragma once

#include <windows.h>

#include <vector>

#include "renderer/curtain/gl_scene.h"
#include "renderer/shell/monitor_layout.h"
#include "renderer/shell/saver_input.h"

// The window's GL side: its own device context (the class has CS_OWNDC),
// the pixel format, the one WGL context and the swap.
class Win32Surface : public RenderSurface {
 public:
  void attach(HWND window) { window_ = window; }
  // Releases the device context and the context, unbinding it first.
  void release();

  // Creates the context the first time; later calls (the other monitors'
  // scenes) find it there.
  bool createContext() override;
  void clientRect(int& left, int& top, int& right, int& bottom) const override;
  void swapBuffers() override;
  void makeCurrent() override;
  bool hasContext() const { return context_ != nullptr; }

 private:
  HWND window_ = nullptr;
  HDC deviceContext_ = nullptr;
  HGLRC context_ = nullptr;
};

// One monitor's part of the window: the window's context, the monitor's
// rectangle (window coordinates, top-down) as the client area. Its swap does
// nothing: the window is swapped once after every monitor drew.
class Win32MonitorSurface : public RenderSurface {
 public:
  Win32MonitorSurface(Win32Surface& window, const ScreenRect& view) : window_(window), view_(view) {}
  bool createContext() override { return window_.createContext(); }
  void clientRect(int& left, int& top, int& right, int& bottom) const override;
  void swapBuffers() override {}
  bool sharesContext() const override { return true; }
  void makeCurrent() override { window_.makeCurrent(); }
  int drawableHeight() const override;

 private:
  Win32Surface& window_;
  ScreenRect view_;
};

// The monitors as the system lists them (EnumDisplayMonitors), the virtual
// screen and the primary monitor, laid out for one window.
MonitorLayout systemMonitorLayout();

// What the input rules make of one window message (the pointer of a
// MouseMove is filled in by the caller).
SaverEvent translateSaverMessage(UINT message, WPARAM wParam);

// The class's window procedure.
LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the class, creates the window and runs the message loop; or
// gives way to another saver window still titled "Screensaver". Returns the
// exit code: 0 after a normal end or giving way, 1 without a window.
int rendererMain(HINSTANCE instance);
