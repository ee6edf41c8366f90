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

}  // namespace

std::vector<ScreenRect> chooseMonitors(const MonitorListing& listing) {
  std::vector<ScreenRect> monitors;
  if (listing.haveMonitors) monitors = withArea(listing.monitors);
  if (monitors.empty() && listing.haveHeads) monitors = withArea(listing.heads);
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
