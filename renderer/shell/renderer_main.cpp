// Miravel.dll: the full-screen renderer. It opens one window titled
// "KelvaraVC" and draws the light curtains until the user returns, then ends
// with exit code 0. With a display-mode option (-root, -window-id) it draws
// into a screen-saver daemon's window instead; every other command line is
// ignored.
#include <poll.h>
#include <sched.h>
#include <signal.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/display_mode/display_mode_options.h"
#include "platform/process/ready_pipe.h"
#include "platform/x11/x11_util.h"
#include "renderer/shell/run_lock.h"
#include "renderer/shell/shell_choice.h"
#include "renderer/shell/wayland_saver.h"
#include "renderer/shell/x11_display_mode.h"
#include "renderer/shell/x11_saver.h"
#include "renderer/shell/x11_window_steps.h"

namespace {

// Every waiting event is handled before the next frame; a frame is drawn
// only when none waits. No frame-rate cap: motion is scaled by the measured
// step, so the animation's speed does not depend on how often we draw.
void runLoop(Display* display, X11Saver& saver) {
  while (saver.alive()) {
    if (endRequested()) {
      saver.destroy();
      break;
    }
    if (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      saver.dispatch(event);
      continue;
    }
    if (saver.renderIdle()) {
      sched_yield();
    } else {
      // Nothing to draw (no GL context): wait for events instead of spinning.
      pollfd fd{ConnectionNumber(display), POLLIN, 0};
      poll(&fd, 1, 100);
    }
  }
}

int rendererMain() {
  installEndSignals(false);
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "Miravel.dll: cannot open the X display\n");
    return 1;
  }
  platform::installXErrorHandler();

  // Another saver window still being set up (its first title) takes
  // precedence: bring it forward and leave without a window of our own.
  Window existing = platform::findTopLevelWindow(display, "Screensaver", "WindowsScreenSaverClass");
  if (existing != None) {
    bringWindowToFront(display, existing);
    XCloseDisplay(display);
    return 0;
  }

  int exitCode = 0;
  {
    X11Saver saver(display);
    if (saver.create())
      runLoop(display, saver);
    else
      exitCode = 1;
  }
  XCloseDisplay(display);
  return exitCode;
}

// A standalone run: one saver per user at a time, drawn natively on a
// Wayland desktop, else on X11.
int standaloneMain() {
  platform::takeReadyPipeFromEnvironment();
  RunLock lock;
  // Another saver of ours is up already: give way to it.
  if (lock.take(runLockPath(std::getenv("XDG_RUNTIME_DIR"))) == RunLock::Result::HeldByAnother)
    return 0;
  if (preferredShell(std::getenv("MIRAVEL_PLATFORM"), std::getenv("WAYLAND_DISPLAY")) ==
      RendererShell::Wayland) {
    installEndSignals(false);
    int exitCode = 0;
    if (runWaylandSaver(exitCode)) return exitCode;
  }
  return rendererMain();
}

}  // namespace

int main(int argc, char** argv) {
  const display_mode::Options options =
      display_mode::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (options.displayMode) return runDisplayMode(options);
  // Any other command line is ignored: a full-screen run.
  return standaloneMain();
}
