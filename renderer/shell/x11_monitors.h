// The X server's monitors: RandR 1.5's list, else Xinerama's heads, else the
// whole screen (chooseMonitors decides), and the RandR event that says they
// changed.
#pragma once

#include <X11/Xlib.h>

#include "renderer/shell/monitor_listing.h"

class X11Monitors {
 public:
  // Asks which extensions the server has, and to hear of RandR changes on
  // `root`.
  X11Monitors(Display* display, int screen);
  MonitorListing read() const;
  // Whether `event` is RandR's news of a change of the screen or monitors;
  // Xlib's idea of the screen is brought up to date with it.
  bool isChange(XEvent& event) const;

 private:
  Display* display_;
  int screen_;
  Window root_;
  bool randrMonitors_ = false;
  int randrEventBase_ = -1;
  bool xinerama_ = false;
};
