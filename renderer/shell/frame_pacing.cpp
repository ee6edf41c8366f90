#include "renderer/shell/frame_pacing.h"

std::int64_t FramePacer::waitMicros(std::int64_t nowMicros) const {
  if (!started_ || delay_ == 0 || nowMicros < lastStart_) return 0;
  const std::int64_t due = lastStart_ + delay_;
  return nowMicros >= due ? 0 : due - nowMicros;
}

std::int64_t FramePacer::sliceMicros(std::int64_t nowMicros) const {
  const std::int64_t wait = waitMicros(nowMicros);
  return wait < kSliceMicros ? wait : kSliceMicros;
}
