// The saver window on Win32 with WGL: the class "WindowsScreenSaverClass",
// one top-most pop-up covering every monitor (the virtual screen), each
// monitor showing a curtain scene of its own, the window procedure's three
// stages (front, lifecycle, input rules), the message queue the run waits
// on, and the Windows 9x password check.
#pragma once

#include <windows.h>

#include <vector>

#include "renderer/curtain/gl_scene.h"
#include "renderer/shell/monitor_layout.h"
#include "renderer/shell/monitor_surface.h"
#include "renderer/shell/saver_input.h"
#include "renderer/shell/saver_shell.h"

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

// The monitors as the system lists them (EnumDisplayMonitors), the virtual
// screen and the primary monitor, laid out for one window.
MonitorLayout systemMonitorLayout();

// What the input rules make of one window message (the pointer of a
// MouseMove is filled in by the caller).
SaverEvent translateSaverMessage(UINT message, WPARAM wParam);

// The Win32 shell: the class, the one window over the virtual screen with a
// surface per monitor, the window procedure's three stages (front,
// lifecycle, input rules) and the message queue as the run's event source.
class Win32Shell : public SaverShell {
 public:
  explicit Win32Shell(HINSTANCE instance) : instance_(instance) {}
  ~Win32Shell() override;
  Win32Shell(const Win32Shell&) = delete;
  Win32Shell& operator=(const Win32Shell&) = delete;

  // SaverShell
  bool connect() override;
  // Another saver window still being set up (its first title) takes
  // precedence: it is brought forward.
  bool anotherSaverUp() override;
  bool openSurfaces() override;
  void show() override;
  std::vector<SceneSpot> spots() override { return monitors_.spots(); }
  bool hasUncoveredArea() const override { return monitors_.layout().hasUncoveredArea; }
  void reportNoContext(std::uint64_t) override {}
  bool dispatchPending() override;
  void wait(std::int64_t micros) override;
  std::int64_t nowMicros() override;
  void present(bool drew) override;
  int close() override;

  // SaverWindowSteps
  CursorPoint cursorPosition() override;
  void hidePointer() override { SetCursor(nullptr); }
  void setTitle(const char* title) override { SetWindowTextA(window_, title); }
  void lowerPriority() override;
  RenderSurface& surface() override { return surface_; }
  RenderSurface& sceneSurface(std::size_t key) override { return monitors_.surface(key); }
  void releaseSurface() override { surface_.release(); }

  // The window procedure's work, for the window this shell made.
  LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT handleInputMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  Win32Surface surface_;
  MonitorSurfaces monitors_{surface_};
  bool quit_ = false;
  int exitCode_ = 0;
};

// A standalone run on Win32, or giving way to another saver window still
// titled "Screensaver". Returns the exit code: 0 after a normal end or
// giving way, 1 without a window.
int runWin32Saver(HINSTANCE instance);
