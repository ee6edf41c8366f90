#include "launcher/settings_music/dialog_zoom.h"

ZoomPointType ZoomPoint;

void RememberZoomPoint(bool known, long x, long y) {
  if (!known || x < INT16_MIN || x > INT16_MAX || y < INT16_MIN || y > INT16_MAX) {
    ZoomPoint = ZoomPointType{};
    return;
  }
  ZoomPoint.x = static_cast<int16_t>(x);
  ZoomPoint.y = static_cast<int16_t>(y);
}

namespace dialog {
namespace {

int between(int a, int b, int step, int steps) {
  long long d = static_cast<long long>(b - a) * step;
  return a + static_cast<int>(d / steps);
}

}  // namespace

std::vector<ScreenRect> zoomFrames(const ScreenRect& from, const ScreenRect& to, int steps) {
  std::vector<ScreenRect> out;
  for (int i = 1; i <= steps; ++i) {
    out.push_back({between(from.left, to.left, i, steps), between(from.top, to.top, i, steps),
                   between(from.right, to.right, i, steps),
                   between(from.bottom, to.bottom, i, steps)});
  }
  return out;
}

ScreenRect zoomPointRect() { return {ZoomPoint.x, ZoomPoint.y, ZoomPoint.x, ZoomPoint.y}; }

}  // namespace dialog
