// The saver host's rules: what a run starts, watches and stops.
#include "launcher/core/saver_host.h"

#include "launcher/core/launcher.h"

namespace {

constexpr unsigned kRendererWatchMs = 50;

}  // namespace

Kelvara_S::Kelvara_S(SaverPlatform& platform, SaverMusic& music)
    : platform_(platform), music_(music) {}

void Kelvara_S::onLoad() {
  // The window and its timers, as they are when the form is loaded.
  platform_.createHostWindow(kSaverHostCaption);
  music_.makeTimers(platform_);
  timer3_ = platform_.makeTimer(kRendererWatchMs, true, [this] { Timer3_Timer(); });

  // Without a display the renderer cannot open its window and nobody could
  // end the run: start neither it nor the music; the first watch ends it.
  if (!platform_.hasDisplay()) return;

  // The renderer is started only out of the launcher's own folder; without
  // it there is nothing to start, and the first watch ends the run.
  const std::string folder = platform_.programFolder();
  if (folder.empty()) return;
  rendererPath_ = platform::pathInFolder(folder, names::kRendererFile);
  // A renderer that could not start gets no music: the first watch ends the
  // run at once.
  if (!platform_.startRenderer(rendererPath_)) return;

  music_.start();
}

void Kelvara_S::Timer3_Timer() {
  if (platform_.rendererWindowExists()) return;
  timer3_->setEnabled(false);
  unload();
}

void Kelvara_S::onQueryUnload() {
  music_.stop();
  // What hiding returned at the start (-1 from a visible pointer) is the show
  // flag: non-zero shows the pointer again.
  if (modeLetter == "S") savedCursorCount = platform_.showCursor(savedCursorCount != 0);
  platform_.endLauncher();
}
