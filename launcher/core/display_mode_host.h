// The launcher in display mode (Miravel.scr --root, as a screen-saver daemon
// starts it, one process per monitor): no dialog, no message box and no
// single-instance refusal; the settings as usual; the renderer started as a
// child into the same window with the same options; the music of the
// settings, played only by the launcher that holds the display's music lock
// (the others ask for it several times a second, so the music goes on while
// any monitor shows curtains) and never by a preview. While its window lives
// it never ends on its own (a daemon restarts a mode that ends at once, over
// and over): a renderer that ends is reported on stderr and started again,
// at most once every few seconds. The end of its window, or a session end
// (SIGTERM, SIGINT, SIGHUP, the display gone), stops the music, ends the
// renderer (SIGTERM, then SIGKILL after 0.4 s) and ends the launcher with 0.
// However the launcher itself ends, its renderer ends with it.
#pragma once

#include <vector>

#include "launcher/core/display_mode_rules.h"
#include "platform/display_mode/display_mode_options.h"

// Loads the host and returns, as the other modes do. Ends the launcher at
// once: with 2 on a -window-id that is no window number, with 0 when there
// is no display or the target window does not exist.
void runDisplayModeHost(const display_mode::Options& options);

// The top-level windows of the display, bottom to top, as the unlock-dialog
// rule needs them, `target` marked (launcher/core/x11_top_windows.cpp);
// empty without a display.
std::vector<TopWindowFacts> topWindowFacts(unsigned long target);

// The display's root window; 0 without a display.
unsigned long rootWindow();

// The window `id` exists (mapped or not); false without a display.
bool windowExists(unsigned long id);
