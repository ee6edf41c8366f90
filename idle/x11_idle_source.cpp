// Idle on X11 from the MIT-SCREEN-SAVER extension. The server keeps the time
// since the last input; we ask it only when the answer can matter: a timer
// set to the exact moment the delay would be reached if no input came
// meanwhile, and the extension's notify events. After an idle report,
// input shows as an idle time shorter than the time since the report; that
// is asked for at each such wake and whenever the starter says input is
// likely (the saver ended).
#include "idle/x11_idle_source.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <glib-unix.h>
#include <glib.h>

#include <algorithm>

#include "platform/x11/x11_util.h"

namespace idle {
namespace {

std::uint64_t nowMs() { return static_cast<std::uint64_t>(g_get_monotonic_time() / 1000); }

// _SCREENSAVER_VERSION on the root window: an XScreenSaver daemon is there.
bool daemonOnDisplay(Display* display) {
  const Atom version = XInternAtom(display, "_SCREENSAVER_VERSION", True);
  if (version == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  platform::xErrorTrapBegin();
  const int status = XGetWindowProperty(display, DefaultRootWindow(display), version, 0, 64, False,
                                        AnyPropertyType, &type, &format, &items, &after, &data);
  const bool ok = platform::xErrorTrapEnd(display) && status == Success;
  if (data) XFree(data);
  return ok && type != None;
}

class X11Source final : public IdleSource {
 public:
  X11Source(Display* display, int eventBase, IdleEvents& events)
      : display_(display), eventBase_(eventBase), events_(events), info_(XScreenSaverAllocInfo()) {
    XScreenSaverSelectInput(display_, DefaultRootWindow(display_), ScreenSaverNotifyMask);
    XFlush(display_);
    displayWatch_ = g_unix_fd_add(ConnectionNumber(display_),
                                  static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                                  &X11Source::onDisplay, this);
  }
  ~X11Source() override {
    stopTimer();
    if (displayWatch_) g_source_remove(displayWatch_);
    if (info_) XFree(info_);
    XCloseDisplay(display_);
  }

  void watch(std::uint64_t ms) override {
    delayMs_ = std::max<std::uint64_t>(ms, 1);
    baselineMs_ = nowMs();
    reported_ = false;
    look();
  }

  void lookNow() override {
    if (reported_) look();
  }

 private:
  static gboolean onDisplay(gint, GIOCondition condition, gpointer self) {
    return static_cast<X11Source*>(self)->readDisplay(condition) ? G_SOURCE_CONTINUE
                                                                  : G_SOURCE_REMOVE;
  }

  bool readDisplay(GIOCondition condition) {
    if (condition & (G_IO_HUP | G_IO_ERR)) return lost();
    // XPending reads what has come; a broken connection ends in Xlib's IO
    // error handler, which ends the program (the session is over then).
    bool notified = false;
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == eventBase_ + ScreenSaverNotify) notified = true;
    }
    if (notified && delayMs_) look();
    return true;
  }

  bool lost() {
    displayWatch_ = 0;
    events_.sourceLost("the X display closed");
    return false;
  }

  static gboolean onTimer(gpointer self) {
    auto* source = static_cast<X11Source*>(self);
    source->timer_ = 0;
    source->look();
    return G_SOURCE_REMOVE;
  }

  void stopTimer() {
    if (timer_) g_source_remove(timer_);
    timer_ = 0;
  }

  void wakeIn(std::uint64_t ms) {
    stopTimer();
    const guint bounded = static_cast<guint>(std::min<std::uint64_t>(std::max<std::uint64_t>(ms, 1), G_MAXUINT));
    timer_ = g_timeout_add(bounded, &X11Source::onTimer, this);
  }

  std::uint64_t serverIdleMs() {
    if (!XScreenSaverQueryInfo(display_, DefaultRootWindow(display_), info_)) return 0;
    return info_->idle;
  }

  void look() {
    const std::uint64_t now = nowMs();
    const std::uint64_t idle = serverIdleMs();
    if (!reported_) {
      const std::uint64_t counted = std::min(idle, now - baselineMs_);
      if (counted >= delayMs_) {
        reported_ = true;
        reportedAtMs_ = now;
        activeReported_ = false;
        // Input after this shows as an idle time below the time since now.
        wakeIn(delayMs_);
        events_.idleReached();
      } else {
        wakeIn(delayMs_ - counted);
      }
    } else if (!activeReported_) {
      if (idle < now - reportedAtMs_) {
        activeReported_ = true;
        stopTimer();
        events_.userActive();
      } else {
        wakeIn(delayMs_);
      }
    }
    // Replies read above may have brought events into Xlib's queue, which
    // the descriptor will not tell of again.
    if (XPending(display_) > 0) readDisplay(G_IO_IN);
  }

  Display* display_;
  int eventBase_;
  IdleEvents& events_;
  XScreenSaverInfo* info_;
  guint displayWatch_ = 0;
  guint timer_ = 0;
  std::uint64_t delayMs_ = 0;
  std::uint64_t baselineMs_ = 0;
  std::uint64_t reportedAtMs_ = 0;
  bool reported_ = false;
  bool activeReported_ = false;
};

class X11IdleImpl final : public X11Idle {
 public:
  X11IdleImpl(Display* display, int eventBase) : display_(display), eventBase_(eventBase) {}
  ~X11IdleImpl() override {
    if (display_) XCloseDisplay(display_);
  }
  std::unique_ptr<IdleSource> makeSource(IdleEvents& events) override {
    Display* display = display_;
    display_ = nullptr;
    return std::make_unique<X11Source>(display, eventBase_, events);
  }

 private:
  Display* display_;
  int eventBase_;
};

}  // namespace

std::unique_ptr<X11Idle> openX11Idle(SourceFacts& facts) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  platform::installXErrorHandler();
  facts.xDisplay = true;
  int eventBase = 0, errorBase = 0;
  facts.xScreenSaverExtension = XScreenSaverQueryExtension(display, &eventBase, &errorBase);
  facts.xScreenSaverDaemon = daemonOnDisplay(display);
  return std::make_unique<X11IdleImpl>(display, eventBase);
}

}  // namespace idle
