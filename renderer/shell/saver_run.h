// The one rule of a saver run, whatever the platform: give way to another
// saver, open the surfaces, run the creation steps (for every scene, also
// the scene of an output that appears later), then loop: every waiting event
// first, a frame when one is due, otherwise a wait on the shell's event
// source; at the end the destruction steps.
#pragma once

#include <cstdint>

#include "renderer/shell/frame_pacing.h"
#include "renderer/shell/saver_shell.h"

// The longest wait while nothing can be drawn (no context, a password dialog
// up, every spot still showing its last frame): short enough for a signal
// that came just before the wait.
constexpr std::int64_t kIdleWaitMicros = 100000;

enum class SaverRunEnd {
  NoPlatform,  // connect() failed: nothing shown
  GaveWay,     // another saver is up: nothing shown, exit code 0
  NoWindow,    // openSurfaces() failed
  Ran,         // the saver ran; the exit code is close()'s
};

struct SaverRunResult {
  SaverRunEnd end = SaverRunEnd::NoPlatform;
  int exitCode = 1;
};

SaverRunResult runSaver(SaverShell& shell, FramePacer& pacer);
