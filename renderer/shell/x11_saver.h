// The saver window on X11 with GLX: one override-redirect window covering the
// root screen, an invisible cursor, the GL context, and the translation of X
// events into the neutral events of the input rules.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include "renderer/curtain/gl_scene.h"
#include "renderer/shell/saver_input.h"
#include "renderer/shell/x11_window_steps.h"

class X11Saver : public RenderSurface, private X11WindowSteps {
 public:
  explicit X11Saver(Display* display);
  ~X11Saver() override;
  X11Saver(const X11Saver&) = delete;
  X11Saver& operator=(const X11Saver&) = delete;

  // Creates the window titled "Screensaver", runs the creation steps
  // (pointer position, settings, retitle to "KelvaraVC", lower priority,
  // GL scene, rendererReady) and maps it. False when no window could be
  // made.
  bool create();

  // Handles one X event: translation, input rules, their actions.
  void dispatch(XEvent& event);

  // Destruction: the destruction steps (rendererReady cleared, curtains
  // released, the GL context), then the window. Safe to call twice.
  void destroy();

  bool alive() const { return window_ != None; }

  // The loop's idle hook: one frame of the scene when one may be drawn.
  // Returns whether it drew.
  bool renderIdle();

  // RenderSurface
  bool createContext() override;
  void clientRect(int& left, int& top, int& right, int& bottom) const override;
  void swapBuffers() override;

 private:
  // The creation and destruction steps' calls. The pointer needs no hiding:
  // the window has the invisible cursor from the start.
  CursorPoint cursorPosition() override { return queryPointer(); }
  void setTitle(const char* title) override;
  RenderSurface& surface() override { return *this; }
  void releaseSurface() override;

  CursorPoint queryPointer() const;
  void bringToFront();
  void postClose();
  bool isAppSwitch(const XFocusChangeEvent& focus) const;
  void releaseWindowResources();

  Display* display_;
  int screen_;
  Window root_;
  Window window_ = None;
  int width_ = 0;
  int height_ = 0;
  GLXFBConfig config_ = nullptr;
  GLXContext context_ = nullptr;
  CurtainScene scene_;
  Colormap colormap_ = None;
  Cursor invisibleCursor_ = None;
  Atom wmProtocols_;
  Atom wmDeleteWindow_;
  Atom netWmName_;
  Atom utf8String_;
};

// Raises and activates another client's window (the existing-window rule).
void bringWindowToFront(Display* display, Window window);
