// Which idle source is taken on each kind of desktop, and what a refusal
// says.
#include "idle/source_choice.h"

#include <gtest/gtest.h>

using namespace idle;

namespace {

SourceFacts gnomeWayland() {
  SourceFacts facts;
  facts.waylandSession = true;
  facts.mutterMonitor = true;
  return facts;
}

}  // namespace

TEST(SourceChoice, EachDesktopGetsItsOwnSource) {
  EXPECT_EQ(chooseSource(gnomeWayland()), SourceKind::Mutter);

  SourceFacts kwin;  // KWin offers both protocols: the standard one wins
  kwin.waylandSession = kwin.waylandDisplay = kwin.extIdle = kwin.kdeIdle = true;
  EXPECT_EQ(chooseSource(kwin), SourceKind::ExtIdle);

  SourceFacts sway;  // sway 1.7
  sway.waylandSession = sway.waylandDisplay = sway.kdeIdle = true;
  EXPECT_EQ(chooseSource(sway), SourceKind::KdeIdle);

  SourceFacts x11;
  x11.xDisplay = x11.xScreenSaverExtension = true;
  EXPECT_EQ(chooseSource(x11), SourceKind::X11);

  // GNOME on X11: Mutter's monitor, which keeps gnome-session's inhibits.
  SourceFacts gnomeX11 = x11;
  gnomeX11.mutterMonitor = true;
  EXPECT_EQ(chooseSource(gnomeX11), SourceKind::Mutter);

  // A Wayland session offering neither protocol falls back to XWayland's
  // extension.
  SourceFacts bare;
  bare.waylandSession = bare.waylandDisplay = true;
  bare.xDisplay = bare.xScreenSaverExtension = true;
  EXPECT_EQ(chooseSource(bare), SourceKind::X11);
}

TEST(SourceChoice, AnXScreenSaverDaemonComesBeforeEverything) {
  SourceFacts facts;
  facts.xDisplay = facts.xScreenSaverExtension = facts.xScreenSaverDaemon = true;
  facts.mutterMonitor = true;
  EXPECT_EQ(chooseSource(facts), SourceKind::XScreenSaver);
  const std::string message = refusalMessage(SourceKind::XScreenSaver, facts);
  EXPECT_NE(message.find("XScreenSaver"), std::string::npos);
  EXPECT_NE(message.find("miravel-xscreensaver-setup"), std::string::npos);
}

TEST(SourceChoice, NothingFoundNamesWhatWasLookedFor) {
  SourceFacts nothing;
  EXPECT_EQ(chooseSource(nothing), SourceKind::None);
  const std::string bare = refusalMessage(SourceKind::None, nothing);
  for (const char* named : {"org.gnome.Mutter.IdleMonitor", "Wayland display", "X display"}) {
    EXPECT_NE(bare.find(named), std::string::npos) << named << " in: " << bare;
  }
  SourceFacts reached;
  reached.waylandSession = reached.waylandDisplay = reached.xDisplay = true;
  const std::string detailed = refusalMessage(SourceKind::None, reached);
  for (const char* named : {"ext_idle_notifier_v1", "org_kde_kwin_idle", "MIT-SCREEN-SAVER"}) {
    EXPECT_NE(detailed.find(named), std::string::npos) << named << " in: " << detailed;
  }
  EXPECT_EQ(refusalMessage(SourceKind::X11, reached), "");
}

TEST(SourceChoice, XIsOpenedOnAWaylandSessionOnlyWhenNothingElseServes) {
  SourceFacts x11Session;
  EXPECT_TRUE(needX11Facts(x11Session));
  x11Session.mutterMonitor = true;  // GNOME on X11: still looked at, for the daemon
  EXPECT_TRUE(needX11Facts(x11Session));
  EXPECT_FALSE(needX11Facts(gnomeWayland()));
  SourceFacts sway;
  sway.waylandSession = sway.waylandDisplay = sway.kdeIdle = true;
  EXPECT_FALSE(needX11Facts(sway));
  SourceFacts bare;
  bare.waylandSession = bare.waylandDisplay = true;
  EXPECT_TRUE(needX11Facts(bare));
}
