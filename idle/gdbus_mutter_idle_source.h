// GNOME's idle source: Mutter's org.gnome.Mutter.IdleMonitor on the session
// bus. Its watches do not fire while gnome-session holds an idle inhibit,
// so GNOME's own inhibits (and the freedesktop ones it bridges) apply.
#pragma once

#include <gio/gio.h>

#include <memory>

#include "idle/idle_source.h"

namespace idle {

// Whether the monitor's name has an owner on `bus`.
bool mutterMonitorOnBus(GDBusConnection* bus);

std::unique_ptr<IdleSource> makeMutterIdleSource(GDBusConnection* bus, IdleEvents& events);

}  // namespace idle
