// The Wayland shell: registry, outputs, seats, xdg-shell toplevels and EGL.
// The rules it feeds (creation steps, input rules, the seat bookkeeping in
// WaylandInput, the pixel-format scoring) are plain code of their own.
#include "renderer/shell/wayland_saver.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/process/ready_pipe.h"
#include "platform/names/program_names.h"
#include "renderer/curtain/gl_scene.h"
#include "renderer/shell/egl_pixel_format.h"
#include "renderer/shell/saver_creation.h"
#include "renderer/shell/wayland_input.h"
#include "renderer/shell/wayland_surface_scale.h"
#include "renderer/shell/x11_window_steps.h"
#include "xdg-shell-client-protocol.h"

namespace {

constexpr const char* kTitle = names::kRendererTitle;
constexpr const char* kAppId = "miravel";

class WaylandSaver;

// One output and the fullscreen view on it. Its scene shares the shell's one
// context: makeCurrent binds the context to this output's EGL surface.
struct Output : RenderSurface, X11WindowSteps {
  WaylandSaver* shell = nullptr;
  std::uint32_t globalName = 0;
  wl_output* output = nullptr;
  int modeWidth = 0, modeHeight = 0;  // the current mode, in pixels
  int scale = 1;
  bool described = false;  // the first `done` came: the mode is known

  wl_surface* wlSurface = nullptr;
  xdg_surface* xdgSurface = nullptr;
  xdg_toplevel* toplevel = nullptr;
  int pendingWidth = 0, pendingHeight = 0;  // from the toplevel's configure
  bool configured = false;                  // the first configure was acked
  int width = 0, height = 0;                // the buffer's size, in pixels
  int bufferScale = 1;
  SurfaceSize size;
  WaylandViewScale viewScale;
  int number = 0;  // the view's place in the order the views were made
  wl_egl_window* eglWindow = nullptr;
  EGLSurface eglSurface = EGL_NO_SURFACE;
  wl_callback* frame = nullptr;  // a frame is due once this is done
  bool intervalSet = false;
  bool drawing = false;  // its scene has a context: frames are drawn
  CurtainScene scene;

  // RenderSurface
  bool createContext() override;
  void clientRect(int& left, int& top, int& right, int& bottom) const override {
    left = 0;
    top = 0;
    right = width;
    bottom = height;
  }
  void swapBuffers() override;
  bool sharesContext() const override { return true; }
  void makeCurrent() override;

  // SaverWindowSteps: the pointer is hidden per surface on every enter, so
  // the defaults do; the title goes to this output's toplevel.
  void setTitle(const char* title) override {
    if (toplevel) xdg_toplevel_set_title(toplevel, title);
  }
  RenderSurface& surface() override { return *this; }
  void releaseSurface() override {}

  // A surface whose scene cannot draw never asks for a frame, so it is never
  // due: waiting for it would turn the loop into a busy one.
  bool due() const { return drawing && eglSurface != EGL_NO_SURFACE && !frame; }
};

struct Seat {
  WaylandSaver* shell = nullptr;
  std::uint32_t globalName = 0;
  wl_seat* seat = nullptr;
  std::uint32_t version = 0;
  wl_keyboard* keyboard = nullptr;
  wl_pointer* pointer = nullptr;
};

class WaylandSaver {
 public:
  WaylandSaver();
  ~WaylandSaver();

  // Connection, globals, EGL display, config and context. False when any of
  // them is missing: nothing has been shown.
  bool open();
  int run();

  // Called from the listeners.
  void onGlobal(wl_registry* registry, std::uint32_t name, const char* interface,
                std::uint32_t version);
  void onGlobalRemove(std::uint32_t name);
  void onOutputDone(Output& output);
  void onConfigure(Output& output, std::uint32_t serial);
  void applySize(Output& output);
  void onFrameDone(Output& output);
  void onCapabilities(Seat& seat, std::uint32_t capabilities);
  void onPointerEnter(wl_pointer* pointer, std::uint32_t serial, wl_surface* surface, double x,
                      double y);
  void onCloseRequest() { handle(closeEvent()); }
  void onPostedCloseDone(wl_callback* callback);

