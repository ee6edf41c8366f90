// What a Timer shares with its pending system timer, so that a timer
// destroyed inside its own tick stays valid until the tick has returned.
// The rules (when it ticks, a tick never inside the same timer's previous
// one, a new full interval on every change) are in timer.cpp; each
// platform's timer file only starts and stops its system's timer.
#ifndef MIRAVEL_PLATFORM_RUNTIME_TIMER_STATE_H
#define MIRAVEL_PLATFORM_RUNTIME_TIMER_STATE_H

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/runtime/runtime.h"

namespace platform {

struct Timer::State : std::enable_shared_from_this<Timer::State> {
  unsigned interval = 0;
  bool enabled = false;
  std::function<void()> onTick;
  std::uintptr_t pending = 0;  // the system's timer for this one, 0 when none
  bool ticking = false;        // the tick handler is running
  bool alive = true;           // the Timer object still exists

  bool wantsTicks() const { return alive && enabled && interval > 0; }

  // Stops the pending system timer, if any.
  void cancel();
  // Starts a new full interval (or stops the timer).
  void restart();
  // Runs the handler for a tick the system timer delivered, unless the
  // previous tick is still running (a nested event loop inside it): that
  // tick is dropped.
  void tick();

  // The platform's part: start the system's timer for one interval and set
  // `pending`; stop the pending one.
  void schedule();
  void unschedule();
};

}  // namespace platform

#endif
