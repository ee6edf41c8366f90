// Fractional scale on Wayland: wp_fractional_scale_v1 tells a surface its
// preferred scale in 120ths, wp_viewporter shows a buffer of exactly that
// many pixels at the surface's size. Both globals are needed; a compositor
// that offers one without the other gets whole scales only. The size rule
// itself is surface_size.h.
#pragma once

#include <cstdint>
#include <functional>

#include "renderer/shell/surface_size.h"

struct wl_registry;
struct wl_surface;
struct wp_fractional_scale_manager_v1;
struct wp_fractional_scale_v1;
struct wp_viewporter;
struct wp_viewport;

class WaylandScaleGlobals {
 public:
  ~WaylandScaleGlobals() { destroy(); }
  // Binds `interface` when it is one of the two; true when it was.
  bool bind(wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t version);
  bool available() const { return manager_ && viewporter_; }
  void destroy();

  wp_fractional_scale_manager_v1* manager() const { return manager_; }
  wp_viewporter* viewporter() const { return viewporter_; }

 private:
  wp_fractional_scale_manager_v1* manager_ = nullptr;
  wp_viewporter* viewporter_ = nullptr;
};

// One view's fractional scale and viewport.
class WaylandViewScale {
 public:
  ~WaylandViewScale() { destroy(); }
  // Asks for `surface`'s preferred scale when both globals are there;
  // `changed` runs whenever a new one arrives.
  void attach(const WaylandScaleGlobals& globals, wl_surface* surface,
              std::function<void()> changed);
  // What the compositor said, in 120ths; 0 before it said anything.
  int preferredScale120() const { return preferred120_; }
  bool hasViewport() const { return viewport_ != nullptr; }
  // Applies `size`: the viewport's destination, or none at all for a
  // buffer shown at its whole scale.
  void apply(const SurfaceSize& size);
  void destroy();

  // Called from the listener.
  void onPreferredScale(std::uint32_t scale120);

 private:
  wp_fractional_scale_v1* fractional_ = nullptr;
  wp_viewport* viewport_ = nullptr;
  int preferred120_ = 0;
  std::function<void()> changed_;
};

// With MIRAVEL_REPORT_SIZES set, one line on standard error per new size of
// a view: the buffer's pixels and how they are scaled. Off by default.
void reportSurfaceSize(int view, const SurfaceSize& size);