  bool makeCurrentOn(Output& output);
  void afterSwap();

  WaylandInput& input() { return input_; }
  EGLDisplay eglDisplay() const { return eglDisplay_; }
  xdg_wm_base* wmBase() const { return wmBase_; }

 private:
  static SaverEvent closeEvent() {
    SaverEvent event;
    event.kind = SaverEventKind::CloseRequest;
    return event;
  }
  void handle(const SaverEvent& event);
  void postClose();
  void makeView(Output& output);
  void destroyOutput(Output& output);
  void releaseSeatDevices(Seat& seat, bool keyboard, bool pointer);
  bool readEvents(int timeoutMs);
  void drawDueFrames();
  void teardown();

  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  wl_compositor* compositor_ = nullptr;
  std::uint32_t compositorVersion_ = 0;
  xdg_wm_base* wmBase_ = nullptr;
  WaylandScaleGlobals scaleGlobals_;
  int viewsMade_ = 0;
  std::vector<std::unique_ptr<Output>> outputs_;
  std::vector<std::unique_ptr<Seat>> seats_;
  std::vector<wl_callback*> postedCloses_;

  EGLDisplay eglDisplay_ = EGL_NO_DISPLAY;
  EGLConfig eglConfig_ = nullptr;
  EGLContext eglContext_ = EGL_NO_CONTEXT;

  WaylandInput input_;
  // Which pointer entered last, with its serial: a hidden cursor is set with
  // them when the rules ask for it.
  wl_pointer* enteredPointer_ = nullptr;
  std::uint32_t enterSerial_ = 0;

  bool running_ = true;
  bool created_ = false;  // the creation steps ran (for the first output)
  bool readyReported_ = false;
};

// ---- Listeners ---------------------------------------------------------------

void outputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                    const char*, int32_t) {}
void outputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
  auto* output = static_cast<Output*>(data);
  if (flags & WL_OUTPUT_MODE_CURRENT) {
    output->modeWidth = width;
    output->modeHeight = height;
  }
}
void outputDone(void* data, wl_output*) {
  auto* output = static_cast<Output*>(data);
  output->shell->onOutputDone(*output);
}
void outputScale(void* data, wl_output*, int32_t factor) {
  static_cast<Output*>(data)->scale = factor > 0 && factor <= 16 ? factor : 1;
}
// Bound at version 3 at most: the name and description events never come.
const wl_output_listener kOutputListener = {outputGeometry, outputMode, outputDone, outputScale,
                                            nullptr, nullptr};

void wmBasePing(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }
const xdg_wm_base_listener kWmBaseListener = {wmBasePing};

void xdgSurfaceConfigure(void* data, xdg_surface*, uint32_t serial) {
  auto* output = static_cast<Output*>(data);
  output->shell->onConfigure(*output, serial);
}
const xdg_surface_listener kXdgSurfaceListener = {xdgSurfaceConfigure};

void toplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
  auto* output = static_cast<Output*>(data);
  output->pendingWidth = width;
  output->pendingHeight = height;
}
void toplevelClose(void* data, xdg_toplevel*) {
  static_cast<Output*>(data)->shell->onCloseRequest();
}
// xdg_wm_base is bound at version 1: no bounds or capabilities events.
const xdg_toplevel_listener kToplevelListener = {toplevelConfigure, toplevelClose, nullptr,
                                                 nullptr};

void frameDone(void* data, wl_callback*, uint32_t) {
  auto* output = static_cast<Output*>(data);
  output->shell->onFrameDone(*output);
}
const wl_callback_listener kFrameListener = {frameDone};

void postedCloseDone(void* data, wl_callback* callback, uint32_t) {
  static_cast<WaylandSaver*>(data)->onPostedCloseDone(callback);
}
const wl_callback_listener kPostedCloseListener = {postedCloseDone};

