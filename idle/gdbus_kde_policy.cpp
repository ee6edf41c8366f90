// The question is asked once per start, never watched: the Wayland idle
// protocols do not see these D-Bus inhibits, so KWin's idle reports come
// regardless of them.
#include "idle/gdbus_kde_policy.h"

namespace idle {

bool kdeInhibits(GDBusConnection* bus) {
  GVariant* reply = g_dbus_connection_call_sync(
      bus, "org.kde.Solid.PowerManagement.PolicyAgent", "/org/kde/Solid/PowerManagement/PolicyAgent",
      "org.kde.Solid.PowerManagement.PolicyAgent", "HasInhibition", g_variant_new("(u)", 4u),
      G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, 2000, nullptr, nullptr);
  if (!reply) return false;
  gboolean held = FALSE;
  g_variant_get(reply, "(b)", &held);
  g_variant_unref(reply);
  return held;
}

}  // namespace idle
