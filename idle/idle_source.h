// What every idle source offers the starter, whatever the desktop speaks.
// Sources run in GLib's main loop of the program: they add their own
// descriptors and timers to it and report from its callbacks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace idle {

class IdleEvents {
 public:
  virtual ~IdleEvents() = default;
  virtual void idleReached() = 0;
  virtual void userActive() = 0;
  // The source can no longer report (the compositor or display went away).
  virtual void sourceLost(const std::string& why) = 0;
};

class IdleSource {
 public:
  virtual ~IdleSource() = default;
  // Starts watching anew: idleReached once the user has been idle for `ms`,
  // counted from the later of the last input and this call; after that,
  // userActive at the next input. Reports go on until the next watch().
  virtual void watch(std::uint64_t ms) = 0;
  // A moment at which input has likely come (the saver just ended): a
  // source that learns of input only by asking asks now, so its userActive
  // comes before the starter hears of the end. Sources told of input by
  // their desktop have nothing to do.
  virtual void lookNow() {}
};

}  // namespace idle
