// Mutter's idle watches: AddIdleWatch fires each time the idle time reaches
// its interval, AddUserActiveWatch fires once at the next input and removes
// itself. Watches are per client and go when the client leaves the bus.
#include "idle/gdbus_mutter_idle_source.h"

#include <cstdio>

namespace idle {
namespace {

constexpr char kName[] = "org.gnome.Mutter.IdleMonitor";
constexpr char kPath[] = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr char kInterface[] = "org.gnome.Mutter.IdleMonitor";
constexpr int kCallMs = 5000;

class MutterSource final : public IdleSource {
 public:
  MutterSource(GDBusConnection* bus, IdleEvents& events)
      : bus_(G_DBUS_CONNECTION(g_object_ref(bus))), events_(events) {
    signal_ = g_dbus_connection_signal_subscribe(bus_, kName, kInterface, "WatchFired", kPath,
                                                 nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
                                                 &MutterSource::onSignal, this, nullptr);
    nameWatch_ = g_bus_watch_name_on_connection(bus_, kName, G_BUS_NAME_WATCHER_FLAGS_NONE,
                                                nullptr, &MutterSource::onVanished, this,
                                                nullptr);
  }
  ~MutterSource() override {
    removeWatch(idleWatch_);
    removeWatch(activeWatch_);
    g_bus_unwatch_name(nameWatch_);
    g_dbus_connection_signal_unsubscribe(bus_, signal_);
    g_object_unref(bus_);
  }

  void watch(std::uint64_t ms) override {
    delayMs_ = ms;
    reported_ = false;
    removeWatch(idleWatch_);
    removeWatch(activeWatch_);
    // The monitor counts from the last input. When the user is idle already
    // (an inhibit just ended) the first watch is set that much later, so the
    // delay counts from now; input before it fires sets the plain one.
    const std::uint64_t idleNow = idleTime();
    idleWatch_ = addIdleWatch(idleNow + ms);
    if (idleNow > 0) activeWatch_ = call("AddUserActiveWatch", nullptr);
  }

 private:
  std::uint64_t idleTime() {
    GVariant* reply = callRaw("GetIdletime", nullptr, G_VARIANT_TYPE("(t)"));
    if (!reply) return 0;
    guint64 idle = 0;
    g_variant_get(reply, "(t)", &idle);
    g_variant_unref(reply);
    return idle;
  }

  guint32 addIdleWatch(std::uint64_t ms) {
    return call("AddIdleWatch", g_variant_new("(t)", static_cast<guint64>(ms)));
  }

  GVariant* callRaw(const char* method, GVariant* parameters, const GVariantType* replyType) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(bus_, kName, kPath, kInterface, method,
                                                  parameters, replyType, G_DBUS_CALL_FLAGS_NONE,
                                                  kCallMs, nullptr, &error);
    if (!reply) {
      std::fprintf(stderr, "miravel-idle: Mutter's %s failed: %s\n", method, error->message);
      g_error_free(error);
    }
    return reply;
  }

  // A call answering (u id); 0 when it failed.
  guint32 call(const char* method, GVariant* parameters) {
    GVariant* reply = callRaw(method, parameters, G_VARIANT_TYPE("(u)"));
    if (!reply) return 0;
    guint32 id = 0;
    g_variant_get(reply, "(u)", &id);
    g_variant_unref(reply);
    return id;
  }

  void removeWatch(guint32& id) {
    if (id == 0) return;
    g_dbus_connection_call(bus_, kName, kPath, kInterface, "RemoveWatch", g_variant_new("(u)", id),
                           nullptr, G_DBUS_CALL_FLAGS_NONE, kCallMs, nullptr, nullptr, nullptr);
    id = 0;
  }

  static void onSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                       GVariant* parameters, gpointer data) {
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(u)"))) return;
    guint32 id = 0;
    g_variant_get(parameters, "(u)", &id);
    static_cast<MutterSource*>(data)->fired(id);
  }

  void fired(guint32 id) {
    if (id == 0) return;
    if (id == idleWatch_ && !reported_) {
      reported_ = true;
      // It would fire again at each idle period; one report is enough.
      removeWatch(idleWatch_);
      if (!activeWatch_) activeWatch_ = call("AddUserActiveWatch", nullptr);
      events_.idleReached();
    } else if (id == activeWatch_) {
      activeWatch_ = 0;  // it removed itself
      if (reported_) {
        events_.userActive();
      } else {
        removeWatch(idleWatch_);
        idleWatch_ = addIdleWatch(delayMs_);
      }
    }
  }

  static void onVanished(GDBusConnection*, const gchar*, gpointer data) {
    static_cast<MutterSource*>(data)->events_.sourceLost("Mutter's idle monitor left the bus");
  }

  GDBusConnection* bus_;
  IdleEvents& events_;
  guint signal_ = 0;
  guint nameWatch_ = 0;
  guint32 idleWatch_ = 0;
  guint32 activeWatch_ = 0;
  std::uint64_t delayMs_ = 0;
  bool reported_ = false;
};

}  // namespace

bool mutterMonitorOnBus(GDBusConnection* bus) {
  GVariant* reply = g_dbus_connection_call_sync(
      bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
      g_variant_new("(s)", kName), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, kCallMs, nullptr,
      nullptr);
  if (!reply) return false;
  gboolean owned = FALSE;
  g_variant_get(reply, "(b)", &owned);
  g_variant_unref(reply);
  return owned;
}

std::unique_ptr<IdleSource> makeMutterIdleSource(GDBusConnection* bus, IdleEvents& events) {
  return std::make_unique<MutterSource>(bus, events);
}

}  // namespace idle
