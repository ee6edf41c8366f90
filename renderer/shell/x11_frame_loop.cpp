#include "renderer/shell/x11_frame_loop.h"

#include <poll.h>
#include <time.h>

std::int64_t monotonicMicros() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

void waitForXEvents(Display* display, std::int64_t micros) {
  pollfd fd{ConnectionNumber(display), POLLIN, 0};
  timespec timeout{static_cast<time_t>(micros / 1000000),
                   static_cast<long>((micros % 1000000) * 1000)};
  ppoll(&fd, 1, &timeout, nullptr);
}
