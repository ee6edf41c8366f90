// The Wayland shell's parts, shared by its files: the outputs and their
// fullscreen views (wayland_outputs.cpp), the seats and input
// (wayland_seat.cpp), the one EGL context (egl_context.cpp) and the shell
// that runSaver drives (wayland_saver.cpp).
#pragma once

#include <EGL/egl.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "renderer/curtain/gl_scene.h"
#include "renderer/shell/saver_input.h"
#include "renderer/shell/saver_shell.h"
#include "renderer/shell/wayland_input.h"
#include "renderer/shell/wayland_surface_scale.h"
#include "xdg-shell-client-protocol.h"

class WaylandShell;

// One output and the fullscreen view on it. Its scene shares the shell's one
// context: makeCurrent binds the context to this output's EGL surface.
struct WaylandOutput : RenderSurface {
  WaylandShell* shell = nullptr;
  std::uint32_t globalName = 0;
  wl_output* output = nullptr;
  int modeWidth = 0, modeHeight = 0;  // the current mode, in pixels
  int scale = 1;
  bool described = false;  // the first `done` came: the mode is known
  bool gone = false;       // its global went: destroyed on the next turn

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

  // Ready for a scene: the view has its EGL surface.
  bool drawable() const { return !gone && eglSurface != EGL_NO_SURFACE; }
};

struct WaylandSeat {
  WaylandShell* shell = nullptr;
  std::uint32_t globalName = 0;
  wl_seat* seat = nullptr;
  std::uint32_t version = 0;
  wl_keyboard* keyboard = nullptr;
  wl_pointer* pointer = nullptr;
};

// The EGL display, config and the one context with desktop OpenGL.
class EglContext {
 public:
  // False, with a message, when the display offers no way to draw.
  bool open(wl_display* display);
  bool makeCurrentOn(WaylandOutput& output);
  EGLSurface createSurface(wl_egl_window* window);
  void destroySurface(EGLSurface surface);
  void swap(EGLSurface surface);
  // Unbinds and deletes the context; the display stays.
  void releaseContext();
  void terminate();
  bool hasContext() const { return context_ != EGL_NO_CONTEXT; }

 private:
  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLConfig config_ = nullptr;
  EGLContext context_ = EGL_NO_CONTEXT;
};

class WaylandShell : public SaverShell {
 public:
  explicit WaylandShell(bool giveWay);
  ~WaylandShell() override;

  // SaverShell
  bool connect() override;
  bool anotherSaverUp() override { return giveWay_; }
  bool openSurfaces() override;
  std::vector<SceneSpot> spots() override;
  void reportNoContext(std::uint64_t key) override;
  bool dispatchPending() override;
  void wait(std::int64_t micros) override;
  std::int64_t nowMicros() override;
  void present(bool drew) override;
  int close() override;

  // SaverWindowSteps: the pointer is hidden per surface on every enter, and
  // every view has its title from the start, so those keep the defaults.
  void lowerPriority() override;
  RenderSurface& surface() override { return noSurface_; }
  RenderSurface& sceneSurface(std::size_t key) override;
  void releaseSurface() override { egl_.releaseContext(); }

  // Called from the listeners (wayland_outputs.cpp, wayland_seat.cpp).
  void onGlobal(wl_registry* registry, std::uint32_t name, const char* interface,
                std::uint32_t version);
  void onGlobalRemove(std::uint32_t name);
  void onOutputDone(WaylandOutput& output);
  void onConfigure(WaylandOutput& output, std::uint32_t serial);
  // Sizes the view's buffer from its configure, its output and its
  // preferred scale; also when only the preferred scale changed.
  void applySize(WaylandOutput& output);
  void onCapabilities(WaylandSeat& seat, std::uint32_t capabilities);
  void onPointerEnter(wl_pointer* pointer, std::uint32_t serial, wl_surface* surface, double x,
                      double y);
  void onCloseRequest();
  void onPostedCloseDone(wl_callback* callback);

  WaylandInput& input() { return input_; }
  EglContext& egl() { return egl_; }

 private:
  // A surface for the steps' calls that want the window's own: there is none.
  struct NoSurface : RenderSurface {
    bool createContext() override { return false; }
    void clientRect(int& l, int& t, int& r, int& b) const override { l = t = r = b = 0; }
    void swapBuffers() override {}
  };

  void handle(const SaverEvent& event);
  void postClose();
  void makeView(WaylandOutput& output);
  void destroyOutput(WaylandOutput& output);
  void destroyGoneOutputs();
  void addSeat(wl_registry* registry, std::uint32_t name, std::uint32_t version);
  // False when no seat has that global name.
  bool removeSeat(std::uint32_t name);
  void releaseSeatDevices(WaylandSeat& seat, bool keyboard, bool pointer);
  void releaseSeats();
  // Reads what the compositor sent, waiting up to `timeoutMs` for it; with
  // `dispatch`, hands every queued event to its listener. False when the
  // connection is lost.
  bool readEvents(int timeoutMs, bool dispatch);

  bool giveWay_;
  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  wl_compositor* compositor_ = nullptr;
  std::uint32_t compositorVersion_ = 0;
  xdg_wm_base* wmBase_ = nullptr;
  WaylandScaleGlobals scaleGlobals_;
  int viewsMade_ = 0;
  std::vector<std::unique_ptr<WaylandOutput>> outputs_;
  std::vector<std::unique_ptr<WaylandSeat>> seats_;
  std::vector<wl_callback*> postedCloses_;
  EglContext egl_;
  NoSurface noSurface_;

  WaylandInput input_;
  // Which pointer entered last, with its serial: a hidden cursor is set with
  // them when the rules ask for it.
  wl_pointer* enteredPointer_ = nullptr;
  std::uint32_t enterSerial_ = 0;

  bool running_ = true;
  bool viewsWanted_ = false;  // openSurfaces ran: described outputs get views
  bool readyReported_ = false;
};