// Keyboard: any press ends the run, so the keymap is never read; its
// descriptor is closed all the same.
void keyboardKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) {
  if (fd >= 0) close(fd);
}
void keyboardEnter(void* data, wl_keyboard* keyboard, uint32_t, wl_surface* surface, wl_array*) {
  static_cast<Seat*>(data)->shell->input().keyboardEnter(keyboard, surface);
}
void keyboardLeave(void* data, wl_keyboard* keyboard, uint32_t, wl_surface* surface) {
  static_cast<Seat*>(data)->shell->input().keyboardLeave(keyboard, surface);
}
void keyboardKey(void* data, wl_keyboard* keyboard, uint32_t, uint32_t, uint32_t, uint32_t state) {
  static_cast<Seat*>(data)->shell->input().key(keyboard, state == WL_KEYBOARD_KEY_STATE_PRESSED);
}
void keyboardModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void keyboardRepeat(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener kKeyboardListener = {keyboardKeymap,    keyboardEnter, keyboardLeave,
                                                keyboardKey,       keyboardModifiers,
                                                keyboardRepeat};

void pointerEnter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface* surface,
                  wl_fixed_t x, wl_fixed_t y) {
  static_cast<Seat*>(data)->shell->onPointerEnter(pointer, serial, surface, wl_fixed_to_double(x),
                                                  wl_fixed_to_double(y));
}
void pointerLeave(void* data, wl_pointer* pointer, uint32_t, wl_surface* surface) {
  static_cast<Seat*>(data)->shell->input().pointerLeave(pointer, surface);
}
void pointerMotion(void* data, wl_pointer* pointer, uint32_t, wl_fixed_t x, wl_fixed_t y) {
  static_cast<Seat*>(data)->shell->input().pointerMotion(pointer, wl_fixed_to_double(x),
                                                         wl_fixed_to_double(y));
}
void pointerButton(void* data, wl_pointer* pointer, uint32_t, uint32_t, uint32_t button,
                   uint32_t state) {
  static_cast<Seat*>(data)->shell->input().button(pointer, button,
                                                  state == WL_POINTER_BUTTON_STATE_PRESSED);
}
void pointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void pointerFrame(void*, wl_pointer*) {}
void pointerAxisSource(void*, wl_pointer*, uint32_t) {}
void pointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void pointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
const wl_pointer_listener kPointerListener = {
    pointerEnter, pointerLeave,      pointerMotion,   pointerButton,      pointerAxis,
    pointerFrame, pointerAxisSource, pointerAxisStop, pointerAxisDiscrete,
    nullptr};  // the seat is bound at version 5 at most: no axis_value120

void seatCapabilities(void* data, wl_seat*, uint32_t capabilities) {
  auto* seat = static_cast<Seat*>(data);
  seat->shell->onCapabilities(*seat, capabilities);
}
void seatName(void*, wl_seat*, const char*) {}
const wl_seat_listener kSeatListener = {seatCapabilities, seatName};

void registryGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                    uint32_t version) {
  static_cast<WaylandSaver*>(data)->onGlobal(registry, name, interface, version);
}
void registryGlobalRemove(void* data, wl_registry*, uint32_t name) {
  static_cast<WaylandSaver*>(data)->onGlobalRemove(name);
}
const wl_registry_listener kRegistryListener = {registryGlobal, registryGlobalRemove};

// ---- Output surface ----------------------------------------------------------

bool Output::createContext() { return shell->makeCurrentOn(*this); }

void Output::makeCurrent() { shell->makeCurrentOn(*this); }

void Output::swapBuffers() {
  // Our own frame callback paces this output: its next frame is due when the
  // compositor has shown this one. An output that is switched off sends
  // none, and then simply gets no frames while input is still served.
  if (!frame) {
    frame = wl_surface_frame(wlSurface);
    wl_callback_add_listener(frame, &kFrameListener, this);
  }
  eglSwapBuffers(shell->eglDisplay(), eglSurface);
  shell->afterSwap();
}

// ---- Shell -------------------------------------------------------------------

WaylandSaver::WaylandSaver() : input_([this](const SaverEvent& event) { handle(event); }) {}

WaylandSaver::~WaylandSaver() { teardown(); }

