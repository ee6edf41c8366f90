#include "renderer/shell/x11_display_mode.h"

#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "platform/x11/x11_util.h"
#include "renderer/shell/frame_pacing.h"
#include "renderer/shell/x11_adopted_window.h"
#include "renderer/shell/x11_frame_loop.h"
#include "renderer/shell/x11_window_steps.h"

namespace {

// The daemon went away with its display: nothing is left to draw on or to
// release, and Xlib ends the process if this returns.
int onDisplayLost(Display*) { _exit(0); }

}  // namespace

int runDisplayMode(const display_mode::Options& options) {
  installEndSignals(true);
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "Miravel.dll: cannot open the X display\n");
    return 1;
  }
  platform::installXErrorHandler();
  XSetIOErrorHandler(onDisplayLost);

  const Window target = display_mode::targetWindow(options, std::getenv("XSCREENSAVER_WINDOW"),
                                                   DefaultRootWindow(display));
  int exitCode = 0;
  {
    X11AdoptedWindow surface(display, target);
    if (surface.adopt()) {
      surface.start();
      FramePacer pacer(options.delayMicros);
      runX11FrameLoop(display, surface, pacer);
    } else {
      std::fprintf(stderr, "Miravel.dll: there is no window 0x%lx to draw into\n",
                   static_cast<unsigned long>(target));
      exitCode = 1;
    }
  }
  XCloseDisplay(display);
  return exitCode;
}
