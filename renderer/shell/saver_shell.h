// What every saver shell (X11, Wayland, Win32) supplies to the one run of a
// saver (saver_run.h): its surfaces, the monitors or outputs a scene is
// drawn on, its event source and its buffer swap. A shell holds no rule of
// the run: when to give way, when the steps run, when a frame is drawn and
// how long to wait are decided by runSaver.
#pragma once

#include <cstdint>
#include <vector>

#include "renderer/curtain/gl_scene.h"
#include "renderer/shell/monitor_layout.h"
#include "renderer/shell/saver_creation.h"

// One place a scene is drawn: a monitor's part of the window, or one output's
// surface. `key` stays the same for as long as that monitor or output is
// there; a changed `rect` (window coordinates) means the scene's size
// changed. `due` is false while the platform is still showing the last frame
// (a Wayland frame callback not yet done).
struct SceneSpot {
  std::uint64_t key = 0;
  ScreenRect rect;
  bool due = true;
};

// The creation and destruction steps' platform calls (SaverWindowSteps) are
// the shell's too; sceneSurface(key) is the GL side of the spot `key`.
class SaverShell : public SaverWindowSteps {
 public:
  // The platform's connection, when it can show a saver at all. False: it
  // cannot, nothing was shown (the caller may try another shell).
  virtual bool connect() = 0;
  // Another saver is up and this one gives way to it (brought to the front
  // where the platform lets it). False by default: no giving way.
  virtual bool anotherSaverUp() { return false; }
  // Makes the window or views, not shown yet. False: no window.
  virtual bool openSurfaces() = 0;
  // Shows what openSurfaces made, once the creation steps ran.
  virtual void show() {}

  // Where scenes are drawn now, in a stable order.
  virtual std::vector<SceneSpot> spots() = 0;
  // Some part of the window belongs to no spot: it is cleared before a
  // frame, never drawn.
  virtual bool hasUncoveredArea() const { return false; }
  // A spot's scene got no GL context: say so (it stays black or empty).
  virtual void reportNoContext(std::uint64_t key) = 0;

  // Handles every event waiting now, without blocking. False once the run
  // is over (the window is gone, the connection lost, an end asked for).
  virtual bool dispatchPending() = 0;
  // Waits up to `micros` for an event or a signal; 0 only yields.
  virtual void wait(std::int64_t micros) = 0;
  // The shell's monotonic clock.
  virtual std::int64_t nowMicros() = 0;
  // After the spots of one turn drew (`drew`: at least one did).
  virtual void present(bool drew) = 0;
  // Destroys what is left of the window and the connection; returns the
  // run's exit code.
  virtual int close() = 0;
};
