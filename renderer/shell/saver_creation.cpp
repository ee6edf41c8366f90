#include "renderer/shell/saver_creation.h"

#include "renderer/curtain/renderer_settings.h"

bool runCreationSteps(SaverWindowSteps& window) {
  saverShellState.lastCursor = window.cursorPosition();
  window.hidePointer();
  rendererSettings = fixedRendererSettings();
  // The launcher knows the renderer by this title from now on.
  window.setTitle("KelvaraVC");
  window.lowerPriority();
  const bool drawn = initRenderer(window.surface());
  saverShellState.rendererReady = 1;
  return drawn;
}

void runDestructionSteps(SaverWindowSteps& window) {
  saverShellState.rendererReady = 0;
  releaseRenderer();
  window.releaseSurface();
}
