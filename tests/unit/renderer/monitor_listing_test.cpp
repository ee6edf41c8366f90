#include "renderer/shell/monitor_listing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Rects = std::vector<ScreenRect>;
const ScreenRect kScreen{0, 0, 2304, 1024};

TEST(MonitorListing, MonitorsThenHeadsThenTheScreen) {
  MonitorListing listing;
  listing.screen = kScreen;
  EXPECT_EQ(chooseMonitors(listing), (Rects{kScreen}));

  listing.haveHeads = true;
  listing.heads = {{0, 0, 1280, 1024}, {1280, 0, 2304, 768}};
  EXPECT_EQ(chooseMonitors(listing), listing.heads);

  // RandR's monitors win over heads that cover no more of the screen.
  listing.haveMonitors = true;
  listing.monitors = {{0, 0, 2304, 1024}};
  EXPECT_EQ(chooseMonitors(listing), (Rects{{0, 0, 2304, 1024}}));
  listing.monitors = {{0, 0, 1280, 1024}, {1280, 0, 2304, 768}};
  listing.heads = {{0, 0, 1280, 1024}, {1280, 0, 1792, 768}, {1792, 0, 2304, 768}};
  EXPECT_EQ(chooseMonitors(listing), listing.monitors);
  // Screens joined with Xinerama whose RandR knows the first one only.
  listing.monitors = {{0, 0, 1280, 1024}};
  listing.heads = {{0, 0, 1280, 1024}, {1280, 0, 2304, 768}};
  EXPECT_EQ(chooseMonitors(listing), listing.heads);
  // Overlapping heads are counted once: two mirrored heads cover no more
  // than the one monitor over them.
  listing.heads = {{0, 0, 2304, 1024}, {0, 0, 2304, 1024}};
  listing.monitors = {{0, 0, 2304, 1024}};
  EXPECT_EQ(chooseMonitors(listing), listing.monitors);
  listing.heads = {{0, 0, 1280, 1024}, {1280, 0, 2304, 768}};

  // Monitors without any area are no answer: the heads again; heads without
  // area, the screen.
  listing.monitors = {{0, 0, 0, 0}, {100, 100, 100, 900}};
  EXPECT_EQ(chooseMonitors(listing), listing.heads);
  listing.heads = {{5, 5, 5, 5}};
  EXPECT_EQ(chooseMonitors(listing), (Rects{kScreen}));
  listing.haveMonitors = false;
  listing.haveHeads = false;
  listing.heads.clear();
  EXPECT_EQ(chooseMonitors(listing), (Rects{kScreen}));
}

TEST(MonitorListing, AnOutputSplitIntoMonitorsShowsTheParts) {
  // xrandr --setmonitor on parts of one output: RandR still lists the
  // output's own monitor over both parts.
  MonitorListing listing;
  listing.screen = kScreen;
  listing.haveMonitors = true;
  listing.monitors = {{0, 0, 1280, 1024}, {1280, 0, 2304, 768}, {0, 0, 2304, 1024}};
  EXPECT_EQ(chooseMonitors(listing), (Rects{{0, 0, 1280, 1024}, {1280, 0, 2304, 768}}));

  // Mirrored outputs (equal rectangles) and monitors that only overlap stay.
  listing.monitors = {{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, {1000, 0, 2920, 1080}};
  EXPECT_EQ(chooseMonitors(listing), listing.monitors);

  // Empty entries do not make a monitor a container.
  listing.monitors = {{0, 0, 1920, 1080}, {10, 10, 10, 10}};
  EXPECT_EQ(chooseMonitors(listing), (Rects{{0, 0, 1920, 1080}}));
}

}  // namespace