bool WaylandSaver::open() {
  display_ = wl_display_connect(nullptr);
  if (!display_) return false;
  registry_ = wl_display_get_registry(display_);
  wl_registry_add_listener(registry_, &kRegistryListener, this);
  // Globals first, then the outputs' modes and the seats' capabilities.
  if (wl_display_roundtrip(display_) < 0 || wl_display_roundtrip(display_) < 0) return false;
  if (!compositor_ || !wmBase_) {
    std::fprintf(stderr, "Miravel.dll: the Wayland compositor offers no xdg-shell\n");
    return false;
  }

  eglDisplay_ = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display_, nullptr);
  EGLint major = 0, minor = 0;
  if (eglDisplay_ == EGL_NO_DISPLAY || !eglInitialize(eglDisplay_, &major, &minor) ||
      !eglBindAPI(EGL_OPENGL_API)) {
    std::fprintf(stderr, "Miravel.dll: no EGL with desktop OpenGL on this Wayland display\n");
    return false;
  }
  eglConfig_ = chooseEglConfig(eglDisplay_);
  if (!eglConfig_) {
    std::fprintf(stderr, "Miravel.dll: no EGL config to draw to a window with\n");
    return false;
  }
  // The drawing is the fixed-function code shared with GLX and WGL, so the
  // context must be a compatibility one; a request the driver does not know
  // falls back on the default, which is one as well.
  const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                  EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  eglContext_ = eglCreateContext(eglDisplay_, eglConfig_, EGL_NO_CONTEXT, compatibility);
  if (eglContext_ == EGL_NO_CONTEXT)
    eglContext_ = eglCreateContext(eglDisplay_, eglConfig_, EGL_NO_CONTEXT, nullptr);
  if (eglContext_ == EGL_NO_CONTEXT) {
    std::fprintf(stderr, "Miravel.dll: no OpenGL context on this Wayland display\n");
    return false;
  }
  return true;
}

void WaylandSaver::onGlobal(wl_registry* registry, std::uint32_t name, const char* interface,
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
    auto output = std::make_unique<Output>();
    output->shell = this;
    output->globalName = name;
    output->output = static_cast<wl_output*>(
        wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 3u)));
    wl_output_add_listener(output->output, &kOutputListener, output.get());
    outputs_.push_back(std::move(output));
  } else if (which == wl_seat_interface.name) {
    auto seat = std::make_unique<Seat>();
    seat->shell = this;
    seat->globalName = name;
    seat->version = std::min(version, 5u);
    seat->seat =
        static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, seat->version));
    wl_seat_add_listener(seat->seat, &kSeatListener, seat.get());
    seats_.push_back(std::move(seat));
  }
}

void WaylandSaver::onGlobalRemove(std::uint32_t name) {
  for (auto it = outputs_.begin(); it != outputs_.end(); ++it) {
    if ((*it)->globalName != name) continue;
    // The other outputs keep their curtains.
    destroyOutput(**it);
    outputs_.erase(it);
    return;
  }
  for (auto it = seats_.begin(); it != seats_.end(); ++it) {
    if ((*it)->globalName != name) continue;
    releaseSeatDevices(**it, true, true);
    if ((*it)->version >= 5)
      wl_seat_release((*it)->seat);
    else
      wl_seat_destroy((*it)->seat);
    seats_.erase(it);
    return;
  }
}

void WaylandSaver::onOutputDone(Output& output) {
  if (output.described) return;
  output.described = true;
  // open() only gathers the outputs; run() makes their views.
  if (eglContext_ != EGL_NO_CONTEXT && running_) makeView(output);
}

void WaylandSaver::makeView(Output& output) {
  if (output.wlSurface) return;
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

void WaylandSaver::onConfigure(Output& output, std::uint32_t serial) {
  xdg_surface_ack_configure(output.xdgSurface, serial);
  output.configured = true;
  applySize(output);
}

void WaylandSaver::applySize(Output& output) {
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
    output.eglWindow = wl_egl_window_create(output.wlSurface, width, height);
    if (output.eglWindow)
      output.eglSurface =
          eglCreatePlatformWindowSurface(eglDisplay_, eglConfig_, output.eglWindow, nullptr);
    if (output.eglSurface == EGL_NO_SURFACE) {
      std::fprintf(stderr, "Miravel.dll: no EGL surface for an output; it stays empty\n");
      return;
    }
    if (!created_) {
      // The first view is the saver window's creation: settings, priority,
      // scene; then the renderer is ready.
      created_ = true;
      output.drawing = runCreationSteps(output, output.scene);
    } else {
      output.drawing = output.scene.init(output);
    }
    if (!output.drawing)
      std::fprintf(stderr, "Miravel.dll: no OpenGL context on an output; it stays empty\n");
  } else if (resized) {
    wl_egl_window_resize(output.eglWindow, width, height, 0, 0);
    output.scene.reshape();
  }
}

