// Idle on Wayland: one notification object per watch, made anew at each
// watch so the compositor counts from then; its idle and resume events are
// the reports.
#include "idle/wayland_idle_source.h"

#include <glib-unix.h>
#include <glib.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ext-idle-notify-v1-client-protocol.h"
#include "idle-client-protocol.h"

namespace idle {
namespace {

struct Globals {
  wl_seat* seat = nullptr;
  ext_idle_notifier_v1* ext = nullptr;
  org_kde_kwin_idle* kde = nullptr;
};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t) {
  auto* globals = static_cast<Globals*>(data);
  // The first seat: idle starters watch the session's one seat.
  if (!globals->seat && std::strcmp(interface, wl_seat_interface.name) == 0) {
    globals->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  } else if (!globals->ext && std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0) {
    globals->ext = static_cast<ext_idle_notifier_v1*>(
        wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
  } else if (!globals->kde && std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0) {
    globals->kde = static_cast<org_kde_kwin_idle*>(
        wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
  }
}

void onGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

void release(wl_display* display, wl_registry* registry, Globals& globals) {
  if (globals.ext) ext_idle_notifier_v1_destroy(globals.ext);
  if (globals.kde) org_kde_kwin_idle_destroy(globals.kde);
  if (globals.seat) wl_seat_destroy(globals.seat);
  wl_registry_destroy(registry);
  wl_display_flush(display);
  wl_display_disconnect(display);
}

class WaylandSource final : public IdleSource {
 public:
  WaylandSource(wl_display* display, wl_registry* registry, std::unique_ptr<Globals> globals,
                SourceKind kind, IdleEvents& events)
      : display_(display), registry_(registry), globals_(std::move(globals)), kind_(kind),
        events_(events) {
    watch_ = g_unix_fd_add(wl_display_get_fd(display_),
                           static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                           &WaylandSource::onDisplay, this);
  }
  ~WaylandSource() override {
    if (watch_) g_source_remove(watch_);
    dropNotification();
    release(display_, registry_, *globals_);
  }

  void watch(std::uint64_t ms) override {
    dropNotification();
    const uint32_t timeout = static_cast<uint32_t>(std::min<std::uint64_t>(ms, UINT32_MAX));
    if (kind_ == SourceKind::ExtIdle) {
      ext_ = ext_idle_notifier_v1_get_idle_notification(globals_->ext, timeout, globals_->seat);
      ext_idle_notification_v1_add_listener(ext_, &kExtListener, this);
    } else {
      kde_ = org_kde_kwin_idle_get_idle_timeout(globals_->kde, globals_->seat, timeout);
      org_kde_kwin_idle_timeout_add_listener(kde_, &kKdeListener, this);
    }
    wl_display_flush(display_);
  }

 private:
  void dropNotification() {
    if (ext_) ext_idle_notification_v1_destroy(ext_);
    if (kde_) org_kde_kwin_idle_timeout_release(kde_);
    ext_ = nullptr;
    kde_ = nullptr;
  }

  static gboolean onDisplay(gint, GIOCondition condition, gpointer data) {
    auto* self = static_cast<WaylandSource*>(data);
    if ((condition & (G_IO_HUP | G_IO_ERR)) || wl_display_dispatch(self->display_) < 0) {
      self->watch_ = 0;
      self->events_.sourceLost("the Wayland compositor went away");
      return G_SOURCE_REMOVE;
    }
    wl_display_flush(self->display_);
    return G_SOURCE_CONTINUE;
  }

  static void onIdled(void* data, ext_idle_notification_v1*) {
    static_cast<WaylandSource*>(data)->events_.idleReached();
  }
  static void onResumed(void* data, ext_idle_notification_v1*) {
    static_cast<WaylandSource*>(data)->events_.userActive();
  }
  static void onKdeIdle(void* data, org_kde_kwin_idle_timeout*) {
    static_cast<WaylandSource*>(data)->events_.idleReached();
  }
  static void onKdeResumed(void* data, org_kde_kwin_idle_timeout*) {
    static_cast<WaylandSource*>(data)->events_.userActive();
  }
  static constexpr ext_idle_notification_v1_listener kExtListener = {onIdled, onResumed};
  static constexpr org_kde_kwin_idle_timeout_listener kKdeListener = {onKdeIdle, onKdeResumed};

  wl_display* display_;
  wl_registry* registry_;
  std::unique_ptr<Globals> globals_;
  SourceKind kind_;
  IdleEvents& events_;
  guint watch_ = 0;
  ext_idle_notification_v1* ext_ = nullptr;
  org_kde_kwin_idle_timeout* kde_ = nullptr;
};

class WaylandIdleImpl final : public WaylandIdle {
 public:
  WaylandIdleImpl(wl_display* display, wl_registry* registry, std::unique_ptr<Globals> globals)
      : display_(display), registry_(registry), globals_(std::move(globals)) {}
  ~WaylandIdleImpl() override {
    if (display_) release(display_, registry_, *globals_);
  }
  std::unique_ptr<IdleSource> makeSource(SourceKind kind, IdleEvents& events) override {
    auto source =
        std::make_unique<WaylandSource>(display_, registry_, std::move(globals_), kind, events);
    display_ = nullptr;
    return source;
  }

 private:
  wl_display* display_;
  wl_registry* registry_;
  std::unique_ptr<Globals> globals_;
};

}  // namespace

std::unique_ptr<WaylandIdle> openWaylandIdle(SourceFacts& facts) {
  const char* name = std::getenv("WAYLAND_DISPLAY");
  if (!name || !name[0]) return nullptr;
  wl_display* display = wl_display_connect(nullptr);
  if (!display) return nullptr;
  facts.waylandDisplay = true;
  // Held on the heap for the connection's life: the registry's listener
  // keeps pointing at it.
  auto globals = std::make_unique<Globals>();
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistryListener, globals.get());
  const bool answered = wl_display_roundtrip(display) >= 0;
  facts.extIdle = answered && globals->seat && globals->ext;
  facts.kdeIdle = answered && globals->seat && globals->kde;
  return std::make_unique<WaylandIdleImpl>(display, registry, std::move(globals));
}

}  // namespace idle
