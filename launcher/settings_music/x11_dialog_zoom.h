// The settings dialog's zoom on X11: outlines drawn on the root window with
// XOR, so they leave nothing behind. Nothing is drawn without a display or
// under a compositing manager (which would not show drawing on the root
// window).
#pragma once

#include "launcher/settings_music/dialog_zoom.h"

class Fl_Window;

void ZoomOpen(Fl_Window& window);   // from ZoomPoint out to the window
void ZoomClose(Fl_Window& window);  // from the window back to ZoomPoint
