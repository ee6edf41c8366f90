// The renderer's display-mode run on X11: the frames go into the target
// window until a signal (SIGTERM, SIGINT, SIGHUP), the target's destruction
// or the loss of the display ends it, each with exit code 0. Input is never
// looked at: the daemon that owns the window decides when the run ends.
#pragma once

#include "platform/display_mode/display_mode_options.h"

// Returns the exit code: 0 for every end above, 1 when the display cannot be
// opened or the target window does not exist.
int runDisplayMode(const display_mode::Options& options);
