// The frame clock: unsigned 32-bit milliseconds from the system's millisecond
// counter (each platform supplies monotonicMillis in a file of its own). The
// reading wraps after about 49.7 days; a frame that sees the counter go
// backwards reuses the previous step instead of taking a negative one.
#pragma once

#include <cstdint>
#include <functional>

using MillisSource = std::function<std::uint32_t()>;

// The platform's monotonic millisecond counter, truncated to 32 bits:
// CLOCK_MONOTONIC on POSIX, timeGetTime on Windows.
std::uint32_t monotonicMillis();

class FrameClock {
 public:
  explicit FrameClock(MillisSource source = monotonicMillis) : source_(std::move(source)) {}

  // Takes a new reading and returns the step since the last one in seconds,
  // or previousStep when the counter wrapped. The first call reads twice, so
  // its step is the time between two back-to-back readings.
  float tick(float previousStep);

  std::uint32_t lastMillis() const { return lastMillis_; }
  std::uint32_t nowMillis() const { return nowMillis_; }

 private:
  MillisSource source_;
  bool started_ = false;
  std::uint32_t lastMillis_ = 0;
  std::uint32_t nowMillis_ = 0;
};
