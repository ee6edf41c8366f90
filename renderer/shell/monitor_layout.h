// One saver window over every monitor: where the window lies and where each
// monitor's picture goes inside it. Plain code; the platform lists the
// monitors (EnumDisplayMonitors on Windows) and hands them in.
#pragma once

#include <vector>

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  bool operator==(const ScreenRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

struct MonitorLayout {
  // The window, in screen coordinates.
  ScreenRect window;
  // One picture per monitor, in window coordinates (top-down), in the order
  // the monitors were listed.
  std::vector<ScreenRect> views;
  // Some part of the window belongs to no monitor (monitors of different
  // sizes side by side): it is cleared, never drawn.
  bool hasUncoveredArea = false;
};

// The window covers `virtualScreen`; each monitor gets the part of it that
// lies on the window. Monitors that lie outside it, have no area or repeat
// another's rectangle (a mirrored output) get no picture of their own. With
// no virtual screen, the window is `primary`; with no monitor left, the one
// picture fills the window. Coordinates beyond +-2^24 count as +-2^24, so
// every size and offset of the result fits an int.
MonitorLayout layoutMonitors(const ScreenRect& virtualScreen, const ScreenRect& primary,
                             const std::vector<ScreenRect>& monitors);
