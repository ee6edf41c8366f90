#include "renderer/curtain/frame_clock.h"

#include <time.h>

std::uint32_t monotonicMillis() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                     static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

float FrameClock::tick(float previousStep) {
  if (!started_) {
    nowMillis_ = source_();
    started_ = true;
  }
  lastMillis_ = nowMillis_;
  nowMillis_ = source_();
  if (nowMillis_ >= lastMillis_) return static_cast<float>((nowMillis_ - lastMillis_) * 0.001);
  return previousStep;
}
