#include "renderer/shell/x11_display_mode.h"

#include "renderer/shell/frame_pacing.h"
#include "renderer/shell/posix_saver_steps.h"
#include "renderer/shell/saver_run.h"
#include "renderer/shell/x11_saver.h"

int runDisplayMode(const display_mode::Options& options) {
  installEndSignals(true);
  X11Shell shell(&options);
  FramePacer pacer(options.delayMicros);
  return runSaver(shell, pacer).exitCode;
}
