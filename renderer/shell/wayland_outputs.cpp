// The Wayland shell's registry and outputs: the globals it binds, each
// output's mode and scale, the fullscreen xdg-shell view made on it, the
// size its buffer is drawn at, and the frame callback that paces it.
#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/names/program_names.h"
#include "renderer/shell/wayland_shell.h"

namespace {

constexpr const char* kTitle = names::kRendererTitle;
constexpr const char* kAppId = "miravel";

void outputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                    const char*, int32_t) {}
void outputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
  auto* output = static_cast<WaylandOutput*>(data);
  if (flags & WL_OUTPUT_MODE_CURRENT) {
    output->modeWidth = width;
    output->modeHeight = height;
  }
}
void outputDone(void* data, wl_output*) {
  auto* output = static_cast<WaylandOutput*>(data);
  output->shell->onOutputDone(*output);
}
void outputScale(void* data, wl_output*, int32_t factor) {
  static_cast<WaylandOutput*>(data)->scale = factor > 0 && factor <= 16 ? factor : 1;
}
// Bound at version 3 at most: the name and description events never come.
const wl_output_listener kOutputListener = {outputGeometry, outputMode, outputDone, outputScale,
                                            nullptr, nullptr};

void wmBasePing(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }
const xdg_wm_base_listener kWmBaseListener = {wmBasePing};

void xdgSurfaceConfigure(void* data, xdg_surface*, uint32_t serial) {
  auto* output = static_cast<WaylandOutput*>(data);
  output->shell->onConfigure(*output, serial);
}
const xdg_surface_listener kXdgSurfaceListener = {xdgSurfaceConfigure};

void toplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
  auto* output = static_cast<WaylandOutput*>(data);
  output->pendingWidth = width;
  output->pendingHeight = height;
}
void toplevelClose(void* data, xdg_toplevel*) {
  static_cast<WaylandOutput*>(data)->shell->onCloseRequest();
}
// xdg_wm_base is bound at version 1: no bounds or capabilities events.
const xdg_toplevel_listener kToplevelListener = {toplevelConfigure, toplevelClose, nullptr,
                                                 nullptr};

void frameDone(void* data, wl_callback* callback, uint32_t) {
  auto* output = static_cast<WaylandOutput*>(data);
  wl_callback_destroy(callback);
  if (output->frame == callback) output->frame = nullptr;
}
const wl_callback_listener kFrameListener = {frameDone};

}  // namespace

void registryGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                    uint32_t version) {
  static_cast<WaylandShell*>(data)->onGlobal(registry, name, interface, version);
}
void registryGlobalRemove(void* data, wl_registry*, uint32_t name) {
  static_cast<WaylandShell*>(data)->onGlobalRemove(name);
}

void WaylandOutput::swapBuffers() {
  // Our own frame callback paces this output: its next frame is due when the
  // compositor has shown this one. An output that is switched off sends
  // none, and then simply gets no frames while input is still served.
  if (!frame) {
    frame = wl_surface_frame(wlSurface);
    wl_callback_add_listener(frame, &kFrameListener, this);
  }
  shell->egl().swap(eglSurface);
}

void WaylandShell::onGlobal(wl_registry* registry, std::uint32_t name, const char* interface,
                            std::uint32_t version) {
  if (scaleGlobals_.bind(registry, name, interface, version)) return;
  const std::string which = interface;
  if (which == wl_compositor_interface.name && !compositor_) {
    compositorVersion_ = std::min(version, 4u);
    compositor_ = static_cast<wl_compositor*>(
        wl_registry_bind(registry, name, &wl_compositor_interface, compositorVersion_));
  } else if (which == xdg_wm_base_interface.name && !wmBase_) {
    wmBase_ = static_cast<xdg_wm_base*>(
        wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
    xdg_wm_base_add_listener(wmBase_, &kWmBaseListener, this);
  } else if (which == wl_output_interface.name && version >= 2) {
    auto output = std::make_unique<WaylandOutput>();
    output->shell = this;
    output->globalName = name;
    output->output = static_cast<wl_output*>(
        wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 3u)));
    wl_output_add_listener(output->output, &kOutputListener, output.get());
    outputs_.push_back(std::move(output));
  } else if (which == wl_seat_interface.name) {
    addSeat(registry, name, version);
  }
}

void WaylandShell::onGlobalRemove(std::uint32_t name) {
  for (auto& output : outputs_) {
    if (output->globalName != name) continue;
    // The other outputs keep their curtains. This one's scene is let go by
    // the run before its view goes, on the next turn.
    output->gone = true;
    return;
  }
  removeSeat(name);
}

void WaylandShell::destroyGoneOutputs() {
  for (auto it = outputs_.begin(); it != outputs_.end();) {
    if ((*it)->gone) {
      destroyOutput(**it);
      it = outputs_.erase(it);
    } else {
      ++it;
    }
  }
}

