// Frame pacing of display mode: at least `delay` microseconds from one
// frame's start to the next, waited for in short slices so that events and
// signals are served meanwhile. Screen-saver daemons leave pacing to the
// program, and software GL under a virtual server honours no swap interval.
#pragma once

#include <cstdint>

class FramePacer {
 public:
  // The longest single wait, so that a signal or an event never waits long.
  static constexpr std::int64_t kSliceMicros = 10000;

  // 0 means no cap: every turn of the loop may draw.
  explicit FramePacer(long delayMicros) : delay_(delayMicros > 0 ? delayMicros : 0) {}

  // How long to wait now before the next frame may start: 0 when it is due.
  // A frame that took longer than the delay makes the next one due at once,
  // without trying to catch up; a clock that went backwards counts as due.
  std::int64_t waitMicros(std::int64_t nowMicros) const;

  // waitMicros, cut to one slice.
  std::int64_t sliceMicros(std::int64_t nowMicros) const;

  void frameStarted(std::int64_t nowMicros) {
    lastStart_ = nowMicros;
    started_ = true;
  }

  long delayMicros() const { return delay_; }

 private:
  long delay_;
  bool started_ = false;
  std::int64_t lastStart_ = 0;
};
