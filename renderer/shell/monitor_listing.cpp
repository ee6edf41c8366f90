#include "renderer/shell/monitor_listing.h"

#include <algorithm>

namespace {

bool holds(const ScreenRect& outer, const ScreenRect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

std::vector<ScreenRect> withArea(const std::vector<ScreenRect>& rects) {
  std::vector<ScreenRect> out;
  for (const ScreenRect& r : rects)
    if (!r.empty()) out.push_back(r);
  return out;
}

// The area of the screen that some rectangle covers, counted once where they
// overlap: the screen is cut along every edge into cells, each inside a
// rectangle or not. A handful of monitors make a handful of cells.
long long coveredArea(const ScreenRect& screen, const std::vector<ScreenRect>& rects) {
  std::vector<int> xs{screen.left, screen.right}, ys{screen.top, screen.bottom};
  for (const ScreenRect& r : rects) {
    xs.push_back(std::clamp(r.left, screen.left, screen.right));
    xs.push_back(std::clamp(r.right, screen.left, screen.right));
    ys.push_back(std::clamp(r.top, screen.top, screen.bottom));
    ys.push_back(std::clamp(r.bottom, screen.top, screen.bottom));
  }
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  long long area = 0;
  for (size_t i = 0; i + 1 < xs.size(); ++i) {
    for (size_t j = 0; j + 1 < ys.size(); ++j) {
      const ScreenRect cell{xs[i], ys[j], xs[i + 1], ys[j + 1]};
      const bool inside = std::any_of(rects.begin(), rects.end(),
                                      [&](const ScreenRect& r) { return holds(r, cell); });
      if (inside) area += 1LL * cell.width() * cell.height();
    }
  }
  return area;
}

}  // namespace

std::vector<ScreenRect> chooseMonitors(const MonitorListing& listing) {
  std::vector<ScreenRect> monitors;
  if (listing.haveMonitors) monitors = withArea(listing.monitors);
  if (listing.haveHeads) {
    const std::vector<ScreenRect> heads = withArea(listing.heads);
    if (monitors.empty() ||
        coveredArea(listing.screen, heads) > coveredArea(listing.screen, monitors))
      monitors = heads;
  }
  if (monitors.empty()) return {listing.screen};

  std::vector<ScreenRect> chosen;
  for (const ScreenRect& m : monitors) {
    // Equal rectangles (mirrored outputs) hold each other: layoutMonitors
    // gives them one picture, so they stay.
    const bool container = std::any_of(monitors.begin(), monitors.end(), [&](const ScreenRect& o) {
      return !(o == m) && holds(m, o);
    });
    if (!container) chosen.push_back(m);
  }
  return chosen;
}
