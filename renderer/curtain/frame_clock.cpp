#include "renderer/curtain/frame_clock.h"

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