void WaylandShell::onOutputDone(WaylandOutput& output) {
  if (output.described) return;
  output.described = true;
  // connect() only gathers the outputs; openSurfaces() makes their views.
  if (viewsWanted_ && running_) makeView(output);
}

void WaylandShell::makeView(WaylandOutput& output) {
  if (output.wlSurface || output.gone) return;
  output.wlSurface = wl_compositor_create_surface(compositor_);
  output.number = viewsMade_++;
  input_.addSurface(output.wlSurface);
  // A new preferred scale is a new size without a configure.
  output.viewScale.attach(scaleGlobals_, output.wlSurface, [this, &output] {
    if (output.configured) applySize(output);
  });
  output.xdgSurface = xdg_wm_base_get_xdg_surface(wmBase_, output.wlSurface);
  xdg_surface_add_listener(output.xdgSurface, &kXdgSurfaceListener, &output);
  output.toplevel = xdg_surface_get_toplevel(output.xdgSurface);
  xdg_toplevel_add_listener(output.toplevel, &kToplevelListener, &output);
  xdg_toplevel_set_title(output.toplevel, kTitle);
  xdg_toplevel_set_app_id(output.toplevel, kAppId);
  xdg_toplevel_set_fullscreen(output.toplevel, output.output);
  // No buffer yet: the compositor answers with the size to draw at.
  wl_surface_commit(output.wlSurface);
}

void WaylandShell::onConfigure(WaylandOutput& output, std::uint32_t serial) {
  xdg_surface_ack_configure(output.xdgSurface, serial);
  output.configured = true;
  applySize(output);
}

void WaylandShell::applySize(WaylandOutput& output) {
  SurfaceFacts facts;
  facts.configuredWidth = output.pendingWidth;
  facts.configuredHeight = output.pendingHeight;
  facts.modeWidth = output.modeWidth;
  facts.modeHeight = output.modeHeight;
  facts.outputScale = output.scale;
  facts.canSetBufferScale = compositorVersion_ >= 3;  // set_buffer_scale came in 3
  facts.preferredScale120 = output.viewScale.preferredScale120();
  facts.hasViewport = output.viewScale.hasViewport();
  const SurfaceSize size = chooseSurfaceSize(facts);
  const bool changed = !(size == output.size);
  const bool resized = size.bufferWidth != output.width || size.bufferHeight != output.height;
  output.size = size;
  output.width = size.bufferWidth;
  output.height = size.bufferHeight;
  const int width = output.width;
  const int height = output.height;
  if (size.bufferScale != output.bufferScale) {
    wl_surface_set_buffer_scale(output.wlSurface, size.bufferScale);
    output.bufferScale = size.bufferScale;
  }
  if (changed) {
    output.viewScale.apply(size);
    // Opaque: nothing behind the curtains is blended through.
    wl_region* region = wl_compositor_create_region(compositor_);
    wl_region_add(region, 0, 0, size.surfaceWidth, size.surfaceHeight);
    wl_surface_set_opaque_region(output.wlSurface, region);
    wl_region_destroy(region);
    reportSurfaceSize(output.number, size);
  }

  if (!output.eglWindow) {
    // The run gives the view its scene once it is listed with its surface.
    output.eglWindow = wl_egl_window_create(output.wlSurface, width, height);
    if (output.eglWindow) output.eglSurface = egl_.createSurface(output.eglWindow);
    if (output.eglSurface == EGL_NO_SURFACE)
      std::fprintf(stderr, "Miravel.dll: no EGL surface for an output; it stays empty\n");
  } else if (resized) {
    // The run sees the new size in the output's spot and reshapes its scene.
    wl_egl_window_resize(output.eglWindow, width, height, 0, 0);
  }
}

void WaylandShell::destroyOutput(WaylandOutput& output) {
  if (output.frame) wl_callback_destroy(output.frame);
  output.frame = nullptr;
  if (output.eglSurface != EGL_NO_SURFACE) egl_.destroySurface(output.eglSurface);
  output.eglSurface = EGL_NO_SURFACE;
  if (output.eglWindow) wl_egl_window_destroy(output.eglWindow);
  output.eglWindow = nullptr;
  output.viewScale.destroy();
  if (output.toplevel) xdg_toplevel_destroy(output.toplevel);
  if (output.xdgSurface) xdg_surface_destroy(output.xdgSurface);
  if (output.wlSurface) {
    input_.removeSurface(output.wlSurface);
    wl_surface_destroy(output.wlSurface);
  }
  output.toplevel = nullptr;
  output.xdgSurface = nullptr;
  output.wlSurface = nullptr;
  if (output.output) wl_output_destroy(output.output);
  output.output = nullptr;
}
