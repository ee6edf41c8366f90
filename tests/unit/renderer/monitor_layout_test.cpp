// Where each monitor's picture goes in the one saver window.
#include "renderer/shell/monitor_layout.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using Rects = std::vector<ScreenRect>;

TEST(MonitorLayout, TwoMonitorsOfDifferentSizesSideBySide) {
  // As Wine shows Xephyr's two heads: 1280x1024 and 1024x768 to its right.
  const MonitorLayout layout =
      layoutMonitors({0, 0, 2304, 1024}, {0, 0, 1280, 1024}, {{0, 0, 1280, 1024}, {1280, 0, 2304, 768}});
  EXPECT_EQ(layout.window, (ScreenRect{0, 0, 2304, 1024}));
  EXPECT_EQ(layout.views, (Rects{{0, 0, 1280, 1024}, {1280, 0, 2304, 768}}));
  // The strip below the smaller monitor belongs to neither.
  EXPECT_TRUE(layout.hasUncoveredArea);
}

TEST(MonitorLayout, MonitorsLeftOfOrAboveThePrimaryMoveIntoWindowCoordinates) {
  // A secondary monitor to the left of and higher than the primary: the
  // virtual screen starts at negative coordinates.
  const MonitorLayout layout = layoutMonitors({-1920, -200, 2560, 1440}, {0, 0, 2560, 1440},
                                              {{0, 0, 2560, 1440}, {-1920, -200, 0, 880}});
  EXPECT_EQ(layout.window, (ScreenRect{-1920, -200, 2560, 1440}));
  EXPECT_EQ(layout.views, (Rects{{1920, 200, 4480, 1640}, {0, 0, 1920, 1080}}));
  EXPECT_TRUE(layout.hasUncoveredArea);
}

TEST(MonitorLayout, MonitorsThatFillTheWindowLeaveNoGap) {
  const MonitorLayout three =
      layoutMonitors({0, 0, 5760, 1080}, {1920, 0, 3840, 1080},
                     {{1920, 0, 3840, 1080}, {0, 0, 1920, 1080}, {3840, 0, 5760, 1080}});
  EXPECT_EQ(three.views.size(), 3u);
  EXPECT_FALSE(three.hasUncoveredArea);
  const MonitorLayout stacked =
      layoutMonitors({0, 0, 1920, 2160}, {0, 0, 1920, 1080}, {{0, 0, 1920, 1080}, {0, 1080, 1920, 2160}});
  EXPECT_EQ(stacked.views, (Rects{{0, 0, 1920, 1080}, {0, 1080, 1920, 2160}}));
  EXPECT_FALSE(stacked.hasUncoveredArea);
}

TEST(MonitorLayout, MirroredEmptyAndOutsideMonitorsGetNoPictureOfTheirOwn) {
  const MonitorLayout layout = layoutMonitors(
      {0, 0, 1280, 1024}, {0, 0, 1280, 1024},
      {{0, 0, 1280, 1024}, {0, 0, 1280, 1024}, {5000, 0, 6000, 800}, {100, 100, 100, 900}});
  EXPECT_EQ(layout.views, (Rects{{0, 0, 1280, 1024}}));
  EXPECT_FALSE(layout.hasUncoveredArea);
  // A monitor reaching past the virtual screen is cut to it.
  const MonitorLayout cut = layoutMonitors({0, 0, 1000, 800}, {0, 0, 1000, 800}, {{-50, 0, 1000, 900}});
  EXPECT_EQ(cut.views, (Rects{{0, 0, 1000, 800}}));
}

TEST(MonitorLayout, WithoutMonitorsOrVirtualScreenThePrimaryIsTheOnePicture) {
  const MonitorLayout none = layoutMonitors({0, 0, 1600, 900}, {0, 0, 1600, 900}, {});
  EXPECT_EQ(none.window, (ScreenRect{0, 0, 1600, 900}));
  EXPECT_EQ(none.views, (Rects{{0, 0, 1600, 900}}));
  EXPECT_FALSE(none.hasUncoveredArea);
  const MonitorLayout noVirtual = layoutMonitors({}, {0, 0, 1024, 768}, {{0, 0, 1024, 768}});
  EXPECT_EQ(noVirtual.window, (ScreenRect{0, 0, 1024, 768}));
  EXPECT_EQ(noVirtual.views, (Rects{{0, 0, 1024, 768}}));
}

// Whatever a driver reports, no size or offset overflows: the fuzzer's first
// find was a virtual screen from INT_MIN down, without a monitor on it.
TEST(MonitorLayout, CoordinatesFarBeyondAnyScreenAreCutBeforeMeasuring) {
  constexpr int kLimit = 1 << 24;
  const MonitorLayout tall = layoutMonitors({0, INT_MIN, 1920, 2063597568}, {}, {});
  EXPECT_EQ(tall.window, (ScreenRect{0, -kLimit, 1920, kLimit}));
  EXPECT_EQ(tall.views, (Rects{{0, 0, 1920, 2 * kLimit}}));
  const MonitorLayout huge = layoutMonitors({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {},
                                            {{0, 0, 1920, 1080}, {INT_MIN, 0, INT_MAX, 10}});
  EXPECT_EQ(huge.views, (Rects{{kLimit, kLimit, kLimit + 1920, kLimit + 1080}, {0, kLimit, 2 * kLimit, kLimit + 10}}));
  EXPECT_TRUE(huge.hasUncoveredArea);
}

}  // namespace
