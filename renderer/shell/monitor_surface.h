// One window over several monitors: each monitor's part of the window is a
// surface of its own for that monitor's scene, sharing the window's context.
// Used by every shell that draws several monitors into one window (X11,
// Win32); a shell with one surface per output (Wayland) needs none.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "renderer/curtain/gl_scene.h"
#include "renderer/shell/monitor_layout.h"
#include "renderer/shell/saver_shell.h"

// A monitor's rectangle (window coordinates, top-down) as the client area of
// the window's context. Its swap does nothing: the window is swapped once
// after every monitor drew.
class MonitorViewSurface : public RenderSurface {
 public:
  MonitorViewSurface(RenderSurface& window, const ScreenRect& view)
      : window_(window), view_(view) {}
  void setView(const ScreenRect& view) { view_ = view; }
  bool createContext() override { return window_.createContext(); }
  void clientRect(int& left, int& top, int& right, int& bottom) const override;
  void swapBuffers() override {}
  bool sharesContext() const override { return true; }
  void makeCurrent() override { window_.makeCurrent(); }
  int drawableHeight() const override;

 private:
  RenderSurface& window_;
  ScreenRect view_;
};

// The monitors' surfaces of one window, following the layout as it changes.
// A monitor keeps its key (its place in the layout's list) and its surface
// while it is there; surfaces are never freed before the window, so a scene
// that is let go after its monitor went still points at a live one.
class MonitorSurfaces {
 public:
  explicit MonitorSurfaces(RenderSurface& window) : window_(window) {}
  void follow(const MonitorLayout& layout);
  const MonitorLayout& layout() const { return layout_; }
  std::vector<SceneSpot> spots() const;
  // The surface of spot `key`; the first one for a key never listed.
  RenderSurface& surface(std::uint64_t key);

 private:
  RenderSurface& window_;
  MonitorLayout layout_;
  std::vector<std::unique_ptr<MonitorViewSurface>> surfaces_;
};
