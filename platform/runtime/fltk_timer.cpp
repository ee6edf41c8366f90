// Window timers on FLTK timeouts.
#include <FL/Fl.H>

#include "platform/runtime/fltk_runtime.h"
#include "platform/runtime/timer_state.h"

namespace platform {
namespace {

void fire(void* data) {
  auto* state = static_cast<Timer::State*>(data);
  state->pending = 0;
  std::shared_ptr<Timer::State> keep = state->shared_from_this();
  state->tick();
  // The next tick one interval after this one was due, so the cadence does
  // not drift with the handler's own time (unless the tick restarted it).
  if (state->pending == 0 && state->wantsTicks()) {
    Fl::repeat_timeout(state->interval / 1000.0, fire, state);
    state->pending = 1;
  }
}

}  // namespace

void Timer::State::schedule() {
  Fl::add_timeout(interval / 1000.0, fire, this);
  pending = 1;
}

void Timer::State::unschedule() { Fl::remove_timeout(fire, this); }

}  // namespace platform
