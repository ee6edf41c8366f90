// Which displays a run of the launcher needs, and what it does without them.
// The launcher is an X client: its settings dialog, the preview and the
// hidden host window with its single-instance look are X windows. A saver
// run needs none of them, though: the renderer draws natively on Wayland and
// tells the launcher over its readiness pipe that it is up. So on a Wayland
// session without X (no XWayland) a saver run goes on without X, and a mode
// that cannot run at all says why instead of ending as if it had worked.
#pragma once

#include <string>

enum class DisplayPlan {
  AsUsual,    // an X display is there (or the mode shows nothing anyway)
  WithoutX,   // a saver run on Wayland alone
  Refuse,     // the mode cannot run: a message on standard error, exit 1
};

struct DisplayChoice {
  DisplayPlan plan = DisplayPlan::AsUsual;
  std::string why;  // for Refuse: one line for standard error
};

// `modeLetter` as command_line.h reads it; `commandLineEmpty` true for the
// empty command line, which runs the saver as /s does. `x11`: an X display
// could be opened; `wayland`: a Wayland compositor answers on the socket
// the renderer would use.
DisplayChoice chooseDisplay(const std::string& modeLetter, bool commandLineEmpty, bool x11,
                            bool wayland);
