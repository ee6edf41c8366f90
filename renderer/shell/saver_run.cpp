#include "renderer/shell/saver_run.h"

#include <algorithm>
#include <memory>

namespace {

struct SceneEntry {
  std::uint64_t key = 0;
  ScreenRect rect;
  bool drawing = false;  // the scene got its context
  bool due = false;      // this turn: its spot may take a frame
  std::unique_ptr<CurtainScene> scene = std::make_unique<CurtainScene>();
};

using Scenes = std::vector<std::unique_ptr<SceneEntry>>;

// Brings the scenes in line with the shell's spots: a spot that went loses
// its scene, a spot that changed size reshapes it, a new spot gets a scene
// of its own. The first scenes come with the creation steps; a later one (an
// output plugged in) gets its scene's part of them. Scenes end up in the
// spots' order.
void followSpots(SaverShell& shell, Scenes& scenes, bool& created) {
  const std::vector<SceneSpot> spots = shell.spots();
  Scenes ordered;
  std::vector<SceneEntry*> fresh;
  for (const SceneSpot& spot : spots) {
    auto it = std::find_if(scenes.begin(), scenes.end(), [&](const std::unique_ptr<SceneEntry>& e) {
      return e && e->key == spot.key;
    });
    if (it == scenes.end()) {
      auto entry = std::make_unique<SceneEntry>();
      entry->key = spot.key;
      entry->rect = spot.rect;
      fresh.push_back(entry.get());
      ordered.push_back(std::move(entry));
    } else {
      if (!((*it)->rect == spot.rect)) {
        (*it)->rect = spot.rect;
        (*it)->scene->reshape();
      }
      ordered.push_back(std::move(*it));
    }
    ordered.back()->due = spot.due;
  }
  for (auto& gone : scenes)
    if (gone) gone->scene->release();
  scenes = std::move(ordered);

  if (fresh.empty()) return;
  if (!created) beginCreationSteps(shell);
  for (SceneEntry* entry : fresh) {
    entry->drawing = entry->scene->init(shell.sceneSurface(entry->key));
    if (!entry->drawing) shell.reportNoContext(entry->key);
  }
  if (!created) {
    endCreationSteps();
    created = true;
  }
}

}  // namespace

SaverRunResult runSaver(SaverShell& shell, FramePacer& pacer) {
  SaverRunResult result;
  if (!shell.connect()) return result;
  if (shell.anotherSaverUp()) {
    shell.close();
    result.end = SaverRunEnd::GaveWay;
    result.exitCode = 0;
    return result;
  }
  if (!shell.openSurfaces()) {
    shell.close();
    result.end = SaverRunEnd::NoWindow;
    return result;
  }

  Scenes scenes;
  bool created = false;
  // What happens while the window is being created, before anyone sees it.
  followSpots(shell, scenes, created);
  shell.show();

  while (shell.dispatchPending()) {
    followSpots(shell, scenes, created);
    const std::int64_t slice = pacer.sliceMicros(shell.nowMicros());
    if (slice > 0) {
      shell.wait(slice);
      continue;
    }
    const bool canDraw = saverShellState.rendererReady == 1 &&
                         saverShellState.passwordDialogUp == 0 &&
                         std::any_of(scenes.begin(), scenes.end(),
                                     [](const std::unique_ptr<SceneEntry>& e) {
                                       return e->drawing && e->due;
                                     });
    if (!canDraw) {
      // Nothing to draw: wait for the platform instead of spinning.
      shell.wait(kIdleWaitMicros);
      continue;
    }
    pacer.frameStarted(shell.nowMicros());
    if (shell.hasUncoveredArea()) clearOutsideScenes(shell.surface());
    bool drew = false;
    for (auto& entry : scenes) {
      if (!entry->drawing || !entry->due) continue;
      if (entry->scene->renderIdle(saverShellState.rendererReady, saverShellState.passwordDialogUp))
        drew = true;
    }
    shell.present(drew);
    // Without a cap the next frame follows at once; the rest of the time
    // slice goes to the launcher and its music.
    if (pacer.delayMicros() == 0) shell.wait(0);
  }

  std::vector<CurtainScene*> list;
  for (auto& entry : scenes) list.push_back(entry->scene.get());
  runDestructionSteps(shell, list);
  result.end = SaverRunEnd::Ran;
  result.exitCode = shell.close();
  return result;
}
