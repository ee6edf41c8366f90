// Which idle source to use, from what was found at start.
#pragma once

#include <string>

namespace idle {

enum class SourceKind {
  Mutter,        // org.gnome.Mutter.IdleMonitor on the session bus
  ExtIdle,       // Wayland ext_idle_notifier_v1
  KdeIdle,       // Wayland org_kde_kwin_idle
  X11,           // MIT-SCREEN-SAVER
  XScreenSaver,  // refused: an XScreenSaver daemon owns the screen
  None,          // refused: nothing found
};

struct SourceFacts {
  bool mutterMonitor = false;   // Mutter's idle monitor has an owner on the bus
  bool waylandSession = false;  // WAYLAND_DISPLAY is set
  bool waylandDisplay = false;  // a Wayland display was reached
  bool extIdle = false;
  bool kdeIdle = false;
  bool xDisplay = false;         // an X display was reached
  bool xScreenSaverExtension = false;
  bool xScreenSaverDaemon = false;  // _SCREENSAVER_VERSION on the root window
};

// Mutter first: it is there in GNOME's Wayland and X11 sessions alike, and
// its watches keep gnome-session's inhibits. Then the Wayland protocols, the
// standard one before KDE's older one. X11 last, as on a Wayland session the
// X display is XWayland, which sees no input of native windows. An
// XScreenSaver daemon on the display comes before all of them: it owns the
// screen wherever it runs.
SourceKind chooseSource(const SourceFacts& facts);

// Whether the X display is worth opening: always in an X11 session (the
// daemon check needs it), and in a Wayland session only when no other
// source was found (there the X display is XWayland, which GNOME may start
// just for the one who asks).
bool needX11Facts(const SourceFacts& facts);

// The message for a refusal (XScreenSaver, None); empty for the others.
std::string refusalMessage(SourceKind kind, const SourceFacts& facts);

const char* sourceName(SourceKind kind);

}  // namespace idle