void WaylandSaver::onFrameDone(Output& output) {
  if (output.frame) wl_callback_destroy(output.frame);
  output.frame = nullptr;
}

bool WaylandSaver::makeCurrentOn(Output& output) {
  if (output.eglSurface == EGL_NO_SURFACE) return false;
  if (!eglMakeCurrent(eglDisplay_, output.eglSurface, output.eglSurface, eglContext_))
    return false;
  if (!output.intervalSet) {
    // The interval belongs to the surface that is current: one swap per
    // frame the compositor shows on that output.
    eglSwapInterval(eglDisplay_, 1);
    output.intervalSet = true;
  }
  return true;
}

void WaylandSaver::afterSwap() {
  if (readyReported_) return;
  readyReported_ = true;
  // The launcher cannot see our views: it learns here that we are up.
  platform::reportRendererReady(platform::ReadyShell::Wayland);
}

void WaylandSaver::onCapabilities(Seat& seat, std::uint32_t capabilities) {
  // Bound on every change: keyboards and mice come and go (a virtual
  // keyboard, a mouse plugged in later).
  const bool keyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
  const bool pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
  releaseSeatDevices(seat, seat.keyboard && !keyboard, seat.pointer && !pointer);
  if (keyboard && !seat.keyboard) {
    seat.keyboard = wl_seat_get_keyboard(seat.seat);
    wl_keyboard_add_listener(seat.keyboard, &kKeyboardListener, &seat);
  }
  if (pointer && !seat.pointer) {
    seat.pointer = wl_seat_get_pointer(seat.seat);
    wl_pointer_add_listener(seat.pointer, &kPointerListener, &seat);
  }
}

void WaylandSaver::releaseSeatDevices(Seat& seat, bool keyboard, bool pointer) {
  if (keyboard && seat.keyboard) {
    input_.keyboardGone(seat.keyboard);
    if (seat.version >= 3)
      wl_keyboard_release(seat.keyboard);
    else
      wl_keyboard_destroy(seat.keyboard);
    seat.keyboard = nullptr;
  }
  if (pointer && seat.pointer) {
    input_.pointerGone(seat.pointer);
    if (enteredPointer_ == seat.pointer) enteredPointer_ = nullptr;
    if (seat.version >= 3)
      wl_pointer_release(seat.pointer);
    else
      wl_pointer_destroy(seat.pointer);
    seat.pointer = nullptr;
  }
}

void WaylandSaver::onPointerEnter(wl_pointer* pointer, std::uint32_t serial, wl_surface* surface,
                                  double x, double y) {
  enteredPointer_ = pointer;
  enterSerial_ = serial;
  input_.pointerEnter(saverShellState, pointer, surface, x, y);
}

void WaylandSaver::handle(const SaverEvent& event) {
  if (!running_) return;
  const SaverActions actions = handleSaverInput(saverShellState, event, {});
  if (actions.hideCursor && enteredPointer_) {
    // A pointer with no picture over our surface; the serial is the enter's.
    wl_pointer_set_cursor(enteredPointer_, enterSerial_, nullptr, 0, 0);
  }
  if (actions.postClose) postClose();
  if (actions.destroyWindow) running_ = false;
}

void WaylandSaver::postClose() {
  // Through the compositor and back, so that the request is handled after
  // every event already on its way, as a posted close is on the other
  // platforms.
  wl_callback* callback = wl_display_sync(display_);
  wl_callback_add_listener(callback, &kPostedCloseListener, this);
  postedCloses_.push_back(callback);
}

