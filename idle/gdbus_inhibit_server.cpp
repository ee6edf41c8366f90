// The inhibit server over GDBus. The bookkeeping is InhibitTable's; here
// are only the name, the two object paths (players call either), the
// watches on the callers' unique names and the replies.
#include "idle/gdbus_inhibit_server.h"

#include <map>
#include <string>

#include "idle/inhibit_table.h"

namespace idle {
namespace {

constexpr char kName[] = "org.freedesktop.ScreenSaver";
constexpr const char* kPaths[] = {"/org/freedesktop/ScreenSaver", "/ScreenSaver"};
constexpr char kIntrospection[] =
    "<node>"
    "  <interface name='org.freedesktop.ScreenSaver'>"
    "    <method name='Inhibit'>"
    "      <arg type='s' name='application_name' direction='in'/>"
    "      <arg type='s' name='reason_for_inhibit' direction='in'/>"
    "      <arg type='u' name='cookie' direction='out'/>"
    "    </method>"
    "    <method name='UnInhibit'>"
    "      <arg type='u' name='cookie' direction='in'/>"
    "    </method>"
    "  </interface>"
    "</node>";

class Server final : public InhibitServer {
 public:
  Server(GDBusConnection* bus, std::function<void(bool)> inhibitedChanged,
         std::function<void(const char*)> said)
      : bus_(G_DBUS_CONNECTION(g_object_ref(bus))),
        inhibitedChanged_(std::move(inhibitedChanged)),
        said_(std::move(said)) {
    node_ = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    static const GDBusInterfaceVTable vtable = {&Server::onCall, nullptr, nullptr, {}};
    for (const char* path : kPaths) {
      const guint id = g_dbus_connection_register_object(bus_, path, node_->interfaces[0], &vtable,
                                                         this, nullptr, nullptr);
      if (id) objects_.push_back(id);
    }
    owner_ = g_bus_own_name_on_connection(bus_, kName, G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE,
                                          &Server::onAcquired, &Server::onLost, this, nullptr);
  }
  ~Server() override {
    stop();
    g_dbus_node_info_unref(node_);
    g_object_unref(bus_);
  }

  bool serving() const override { return serving_; }

  void stop() override {
    if (owner_) g_bus_unown_name(owner_);
    owner_ = 0;
    unregister();
    for (const auto& watch : watches_) g_bus_unwatch_name(watch.second);
    watches_.clear();
    serving_ = false;
  }

 private:
  void unregister() {
    for (const guint id : objects_) g_dbus_connection_unregister_object(bus_, id);
    objects_.clear();
  }

  static void onAcquired(GDBusConnection*, const gchar*, gpointer data) {
    auto* self = static_cast<Server*>(data);
    self->serving_ = true;
    self->said_("serving the idle inhibits of org.freedesktop.ScreenSaver");
  }

  static void onLost(GDBusConnection*, const gchar*, gpointer data) {
    auto* self = static_cast<Server*>(data);
    const bool was = self->serving_;
    self->serving_ = false;
    self->unregister();
    self->said_(was ? "org.freedesktop.ScreenSaver is no longer ours: serving no idle inhibits"
                    : "org.freedesktop.ScreenSaver is served by the desktop: its inhibits apply");
    // Inhibits kept here end with the name: nobody can reach them any more.
    for (const auto& watch : self->watches_) g_bus_unwatch_name(watch.second);
    self->watches_.clear();
    if (self->table_.held()) {
      self->table_ = InhibitTable();
      self->inhibitedChanged_(false);
    }
  }

  static void onCall(GDBusConnection*, const gchar* sender, const gchar*, const gchar*,
                     const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation,
                     gpointer data) {
    static_cast<Server*>(data)->call(sender ? sender : "", method, parameters, invocation);
  }

  void call(const std::string& sender, const std::string& method, GVariant* parameters,
            GDBusMethodInvocation* invocation) {
    const bool before = table_.held();
    if (method == "Inhibit") {
      const gchar* application = nullptr;
      const gchar* reason = nullptr;
      g_variant_get(parameters, "(&s&s)", &application, &reason);
      InhibitTable::Refusal refusal = InhibitTable::Refusal::None;
      const guint32 cookie = table_.inhibit(sender, application, reason, refusal);
      if (cookie == 0) {
        g_dbus_method_invocation_return_dbus_error(
            invocation, "org.freedesktop.ScreenSaver.Error.LimitsExceeded",
            refusal == InhibitTable::Refusal::ClientFull ? "this client holds too many inhibits"
                                                         : "too many inhibits are held");
        return;
      }
      watchOwner(sender);
      g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", cookie));
    } else if (method == "UnInhibit") {
      guint32 cookie = 0;
      g_variant_get(parameters, "(u)", &cookie);
      table_.uninhibit(sender, cookie);
      if (table_.heldBy(sender) == 0) unwatchOwner(sender);
      g_dbus_method_invocation_return_value(invocation, nullptr);
    } else {
      g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.UnknownMethod",
                                                 "no such method");
      return;
    }
    if (table_.held() != before) inhibitedChanged_(table_.held());
  }

  // An inhibit ends when its caller leaves the bus: its unique name is
  // watched while it holds any. A caller gone before the watch began is
  // reported gone at once.
  void watchOwner(const std::string& owner) {
    if (watches_.count(owner)) return;
    auto* context = new std::pair<Server*, std::string>(this, owner);
    watches_[owner] = g_bus_watch_name_on_connection(
        bus_, owner.c_str(), G_BUS_NAME_WATCHER_FLAGS_NONE, nullptr, &Server::onVanished, context,
        [](gpointer p) { delete static_cast<std::pair<Server*, std::string>*>(p); });
  }

  void unwatchOwner(const std::string& owner) {
    const auto found = watches_.find(owner);
    if (found == watches_.end()) return;
    const guint id = found->second;
    watches_.erase(found);
    g_bus_unwatch_name(id);
  }

  static void onVanished(GDBusConnection*, const gchar*, gpointer data) {
    auto* context = static_cast<std::pair<Server*, std::string>*>(data);
    Server* self = context->first;
    const std::string owner = context->second;  // the context goes with the watch
    const bool before = self->table_.held();
    self->table_.dropOwner(owner);
    self->unwatchOwner(owner);
    if (self->table_.held() != before) self->inhibitedChanged_(self->table_.held());
  }

  GDBusConnection* bus_;
  std::function<void(bool)> inhibitedChanged_;
  std::function<void(const char*)> said_;
  GDBusNodeInfo* node_ = nullptr;
  std::vector<guint> objects_;
  guint owner_ = 0;
  bool serving_ = false;
  InhibitTable table_;
  std::map<std::string, guint> watches_;
};

}  // namespace

std::unique_ptr<InhibitServer> startInhibitServer(GDBusConnection* bus,
                                                  std::function<void(bool)> inhibitedChanged,
                                                  std::function<void(const char*)> said) {
  return std::make_unique<Server>(bus, std::move(inhibitedChanged), std::move(said));
}

}  // namespace idle
