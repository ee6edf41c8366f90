#include "renderer/shell/posix_saver_steps.h"

#include <poll.h>
#include <sched.h>
#include <sys/resource.h>
#include <time.h>

#include <csignal>
#include <cerrno>

#include <signal.h>

namespace {

// How much the renderer lowers its scheduling priority. The scheduler shares
// time in proportion to weights, so a small step would barely matter; at 10
// the launcher's timers and music and the rest of the desktop are served
// first while the curtains still get every idle moment. In display mode the
// daemons nice their modes already; the scheduler clamps at the lowest
// priority.
constexpr int kNiceStep = 10;

volatile std::sig_atomic_t g_endRequested = 0;

extern "C" void requestEnd(int) { g_endRequested = 1; }

}  // namespace

void lowerProcessPriority() {
  errno = 0;
  const int priority = getpriority(PRIO_PROCESS, 0);
  // -1 is also a valid priority: only errno tells a failed read.
  if (errno == 0) setpriority(PRIO_PROCESS, 0, priority + kNiceStep);
}

void installEndSignals(bool hangupToo) {
  struct sigaction action {};
  action.sa_handler = requestEnd;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  if (hangupToo) sigaction(SIGHUP, &action, nullptr);
}

bool endRequested() { return g_endRequested != 0; }

std::int64_t monotonicMicros() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

void waitForReadable(int fd, std::int64_t micros) {
  if (micros <= 0) {
    sched_yield();
    return;
  }
  pollfd poll{fd, POLLIN, 0};
  timespec timeout{static_cast<time_t>(micros / 1000000),
                   static_cast<long>((micros % 1000000) * 1000)};
  ppoll(&poll, 1, &timeout, nullptr);
}
