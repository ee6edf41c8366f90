// Display mode on X11 with GLX: drawing into a window somebody else made (a
// screen-saver daemon's, a settings preview's pane, or the root window).
// Nothing about the window is ours: the GL context is made for its own
// visual, and it is never mapped, raised, focused, grabbed, given a cursor
// or destroyed. Only its size and its end are followed.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include "renderer/curtain/gl_scene.h"
#include "renderer/shell/x11_window_steps.h"

class X11AdoptedWindow : public RenderSurface, private X11WindowSteps {
 public:
  X11AdoptedWindow(Display* display, Window target);
  ~X11AdoptedWindow() override;
  X11AdoptedWindow(const X11AdoptedWindow&) = delete;
  X11AdoptedWindow& operator=(const X11AdoptedWindow&) = delete;

  // Reads the window's size, screen and visual, and asks to hear of its
  // resizing and destruction (structure events only: the input events of
  // another client's window are that client's). False when it does not
  // exist.
  bool adopt();

  // The creation steps: settings, lower priority, GL scene, rendererReady;
  // the window's pointer and title stay as they are. A window whose visual
  // has no usable config stays black.
  void start();

  // Follows the target's size and notices its destruction.
  void dispatch(const XEvent& event);

  bool alive() const { return alive_; }

  // The loop's idle hook: one frame of the scene when one may be drawn.
  // Returns whether it drew.
  bool renderIdle();

  // Releases the curtains and the context; the window is left as it is.
  void release();

  // RenderSurface
  bool createContext() override;
  void clientRect(int& left, int& top, int& right, int& bottom) const override;
  void swapBuffers() override;

 private:
  // The creation and destruction steps' calls; the pointer and title calls
  // keep their defaults, which leave the window alone.
  RenderSurface& surface() override { return *this; }
  void releaseSurface() override;

  Display* display_;
  Window target_;
  bool alive_ = false;
  int screen_ = 0;
  VisualID visual_ = 0;
  int width_ = 0;
  int height_ = 0;
  GLXFBConfig config_ = nullptr;
  GLXContext context_ = nullptr;
  CurtainScene scene_;
};
