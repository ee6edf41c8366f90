#include "renderer/shell/wayland_surface_scale.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"

namespace {

void preferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale) {
  static_cast<WaylandViewScale*>(data)->onPreferredScale(scale);
}
const wp_fractional_scale_v1_listener kFractionalListener = {preferredScale};

}  // namespace

bool WaylandScaleGlobals::bind(wl_registry* registry, std::uint32_t name, const char* interface,
                               std::uint32_t) {
  if (std::strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0) {
    if (!manager_)
      manager_ = static_cast<wp_fractional_scale_manager_v1*>(
          wl_registry_bind(registry, name, &wp_fractional_scale_manager_v1_interface, 1));
    return true;
  }
  if (std::strcmp(interface, wp_viewporter_interface.name) == 0) {
    if (!viewporter_)
      viewporter_ = static_cast<wp_viewporter*>(
          wl_registry_bind(registry, name, &wp_viewporter_interface, 1));
    return true;
  }
  return false;
}

void WaylandScaleGlobals::destroy() {
  if (manager_) wp_fractional_scale_manager_v1_destroy(manager_);
  if (viewporter_) wp_viewporter_destroy(viewporter_);
  manager_ = nullptr;
  viewporter_ = nullptr;
}

void WaylandViewScale::attach(const WaylandScaleGlobals& globals, wl_surface* surface,
                              std::function<void()> changed) {
  if (!globals.available() || fractional_) return;
  changed_ = std::move(changed);
  fractional_ = wp_fractional_scale_manager_v1_get_fractional_scale(globals.manager(), surface);
  wp_fractional_scale_v1_add_listener(fractional_, &kFractionalListener, this);
  viewport_ = wp_viewporter_get_viewport(globals.viewporter(), surface);
}

void WaylandViewScale::onPreferredScale(std::uint32_t scale120) {
  const int scale = scale120 <= 16 * 120 ? static_cast<int>(scale120) : 0;
  if (scale == preferred120_) return;
  preferred120_ = scale;
  if (changed_) changed_();
}

void WaylandViewScale::apply(const SurfaceSize& size) {
  if (!viewport_) return;
  if (size.viewport)
    wp_viewport_set_destination(viewport_, size.surfaceWidth, size.surfaceHeight);
  else
    wp_viewport_set_destination(viewport_, -1, -1);  // unset: the buffer's own size
}

void WaylandViewScale::destroy() {
  if (viewport_) wp_viewport_destroy(viewport_);
  if (fractional_) wp_fractional_scale_v1_destroy(fractional_);
  viewport_ = nullptr;
  fractional_ = nullptr;
  changed_ = nullptr;
}

void reportSurfaceSize(int view, const SurfaceSize& size) {
  static const bool wanted = std::getenv("MIRAVEL_REPORT_SIZES") != nullptr;
  if (!wanted) return;
  if (size.viewport)
    std::fprintf(stderr, "Miravel.dll: view %d buffer %dx%d shown at %dx%d\n", view,
                 size.bufferWidth, size.bufferHeight, size.surfaceWidth, size.surfaceHeight);
  else
    std::fprintf(stderr, "Miravel.dll: view %d buffer %dx%d at scale %d\n", view,
                 size.bufferWidth, size.bufferHeight, size.bufferScale);
}
