#include "idle/idle_starter.h"

namespace idle {

Step IdleStarter::begin() {
  state_ = State::Watching;
  activeDuringSaver_ = false;
  return Step::Arm;
}

Step IdleStarter::idleReached(bool desktopInhibits) {
  if (state_ != State::Watching) return Step::Nothing;
  if (inhibited_) {
    state_ = State::HeldOff;
    return Step::Nothing;
  }
  if (desktopInhibits) return Step::Arm;
  state_ = State::SaverRunning;
  activeDuringSaver_ = false;
  return Step::StartSaver;
}

Step IdleStarter::userActive() {
  switch (state_) {
    case State::SaverRunning:
      activeDuringSaver_ = true;
      return Step::Nothing;
    case State::WaitingForUser:
      state_ = State::Watching;
      return Step::Arm;
    case State::HeldOff:
      // Still inhibited: the release re-arms.
    case State::Watching:
      return Step::Nothing;
  }
  return Step::Nothing;
}

Step IdleStarter::inhibitsChanged(bool held) {
  const bool released = inhibited_ && !held;
  inhibited_ = held;
  if (released && state_ == State::HeldOff) {
    state_ = State::Watching;
    return Step::Arm;
  }
  return Step::Nothing;
}

Step IdleStarter::saverEnded() {
  if (state_ != State::SaverRunning) return Step::Nothing;
  if (activeDuringSaver_) {
    state_ = State::Watching;
    return Step::Arm;
  }
  state_ = State::WaitingForUser;
  return Step::Nothing;
}

}  // namespace idle
