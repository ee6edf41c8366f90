// KDE's own inhibit list, where the KDE session serves
// org.freedesktop.ScreenSaver and forwards its inhibits to power management.
#pragma once

#include <gio/gio.h>

namespace idle {

// Whether KDE's power management holds an inhibit of the screen's idle
// handling (PolicyAgent HasInhibition(4), ChangeScreenSettings). False when
// it is not on the bus or does not answer in time.
bool kdeInhibits(GDBusConnection* bus);

}  // namespace idle
