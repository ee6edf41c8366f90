#include "renderer/shell/saver_creation.h"

#include "platform/names/program_names.h"
#include "renderer/curtain/renderer_settings.h"

bool runCreationSteps(SaverWindowSteps& window, const std::vector<CurtainScene*>& scenes) {
  saverShellState.lastCursor = window.cursorPosition();
  window.hidePointer();
  rendererSettings = fixedRendererSettings();
  // The launcher knows the renderer by this title from now on.
  window.setTitle(names::kRendererTitle);
  window.lowerPriority();
  bool drawn = !scenes.empty();
  for (std::size_t i = 0; i < scenes.size(); ++i) {
    if (!scenes[i]->init(window.sceneSurface(i))) drawn = false;
  }
  saverShellState.rendererReady = 1;
  return drawn;
}

bool runCreationSteps(SaverWindowSteps& window, CurtainScene& scene) {
  return runCreationSteps(window, std::vector<CurtainScene*>{&scene});
}

void runDestructionSteps(SaverWindowSteps& window, const std::vector<CurtainScene*>& scenes) {
  saverShellState.rendererReady = 0;
  for (CurtainScene* scene : scenes) scene->release();
  window.releaseSurface();
}

void runDestructionSteps(SaverWindowSteps& window, CurtainScene& scene) {
  runDestructionSteps(window, std::vector<CurtainScene*>{&scene});
}
