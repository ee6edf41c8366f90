#include "renderer/shell/launcher_link.h"

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/display_mode/display_mode_options.h"

void endWithLauncher() {
  const char* value = std::getenv(display_mode::kLauncherPidVariable);
  if (!value) return;
  // The signal first, then the look at the parent: a launcher that ends
  // after the look is caught by the signal, one that ended before by the look.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  const display_mode::LauncherLink link = display_mode::launcherLink(value, getppid());
  unsetenv(display_mode::kLauncherPidVariable);
  if (link == display_mode::LauncherLink::Gone) _exit(0);
  // A value that names no pid was not set by the launcher.
  if (link == display_mode::LauncherLink::NoLauncher) prctl(PR_SET_PDEATHSIG, 0);
}
