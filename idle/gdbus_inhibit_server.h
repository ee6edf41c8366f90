// org.freedesktop.ScreenSaver's idle inhibits, served where no one else
// serves them (sway, Hyprland, plain X11).
#pragma once

#include <gio/gio.h>

#include <functional>
#include <memory>

namespace idle {

class InhibitServer {
 public:
  virtual ~InhibitServer() = default;
  // True while the name is ours and the inhibits are kept here.
  virtual bool serving() const = 0;
  // Gives the name back and stops answering; also done when destroyed.
  virtual void stop() = 0;
};

// Asks for the name, without taking it from an owner or waiting in line for
// it. `inhibitedChanged(held)` is called whenever "any inhibit held" changes;
// `said(text)` gets one line of news for the user (the name served, or
// served by another).
std::unique_ptr<InhibitServer> startInhibitServer(
    GDBusConnection* bus, std::function<void(bool held)> inhibitedChanged,
    std::function<void(const char* text)> said);

}  // namespace idle
