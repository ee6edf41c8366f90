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
};

// Seeds the random generator, creates the context, sets view, camera and
// blending, and builds the front and back curtains. Returns false when the
// surface gave no context: the curtains then exist but are never drawn.
bool initRenderer(RenderSurface& surface);

// The loop's idle hook: draws one frame when the renderer is ready, no
// password dialog is up and a context exists. Returns whether it drew.
bool renderIdle(int rendererReady, int passwordDialogUp);

// Clock, curtain updates, clear, back curtains then front curtains, swap.
void drawFrame();

// Follows a change of the surface's size: viewport and aspect are taken
// again from its client area. Nothing without a context.
void reshapeRenderer();

// Destroys both curtain lists and forgets the surface. Call before the
// context goes away.
void releaseRenderer();

// Replaces the frame clock's millisecond source (tests), resetting the clock.
void setFrameClockSource(MillisSource source);

const std::vector<std::unique_ptr<LightCurtain>>& frontCurtainList();
const std::vector<std::unique_ptr<LightCurtain>>& backCurtainList();
