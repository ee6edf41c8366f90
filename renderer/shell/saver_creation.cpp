#include "renderer/shell/saver_creation.h"

#include "renderer/curtain/renderer_settings.h"

bool runCreationSteps(SaverWindowSteps& window, CurtainScene& scene) {
  saverShellState.lastCursor = window.cursorPosition();
  window.hidePointer();
  rendererSettings = fixedRendererSettings();
  // The launcher knows the renderer by this title from now on.
  window.setTitle("KelvaraVC");
  window.lowerPriority();
  const bool drawn = scene.init(window.surface());
  saverShellState.rendererReady = 1;
  return drawn;
}

void runDestructionSteps(SaverWindowSteps& window, CurtainScene& scene) {
  saverShellState.rendererReady = 0;
  scene.release();
  window.releaseSurface();
}
