#include "renderer/shell/monitor_layout.h"

#include <algorithm>

namespace {

// No desktop reaches this far (X11 coordinates are 16-bit; a Windows virtual
// screen spans some tens of thousands of pixels). A driver that reports
// coordinates beyond it has them cut to it, so that every size and offset
// measured here fits an int.
constexpr int kCoordinateLimit = 1 << 24;

int bounded(int v) { return std::clamp(v, -kCoordinateLimit, kCoordinateLimit); }

ScreenRect bounded(const ScreenRect& r) {
  return {bounded(r.left), bounded(r.top), bounded(r.right), bounded(r.bottom)};
}

ScreenRect intersect(const ScreenRect& a, const ScreenRect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

// Whether the rectangles leave some of `area` uncovered: the area is cut
// along every edge into cells, and each cell is either inside a rectangle
// or not. A handful of monitors make a handful of cells.
bool leavesGaps(const ScreenRect& area, const std::vector<ScreenRect>& rects) {
  std::vector<int> xs{area.left, area.right}, ys{area.top, area.bottom};
  for (const ScreenRect& r : rects) {
    xs.push_back(r.left);
    xs.push_back(r.right);
    ys.push_back(r.top);
    ys.push_back(r.bottom);
  }
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  for (size_t i = 0; i + 1 < xs.size(); ++i) {
    for (size_t j = 0; j + 1 < ys.size(); ++j) {
      const ScreenRect cell{xs[i], ys[j], xs[i + 1], ys[j + 1]};
      if (intersect(cell, area).empty()) continue;
      const bool covered = std::any_of(rects.begin(), rects.end(), [&](const ScreenRect& r) {
        return !intersect(cell, r).empty();
      });
      if (!covered) return true;
    }
  }
  return false;
}

}  // namespace

MonitorLayout layoutMonitors(const ScreenRect& virtualScreen, const ScreenRect& primary,
                             const std::vector<ScreenRect>& monitors) {
  MonitorLayout layout;
  layout.window = bounded(virtualScreen.empty() ? primary : virtualScreen);
  const ScreenRect& w = layout.window;
  std::vector<ScreenRect> onWindow;
  for (const ScreenRect& monitor : monitors) {
    const ScreenRect part = intersect(bounded(monitor), w);
    if (part.empty() || std::find(onWindow.begin(), onWindow.end(), part) != onWindow.end()) continue;
    onWindow.push_back(part);
    layout.views.push_back({part.left - w.left, part.top - w.top, part.right - w.left, part.bottom - w.top});
  }
  if (layout.views.empty()) {
    layout.views.push_back({0, 0, w.width(), w.height()});
    return layout;
  }
  layout.hasUncoveredArea = leavesGaps(w, onWindow);
  return layout;
}
