// The frame loop of both X11 shells (the saver's own window and display
// mode's adopted one): every waiting event is handled before the next frame;
// a frame is drawn only when none waits and the pacer says one is due;
// otherwise a short sliced wait on the X connection, so that an event, a
// signal (endRequested) or the window's end is acted on within one slice.
// Without a delay there is no frame-rate cap: motion is scaled by the
// measured step, so the animation's speed does not depend on how often we
// draw.
#pragma once

#include <X11/Xlib.h>
#include <sched.h>

#include <cstdint>

#include "renderer/shell/frame_pacing.h"
#include "renderer/shell/x11_window_steps.h"

std::int64_t monotonicMicros();
// Waits up to `micros` for the X connection to have something to read (a
// signal ends the wait early).
void waitForXEvents(Display* display, std::int64_t micros);

// `Surface` has alive(), dispatch(XEvent&) and renderIdle() (true when it
// drew). Returns when the surface is gone or an end was requested.
template <class Surface>
void runX11FrameLoop(Display* display, Surface& surface, FramePacer& pacer) {
  while (surface.alive() && !endRequested()) {
    if (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      surface.dispatch(event);
      continue;
    }
    const std::int64_t slice = pacer.sliceMicros(monotonicMicros());
    if (slice > 0) {
      waitForXEvents(display, slice);
      continue;
    }
    pacer.frameStarted(monotonicMicros());
    if (surface.renderIdle()) {
      if (pacer.delayMicros() == 0) sched_yield();
    } else {
      waitForXEvents(display, 100000);  // no GL context: nothing to draw
    }
  }
}
