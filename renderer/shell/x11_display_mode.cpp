#include "renderer/shell/x11_display_mode.h"

#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "platform/x11/x11_util.h"
#include "renderer/shell/frame_pacing.h"
#include "renderer/shell/x11_adopted_window.h"
#include "renderer/shell/x11_window_steps.h"

namespace {

// The daemon went away with its display: nothing is left to draw on or to
// release, and Xlib ends the process if this returns.
int onDisplayLost(Display*) { _exit(0); }

std::int64_t nowMicros() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

// Waits up to `micros` for the X connection to have something to read.
void waitForEvents(Display* display, std::int64_t micros) {
  pollfd fd{ConnectionNumber(display), POLLIN, 0};
  timespec timeout{static_cast<time_t>(micros / 1000000),
                   static_cast<long>((micros % 1000000) * 1000)};
  ppoll(&fd, 1, &timeout, nullptr);
}

// Events first; a frame when one is due; otherwise a short sliced wait, so a
// signal or the target's end is acted on within one slice.
void runLoop(Display* display, X11AdoptedWindow& surface, FramePacer& pacer) {
  while (!endRequested() && surface.alive()) {
    if (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      surface.dispatch(event);
      continue;
    }
    const std::int64_t slice = pacer.sliceMicros(nowMicros());
    if (slice > 0) {
      waitForEvents(display, slice);
      continue;
    }
    pacer.frameStarted(nowMicros());
    if (surface.renderIdle()) {
      if (pacer.delayMicros() == 0) sched_yield();
    } else {
      waitForEvents(display, 100000);  // no context: nothing to draw
    }
  }
}

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
      runLoop(display, surface, pacer);
    } else {
      std::fprintf(stderr, "Miravel.dll: there is no window 0x%lx to draw into\n",
                   static_cast<unsigned long>(target));
      exitCode = 1;
    }
  }
  XCloseDisplay(display);
  return exitCode;
}
