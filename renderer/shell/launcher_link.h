// A renderer started by a display-mode launcher never outlives it. The
// launcher names itself in the environment (kLauncherPidVariable); the
// renderer asks the kernel for SIGKILL when its parent ends, then checks that
// its parent is still that launcher, since one that ended just before would
// never send the signal. A SIGKILL also ends a renderer the launcher had
// stopped. Without the variable (a run of its own, a daemon's start) nothing
// changes.
#pragma once

// Call first thing in main(). Ends the process at once, with 0, when the
// launcher named is already gone. The variable is dropped either way, so
// nothing the renderer might start inherits it.
void endWithLauncher();
