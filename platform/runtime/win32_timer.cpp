// Window timers on SetTimer: thread timers whose ticks arrive as WM_TIMER
// through the launcher's message loop.
#include "platform/runtime/win32_runtime.h"

#include <map>

namespace platform {
namespace {

std::map<UINT_PTR, std::weak_ptr<Timer::State>>& timersById() {
  static std::map<UINT_PTR, std::weak_ptr<Timer::State>> timers;
  return timers;
}

}  // namespace

struct Timer::State : std::enable_shared_from_this<Timer::State> {
  unsigned interval = 0;
  bool enabled = false;
  std::function<void()> onTick;
  UINT_PTR id = 0;       // the running system timer, 0 when none
  bool ticking = false;  // the tick handler is running
  bool alive = true;     // the Timer object still exists

  bool wantsTicks() const { return alive && enabled && interval > 0; }

  void cancel() {
    if (id == 0) return;
    KillTimer(nullptr, id);
    timersById().erase(id);
    id = 0;
  }

  // Starts a new full interval (or stops the timer).
  void restart() {
    cancel();
    if (!wantsTicks()) return;
    id = SetTimer(nullptr, 0, interval, fire);
    if (id != 0) timersById()[id] = weak_from_this();
  }

  static void CALLBACK fire(HWND, UINT, UINT_PTR id, DWORD) {
    auto found = timersById().find(id);
    if (found == timersById().end()) return;
    std::shared_ptr<State> state = found->second.lock();
    // A tick that comes while the previous one still runs (a nested loop
    // inside it) is dropped.
    if (!state || state->ticking) return;
    state->ticking = true;
    std::function<void()> handler = state->onTick;
    if (handler) handler();
    state->ticking = false;
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
