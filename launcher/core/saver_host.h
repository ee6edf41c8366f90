// Kelvara_S, the hidden host of a saver run. It starts the renderer and the
// background music, watches for the renderer's window titled "KelvaraVC"
// every 50 ms, and when that window is gone stops the music, shows the
// pointer again (runs started with /s) and ends the launcher.
//
// The host's rules are plain code: the platform (window, program start,
// window search, pointer, timers, process end) sits behind the small
// interface below and the music behind saver_music.h's, so tests can drive a
// whole run and record what it did. loadSaverHost() (modes.h) loads the host with the real ones.
#pragma once

#include "launcher/core/saver_music.h"
#include "platform/names/program_names.h"
#include "platform/runtime/runtime.h"

#include <functional>
#include <memory>
#include <string>

// The title of the host's window: the marker of a running saver.
inline constexpr const char* kSaverHostCaption = names::kSaverHostCaption;
// The title the renderer gives its full-screen window.
inline constexpr const char* kRendererWindowTitle = names::kRendererTitle;

// What a run needs from the platform.
class SaverPlatform : public HostTimers {
 public:
  // A display the renderer can show on: X, or Wayland where it draws
  // natively (the host window and the pointer then have no X to live on).
  virtual bool hasDisplay() = 0;
  // The never-shown top-level window titled `caption`.
  virtual void createHostWindow(const std::string& caption) = 0;
  virtual std::string programFolder() = 0;
  // Starts the renderer with nothing on its command line; returns once its
  // window is up or it has ended (bounded), so the first watch finds the
  // window of a renderer that is merely slow to start. False when its window
  // did not come up: it could not be started, ended, or took too long.
  virtual bool startRenderer(const std::string& path) = 0;
  // The renderer this run started is still there: its process has not ended
  // and its own window titled "KelvaraVC" exists. Another program's window
  // of that title does not count. Where no client can see another's windows
  // (Wayland), the renderer's own word that it is up and its process stand
  // in for the window.
  virtual bool rendererWindowExists() = 0;
  // The pointer display count (ShowCursor): returns the new count.
  virtual int showCursor(bool show) = 0;
  // Ends the launcher process at once (returns only in tests).
  virtual void endLauncher() = 0;
};

class Kelvara_S : public platform::Form {
 public:
  Kelvara_S(SaverPlatform& platform, SaverMusic& music);

  // Null before the host is loaded.
  HostTimer* Timer1() { return music_.Timer1(); }  // MP3 watch, 1000 ms
  HostTimer* Timer2() { return music_.Timer2(); }  // CD watch, 200 ms
  HostTimer* Timer3() { return timer3_.get(); }  // renderer watch, 50 ms
  const std::string& rendererPath() const { return rendererPath_; }

 protected:
  // Builds the window and the timers, starts the renderer, then the music.
  void onLoad() override;
  // Stops the music, shows the pointer again in mode "S", ends the launcher.
  // Runs for every unload: the renderer watch's and a session's end.
  void onQueryUnload() override;

 private:
  void Timer3_Timer();

  SaverPlatform& platform_;
  RunMusic music_;
  std::unique_ptr<HostTimer> timer3_;
  std::string rendererPath_;
};

// The real services: the launcher's runtime, X11 and program start.
SaverPlatform& launcherSaverPlatform();
