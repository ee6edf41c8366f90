// Which monitors a saver window shows, from what the window system says
// about them. Plain code over descriptions; the X11 shell reads them from
// RandR 1.5 and Xinerama.
#pragma once

#include <vector>

#include "renderer/shell/monitor_layout.h"

struct MonitorListing {
  // The window system's own list of monitors (RandR 1.5), when it answered.
  bool haveMonitors = false;
  std::vector<ScreenRect> monitors;
  // The older list of heads (Xinerama), when that is active.
  bool haveHeads = false;
  std::vector<ScreenRect> heads;
  // The whole screen.
  ScreenRect screen;
};

// The monitors, else the heads, else the whole screen; a list whose entries
// all lack an area counts as no answer. Heads that cover more of the screen
// than the monitors win over them: a server that joins several screens with
// Xinerama may answer RandR for its first screen alone. A monitor that wholly holds another
// listed one is left out: it is an output split into smaller monitors, which
// each show a picture of their own (RandR keeps an output's own monitor
// beside the ones set on parts of it).
std::vector<ScreenRect> chooseMonitors(const MonitorListing& listing);
