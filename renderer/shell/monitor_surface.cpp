#include "renderer/shell/monitor_surface.h"

void MonitorViewSurface::clientRect(int& left, int& top, int& right, int& bottom) const {
  left = view_.left;
  top = view_.top;
  right = view_.right;
  bottom = view_.bottom;
}

int MonitorViewSurface::drawableHeight() const {
  int left = 0, top = 0, right = 0, bottom = 0;
  window_.clientRect(left, top, right, bottom);
  return bottom - top;
}

void MonitorSurfaces::follow(const MonitorLayout& layout) {
  layout_ = layout;
  for (std::size_t i = 0; i < layout_.views.size(); ++i) {
    if (i < surfaces_.size())
      surfaces_[i]->setView(layout_.views[i]);
    else
      surfaces_.push_back(std::make_unique<MonitorViewSurface>(window_, layout_.views[i]));
  }
}

std::vector<SceneSpot> MonitorSurfaces::spots() const {
  std::vector<SceneSpot> list;
  for (std::size_t i = 0; i < layout_.views.size(); ++i)
    list.push_back({i, layout_.views[i], true});
  return list;
}

RenderSurface& MonitorSurfaces::surface(std::uint64_t key) {
  if (surfaces_.empty())
    surfaces_.push_back(std::make_unique<MonitorViewSurface>(window_, ScreenRect{}));
  return *surfaces_[key < surfaces_.size() ? key : 0];
}
