// Window timers on SetTimer: thread timers whose ticks arrive as WM_TIMER
// through the launcher's message loop.
#include <map>

#include "platform/runtime/timer_state.h"
#include "platform/runtime/win32_runtime.h"

namespace platform {
namespace {

std::map<UINT_PTR, std::weak_ptr<Timer::State>>& timersById() {
  static std::map<UINT_PTR, std::weak_ptr<Timer::State>> timers;
  return timers;
}

void CALLBACK fire(HWND, UINT, UINT_PTR id, DWORD) {
  auto found = timersById().find(id);
  if (found == timersById().end()) return;
  if (std::shared_ptr<Timer::State> state = found->second.lock()) state->tick();
}

}  // namespace

void Timer::State::schedule() {
  const UINT_PTR id = SetTimer(nullptr, 0, interval, fire);
  if (id == 0) return;
  timersById()[id] = weak_from_this();
  pending = id;
}

void Timer::State::unschedule() {
  KillTimer(nullptr, pending);
  timersById().erase(pending);
}

}  // namespace platform
