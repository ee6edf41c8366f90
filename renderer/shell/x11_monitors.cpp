#include "renderer/shell/x11_monitors.h"

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include "platform/x11/x11_util.h"

X11Monitors::X11Monitors(Display* display, int screen)
    : display_(display), screen_(screen), root_(RootWindow(display, screen)) {
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (XRRQueryExtension(display_, &eventBase, &errorBase) &&
      XRRQueryVersion(display_, &major, &minor)) {
    randrEventBase_ = eventBase;
    randrMonitors_ = major > 1 || (major == 1 && minor >= 5);
    XRRSelectInput(display_, root_, RRScreenChangeNotifyMask);
  }
  int xineramaEvents = 0, xineramaErrors = 0;
  xinerama_ = XineramaQueryExtension(display_, &xineramaEvents, &xineramaErrors) &&
              XineramaIsActive(display_);
}

MonitorListing X11Monitors::read() const {
  MonitorListing listing;
  listing.screen = {0, 0, DisplayWidth(display_, screen_), DisplayHeight(display_, screen_)};
  if (randrMonitors_) {
    int count = 0;
    platform::xErrorTrapBegin();
    XRRMonitorInfo* monitors = XRRGetMonitors(display_, root_, True, &count);
    platform::xErrorTrapEnd(display_);
    if (monitors) {
      listing.haveMonitors = true;
      for (int i = 0; i < count; ++i) {
        const XRRMonitorInfo& m = monitors[i];
        listing.monitors.push_back({m.x, m.y, m.x + m.width, m.y + m.height});
      }
      XRRFreeMonitors(monitors);
    }
  }
  if (xinerama_) {
    int count = 0;
    XineramaScreenInfo* heads = XineramaQueryScreens(display_, &count);
    if (heads) {
      listing.haveHeads = true;
      for (int i = 0; i < count; ++i) {
        const XineramaScreenInfo& h = heads[i];
        listing.heads.push_back({h.x_org, h.y_org, h.x_org + h.width, h.y_org + h.height});
      }
      XFree(heads);
    }
  }
  return listing;
}

bool X11Monitors::isChange(XEvent& event) const {
  if (randrEventBase_ < 0 || event.type != randrEventBase_ + RRScreenChangeNotify) return false;
  XRRUpdateConfiguration(&event);
  return true;
}
