// The launcher in display mode (Miravel.scr --root, as a screen-saver daemon
// starts it, one process per monitor): no dialog, no message box and no
// single-instance refusal; the settings as usual; the renderer started as a
// child into the same window with the same options; the music of the
// settings, played only by the launcher that holds the display's music lock
// and never by a preview. It never ends on its own (a daemon restarts a mode
// that ends at once, over and over): a renderer that ends is reported on
// stderr and started again, at most once every few seconds. A session end
// (SIGTERM, SIGINT, SIGHUP, the display gone) stops the music, ends the
// renderer (SIGTERM, then SIGKILL after 2 s) and ends the launcher with 0.
#pragma once

#include <vector>

#include "launcher/core/display_mode_rules.h"
#include "platform/display_mode/display_mode_options.h"

// Loads the host and returns, as the other modes do; ends the launcher when
// there is no display.
void runDisplayModeHost(const display_mode::Options& options);

// The top-level windows of the display, bottom to top, as the unlock-dialog
// rule needs them, `target` marked (launcher/core/x11_top_windows.cpp);
// empty without a display.
std::vector<TopWindowFacts> topWindowFacts(unsigned long target);
