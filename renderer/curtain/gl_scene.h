// The renderer's OpenGL scene: set-up once per run, then one frame per idle
// turn of the shell's loop. Knows nothing of the window system: the shell
// hands it a RenderSurface that owns the context and the buffer swap.
#pragma once

#include <memory>
#include <vector>

#include "renderer/curtain/frame_clock.h"
#include "renderer/curtain/light_curtain.h"

class RenderSurface {
 public:
  virtual ~RenderSurface() = default;
  // Creates the rendering context on the window (with the pixel format the
  // shell chose) and makes it current. False when no context could be had.
  virtual bool createContext() = 0;
  // The client area: left, top, right, bottom in pixels.
  virtual void clientRect(int& left, int& top, int& right, int& bottom) const = 0;
  // Shows the back buffer.
  virtual void swapBuffers() = 0;

  // Several scenes may share one context: one per monitor inside one window,
  // or one per output surface. Such a surface says so, makes the context
  // current on itself in makeCurrent, and the scene then sets its own
  // viewport, scissor and projection before every frame, so that no scene
  // draws over another's picture. A surface of its own keeps the defaults.
  virtual bool sharesContext() const { return false; }
  virtual void makeCurrent() {}
  // The height of the drawable that holds the client area: the viewport is
  // given from its lower edge. By default the client area is the drawable.
  virtual int drawableHeight() const;
};

using CurtainList = std::vector<std::unique_ptr<LightCurtain>>;

// The curtain scene of one window (or one monitor's part of it): its surface,
// its front and back curtains and its frame clock. The shell that owns the
// window owns the scene.
class CurtainScene {
 public:
  CurtainScene() = default;
  CurtainScene(const CurtainScene&) = delete;
  CurtainScene& operator=(const CurtainScene&) = delete;

  // Seeds the random generator (the first scene of the process only, so that
  // scenes made in the same second still differ), creates the context, sets
  // view, camera and blending, and builds the front and back curtains.
  // Returns false when the surface gave no context: the curtains then exist
  // but are never drawn.
  bool init(RenderSurface& surface);

  // The loop's idle hook: draws one frame when the renderer is ready, no
  // password dialog is up and a context exists. Returns whether it drew.
  bool renderIdle(int rendererReady, int passwordDialogUp);

  // Clock, curtain updates, clear, back curtains then front curtains, swap.
  void drawFrame();

  // Follows a change of the surface's size: viewport and aspect are taken
  // again from its client area. Nothing without a context.
  void reshape();

  // Destroys both curtain lists and forgets the surface. Call before the
  // context goes away.
  void release();

  // Replaces the frame clock's millisecond source (tests), resetting the
  // clock.
  void setFrameClockSource(MillisSource source);

  const CurtainList& front() const { return front_; }
  const CurtainList& back() const { return back_; }

 private:
  RenderSurface* surface_ = nullptr;
  bool haveContext_ = false;
  FrameClock clock_;
  CurtainList front_;
  CurtainList back_;
};

// Several scenes in one window that do not cover all of it: what lies on no
// scene's part is cleared to black before the scenes draw, as none of them
// draws there. `window` is the whole window's surface.
void clearOutsideScenes(RenderSurface& window);

// One scene for a program that draws a single picture without a shell (the
// preview-picture tool); the same calls as CurtainScene's.
bool initRenderer(RenderSurface& surface);
void drawFrame();
void releaseRenderer();
void setFrameClockSource(MillisSource source);
const CurtainList& frontCurtainList();
const CurtainList& backCurtainList();
