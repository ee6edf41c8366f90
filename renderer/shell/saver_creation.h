// What happens while the saver window is being created and destroyed, the
// same on every platform and in display mode: each shell supplies the few
// platform calls through SaverWindowSteps and runs these at the matching
// moments.
#pragma once

#include <cstddef>
#include <vector>

#include "renderer/curtain/gl_scene.h"
#include "renderer/shell/saver_shell_state.h"

// The pointer and title calls do nothing by default: a window that belongs
// to somebody else (display mode) keeps its pointer and its title, and the
// pointer reference stays where it is.
class SaverWindowSteps {
 public:
  virtual ~SaverWindowSteps() = default;
  virtual CursorPoint cursorPosition() { return saverShellState.lastCursor; }
  virtual void hidePointer() {}
  virtual void setTitle(const char* /*title*/) {}
  // The launcher's timers and music come before the drawing.
  virtual void lowerPriority() = 0;
  // The window's GL side, handed to the scene.
  virtual RenderSurface& surface() = 0;
  // The GL side of scene `index` when the window shows several (one per
  // monitor, sharing the window's context); by default the one surface.
  virtual RenderSurface& sceneSurface(std::size_t /*index*/) { return surface(); }
  // Unbinds and deletes the context, releases the device context.
  virtual void releaseSurface() = 0;
};

// The steps before any scene: pointer position, hidden pointer, the fixed
// settings, the title "KelvaraVC", the lower priority. Then each scene's
// init on its surface, and endCreationSteps: rendererReady is 1.
void beginCreationSteps(SaverWindowSteps& window);
void endCreationSteps();

// Pointer position, hidden pointer, the fixed settings, the title
// "KelvaraVC", the lower priority, the window's scene; then rendererReady
// is 1. Returns what the scene's init returned (false: no GL context).
bool runCreationSteps(SaverWindowSteps& window, CurtainScene& scene);
// The same for a window with several scenes: the steps once, then each scene
// on its own surface. True when every scene got its context.
bool runCreationSteps(SaverWindowSteps& window, const std::vector<CurtainScene*>& scenes);

// rendererReady cleared first, so no frame is drawn from here on; then both
// curtain lists, and the window's GL side.
void runDestructionSteps(SaverWindowSteps& window, CurtainScene& scene);
void runDestructionSteps(SaverWindowSteps& window, const std::vector<CurtainScene*>& scenes);
