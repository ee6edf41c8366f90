#include "idle/source_choice.h"

namespace idle {

SourceKind chooseSource(const SourceFacts& facts) {
  if (facts.xScreenSaverDaemon) return SourceKind::XScreenSaver;
  if (facts.mutterMonitor) return SourceKind::Mutter;
  if (facts.extIdle) return SourceKind::ExtIdle;
  if (facts.kdeIdle) return SourceKind::KdeIdle;
  if (facts.xScreenSaverExtension) return SourceKind::X11;
  return SourceKind::None;
}

bool needX11Facts(const SourceFacts& facts) {
  return !facts.waylandSession || (!facts.mutterMonitor && !facts.extIdle && !facts.kdeIdle);
}

std::string refusalMessage(SourceKind kind, const SourceFacts& facts) {
  if (kind == SourceKind::XScreenSaver) {
    return "XScreenSaver runs on this display and owns the screen; to show Miravel there, "
           "run miravel-xscreensaver-setup instead";
  }
  if (kind != SourceKind::None) return {};
  std::string message =
      "no idle source found: looked for org.gnome.Mutter.IdleMonitor on the session bus";
  message += facts.waylandDisplay
                 ? ", ext_idle_notifier_v1 and org_kde_kwin_idle on the Wayland display (not offered)"
                 : ", a Wayland display (none reached)";
  if (!facts.xDisplay) {
    message += ", an X display (none reached)";
  } else {
    message += ", the MIT-SCREEN-SAVER extension on the X display (not offered)";
  }
  return message;
}

const char* sourceName(SourceKind kind) {
  switch (kind) {
    case SourceKind::Mutter: return "org.gnome.Mutter.IdleMonitor";
    case SourceKind::ExtIdle: return "ext_idle_notifier_v1";
    case SourceKind::KdeIdle: return "org_kde_kwin_idle";
    case SourceKind::X11: return "MIT-SCREEN-SAVER";
    case SourceKind::XScreenSaver: return "XScreenSaver";
    case SourceKind::None: return "none";
  }
  return "none";
}

}  // namespace idle
