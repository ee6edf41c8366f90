// Window timers on FLTK timeouts.
#include "platform/runtime/fltk_runtime.h"

#include <FL/Fl.H>

namespace platform {

// Shared between the Timer and its pending FLTK timeout, so that a timer
// destroyed inside its own tick stays valid until the tick has returned.
struct Timer::State : std::enable_shared_from_this<Timer::State> {
  unsigned interval = 0;
  bool enabled = false;
  std::function<void()> onTick;
  bool scheduled = false;  // an FLTK timeout for this timer is pending
  bool ticking = false;    // the tick handler is running
  bool alive = true;       // the Timer object still exists

  bool wantsTicks() const { return alive && enabled && interval > 0; }

  void cancel() {
    if (!scheduled) return;
    Fl::remove_timeout(fire, this);
    scheduled = false;
  }

  // Starts a new full interval (or stops the timer).
  void restart() {
    cancel();
    if (!wantsTicks()) return;
    Fl::add_timeout(interval / 1000.0, fire, this);
    scheduled = true;
  }

  // From inside the timeout: the next tick one interval after this one was
  // due, so the cadence does not drift with the handler's own time.
  void repeat() {
    if (scheduled || !wantsTicks()) return;
    Fl::repeat_timeout(interval / 1000.0, fire, this);
    scheduled = true;
  }

  static void fire(void* data) {
    State* state = static_cast<State*>(data);
    state->scheduled = false;
    std::shared_ptr<State> keep = state->shared_from_this();
    if (state->ticking) {
      // The previous tick runs a nested event loop: drop this one.
      state->repeat();
      return;
    }
    state->ticking = true;
    std::function<void()> handler = state->onTick;
    if (handler) handler();
    state->ticking = false;
    state->repeat();
  }
};

Timer::Timer(unsigned intervalMs, bool enabled, std::function<void()> onTick)
    : state_(std::make_shared<State>()) {
  state_->interval = intervalMs;
  state_->enabled = enabled;
  state_->onTick = std::move(onTick);
  state_->restart();
}

Timer::~Timer() {
  state_->alive = false;
  state_->cancel();
}

void Timer::setOnTick(std::function<void()> onTick) { state_->onTick = std::move(onTick); }

void Timer::setInterval(unsigned intervalMs) {
  state_->interval = intervalMs;
  state_->restart();
}

unsigned Timer::interval() const { return state_->interval; }

void Timer::setEnabled(bool enabled) {
  if (state_->enabled == enabled) return;
  state_->enabled = enabled;
  state_->restart();
}

bool Timer::enabled() const { return state_->enabled; }

}  // namespace platform