void WaylandSaver::onPostedCloseDone(wl_callback* callback) {
  postedCloses_.erase(std::remove(postedCloses_.begin(), postedCloses_.end(), callback),
                      postedCloses_.end());
  wl_callback_destroy(callback);
  handle(closeEvent());
}

bool WaylandSaver::readEvents(int timeoutMs) {
  while (wl_display_prepare_read(display_) != 0) {
    if (wl_display_dispatch_pending(display_) < 0) return false;
  }
  wl_display_flush(display_);
  pollfd fd{wl_display_get_fd(display_), POLLIN, 0};
  const int ready = poll(&fd, 1, timeoutMs);
  if (ready > 0 && (fd.revents & POLLIN)) {
    if (wl_display_read_events(display_) < 0) return false;
  } else {
    wl_display_cancel_read(display_);
    if (ready > 0 && (fd.revents & (POLLERR | POLLHUP))) return false;
  }
  return wl_display_dispatch_pending(display_) >= 0;
}

void WaylandSaver::drawDueFrames() {
  for (auto& output : outputs_) {
    if (!running_) return;
    if (output->due())
      output->scene.renderIdle(saverShellState.rendererReady, saverShellState.passwordDialogUp);
  }
}

int WaylandSaver::run() {
  for (auto& output : outputs_)
    if (output->described) makeView(*output);
  while (running_ && !endRequested()) {
    // Events first: every one that has arrived is handled before a frame.
    const bool anyDue = std::any_of(outputs_.begin(), outputs_.end(),
                                    [](const std::unique_ptr<Output>& o) { return o->due(); });
    // Nothing due: wait for the compositor, in slices short enough for a
    // signal that slipped in just before the wait.
    if (!readEvents(anyDue ? 0 : 250)) {
      // The compositor went away: nothing is left to draw on.
      running_ = false;
      break;
    }
    input_.endOfEvents();
    if (!running_) break;
    drawDueFrames();
  }
  teardown();
  return 0;
}

void WaylandSaver::destroyOutput(Output& output) {
  if (output.frame) wl_callback_destroy(output.frame);
  output.frame = nullptr;
  output.scene.release();
  if (output.eglSurface != EGL_NO_SURFACE) {
    eglMakeCurrent(eglDisplay_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(eglDisplay_, output.eglSurface);
    output.eglSurface = EGL_NO_SURFACE;
  }
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

void WaylandSaver::teardown() {
  // The destruction steps' order: no frame from here on, then every scene,
  // then the surfaces and the one context.
  saverShellState.rendererReady = 0;
  for (auto& output : outputs_) destroyOutput(*output);
  outputs_.clear();
  for (wl_callback* callback : postedCloses_) wl_callback_destroy(callback);
  postedCloses_.clear();
  for (auto& seat : seats_) {
    releaseSeatDevices(*seat, true, true);
    wl_seat_destroy(seat->seat);
  }
  seats_.clear();
  if (eglDisplay_ != EGL_NO_DISPLAY) {
    eglMakeCurrent(eglDisplay_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (eglContext_ != EGL_NO_CONTEXT) eglDestroyContext(eglDisplay_, eglContext_);
    eglTerminate(eglDisplay_);
  }
  eglContext_ = EGL_NO_CONTEXT;
  eglDisplay_ = EGL_NO_DISPLAY;
  scaleGlobals_.destroy();
  if (wmBase_) xdg_wm_base_destroy(wmBase_);
  if (compositor_) wl_compositor_destroy(compositor_);
  if (registry_) wl_registry_destroy(registry_);
  wmBase_ = nullptr;
  compositor_ = nullptr;
  registry_ = nullptr;
  if (display_) {
    wl_display_flush(display_);
    wl_display_disconnect(display_);
  }
  display_ = nullptr;
}

}  // namespace

bool runWaylandSaver(int& exitCode, bool giveWay) {
  WaylandSaver saver;
  if (!saver.open()) return false;
  if (giveWay) {
    exitCode = 0;
    return true;
  }
  exitCode = saver.run();
  return true;
}
