// The Wayland idle sources: ext_idle_notifier_v1, else KDE's older
// org_kde_kwin_idle. Both count only seat input and both keep the
// compositor's idle inhibitors (a player's zwp_idle_inhibitor_v1).
#pragma once

#include <memory>

#include "idle/idle_source.h"
#include "idle/source_choice.h"

namespace idle {

class WaylandIdle {
 public:
  virtual ~WaylandIdle() = default;
  // For kind ExtIdle or KdeIdle; the connection then belongs to the source.
  virtual std::unique_ptr<IdleSource> makeSource(SourceKind kind, IdleEvents& events) = 0;
};

// Connects to $WAYLAND_DISPLAY (never to a default socket when the variable
// is unset) and fills the Wayland facts. Null when no display was reached.
std::unique_ptr<WaylandIdle> openWaylandIdle(SourceFacts& facts);

}  // namespace idle
