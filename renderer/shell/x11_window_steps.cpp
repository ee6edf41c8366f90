#include "renderer/shell/x11_window_steps.h"

#include <sys/resource.h>

#include <cerrno>

namespace {

// How much the renderer lowers its scheduling priority. The scheduler shares
// time in proportion to weights, so a small step would barely matter; at 10
// the launcher's timers and music and the rest of the desktop are served
// first while the curtains still get every idle moment. In display mode the
// daemons nice their modes already; the scheduler clamps at the lowest
// priority.
constexpr int kNiceStep = 10;

}  // namespace

void X11WindowSteps::lowerPriority() {
  errno = 0;
  const int priority = getpriority(PRIO_PROCESS, 0);
  // -1 is also a valid priority: only errno tells a failed read.
  if (errno == 0) setpriority(PRIO_PROCESS, 0, priority + kNiceStep);
}
