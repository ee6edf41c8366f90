#include "platform/runtime/timer_state.h"

namespace platform {

void Timer::State::cancel() {
  if (pending == 0) return;
  unschedule();
  pending = 0;
}

void Timer::State::restart() {
  cancel();
  if (wantsTicks()) schedule();
}

void Timer::State::tick() {
  if (ticking) return;
  // The handler may destroy the Timer (and change this state): both the
  // state and the handler are kept until it has returned.
  std::shared_ptr<State> keep = shared_from_this();
  std::function<void()> handler = onTick;
  ticking = true;
  if (handler) handler();
  ticking = false;
}

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
