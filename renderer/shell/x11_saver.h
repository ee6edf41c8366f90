// The X11 shell with GLX. Standalone, it makes one override-redirect window
// covering the root screen with an invisible cursor, shows one curtain scene
// per monitor (following the monitors while it runs) and turns X events into
// the neutral events of the input rules. Adopted (display mode), it draws one
// scene into a window somebody else made (a screen-saver daemon's, a
// settings preview's pane, or the root window): the GL context is made for
// that window's own visual, and the window is never mapped, raised, focused,
// given a cursor, resized or destroyed; only its size and its end are
// followed, and its input is its owner's.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <memory>

#include "platform/display_mode/display_mode_options.h"
#include "renderer/curtain/gl_scene.h"
#include "renderer/shell/monitor_surface.h"
#include "renderer/shell/saver_input.h"
#include "renderer/shell/saver_shell.h"
#include "renderer/shell/x11_monitors.h"

class X11Shell : public SaverShell, public RenderSurface {
 public:
  // Standalone without `displayMode`; adopting the window it names with it.
  explicit X11Shell(const display_mode::Options* displayMode = nullptr);
  ~X11Shell() override;
  X11Shell(const X11Shell&) = delete;
  X11Shell& operator=(const X11Shell&) = delete;

  // SaverShell
  bool connect() override;
  // Another saver window still being set up (its first title) takes
  // precedence: it is brought forward.
  bool anotherSaverUp() override;
  // Standalone: the window titled "Screensaver", unmapped. Adopted: reads
  // the window's size, screen and visual, and asks to hear of its resizing
  // and destruction (structure events only). False when there is none.
  bool openSurfaces() override;
  void show() override;
  std::vector<SceneSpot> spots() override;
  bool hasUncoveredArea() const override;
  void reportNoContext(std::uint64_t key) override;
  bool dispatchPending() override;
  void wait(std::int64_t micros) override;
  std::int64_t nowMicros() override;
  void present(bool drew) override;
  int close() override;

  // SaverWindowSteps. The pointer needs no hiding: the window has the
  // invisible cursor from the start; an adopted window keeps its pointer and
  // title.
  CursorPoint cursorPosition() override;
  void setTitle(const char* title) override;
  void lowerPriority() override;
  RenderSurface& surface() override { return *this; }
  RenderSurface& sceneSurface(std::size_t key) override;
  void releaseSurface() override;

  // RenderSurface: the whole window.
  bool createContext() override;
  void clientRect(int& left, int& top, int& right, int& bottom) const override;
  void swapBuffers() override;

 private:
  bool alive() const { return window_ != None && !ended_; }
  void dispatch(XEvent& event);
  void dispatchAdopted(const XEvent& event);
  void followMonitors();
  CursorPoint queryPointer() const;
  void bringToFront();
  void postClose();
  bool isAppSwitch(const XFocusChangeEvent& focus) const;

  const display_mode::Options* displayMode_;
  bool adopted_;
  Display* display_ = nullptr;
  int screen_ = 0;
  Window root_ = None;
  Window window_ = None;
  bool ended_ = false;       // closed by the rules, or destroyed by somebody else
  bool windowGone_ = false;  // destroyed by somebody else
  int width_ = 0;
  int height_ = 0;
  GLXFBConfig config_ = nullptr;
  GLXContext context_ = nullptr;
  Colormap colormap_ = None;
  Cursor invisibleCursor_ = None;
  Atom wmProtocols_ = None;
  Atom wmDeleteWindow_ = None;
  Atom netWmName_ = None;
  Atom utf8String_ = None;
  std::unique_ptr<X11Monitors> monitorSource_;
  MonitorSurfaces monitors_{*this};
  std::int64_t nextMonitorCheck_ = 0;
  bool noContextReported_ = false;
};

// Raises and activates another client's window (the existing-window rule).
void bringWindowToFront(Display* display, Window window);

// A standalone run on X11. Returns the exit code: 0 after a normal end or
// giving way, 1 without a display or a window.
int runX11Saver();
