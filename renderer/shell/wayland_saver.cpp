// The Wayland shell that runSaver drives: the connection and its globals,
// one view per output as spots for the scenes, and the wait on the
// compositor's events. Its parts: wayland_outputs.cpp (registry, outputs,
// views), wayland_seat.cpp (seats, input), egl_context.cpp (EGL).
#include "renderer/shell/wayland_saver.h"

#include <poll.h>
#include <sched.h>

#include <cstdio>

#include "platform/process/ready_pipe.h"
#include "renderer/shell/frame_pacing.h"
#include "renderer/shell/posix_saver_steps.h"
#include "renderer/shell/saver_run.h"
#include "renderer/shell/wayland_shell.h"

// In wayland_outputs.cpp: the registry's listener functions.
void registryGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                    uint32_t version);
void registryGlobalRemove(void* data, wl_registry*, uint32_t name);

namespace {
const wl_registry_listener kRegistryListener = {registryGlobal, registryGlobalRemove};
}  // namespace

WaylandShell::WaylandShell(bool giveWay)
    : giveWay_(giveWay), input_([this](const SaverEvent& event) { handle(event); }) {}

WaylandShell::~WaylandShell() { close(); }

bool WaylandShell::connect() {
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
  return egl_.open(display_);
}

bool WaylandShell::openSurfaces() {
  viewsWanted_ = true;
  for (auto& output : outputs_)
    if (output->described) makeView(*output);
  return true;
}

std::vector<SceneSpot> WaylandShell::spots() {
  std::vector<SceneSpot> list;
  for (auto& output : outputs_) {
    if (!output->drawable()) continue;
    list.push_back({output->globalName, ScreenRect{0, 0, output->width, output->height},
                    output->frame == nullptr});
  }
  return list;
}

RenderSurface& WaylandShell::sceneSurface(std::size_t key) {
  for (auto& output : outputs_)
    if (output->globalName == key) return *output;
  return noSurface_;
}

void WaylandShell::reportNoContext(std::uint64_t) {
  std::fprintf(stderr, "Miravel.dll: no OpenGL context on an output; it stays empty\n");
}

void WaylandShell::lowerPriority() { lowerProcessPriority(); }

bool WaylandShell::readEvents(int timeoutMs, bool dispatch) {
  while (wl_display_prepare_read(display_) != 0) {
    // Events are queued already: nothing to wait for.
    if (!dispatch) return true;
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
  return !dispatch || wl_display_dispatch_pending(display_) >= 0;
}

bool WaylandShell::dispatchPending() {
  if (!display_ || !running_) return false;
  // Outputs whose global went last turn: the run has let their scenes go.
  destroyGoneOutputs();
  if (!readEvents(0, true)) {
    // The compositor went away: nothing is left to draw on.
    running_ = false;
    return false;
  }
  input_.endOfEvents();
  return running_ && !endRequested();
}

void WaylandShell::wait(std::int64_t micros) {
  if (micros <= 0) {
    sched_yield();
    return;
  }
  // Read, not handled: the events are handled first on the next turn.
  if (!readEvents(static_cast<int>((micros + 999) / 1000), false)) running_ = false;
}

std::int64_t WaylandShell::nowMicros() { return monotonicMicros(); }

void WaylandShell::present(bool drew) {
  if (!drew || readyReported_) return;
  readyReported_ = true;
  // The launcher cannot see our views: it learns here that we are up.
  platform::reportRendererReady(platform::ReadyShell::Wayland);
}

int WaylandShell::close() {
  for (auto& output : outputs_) destroyOutput(*output);
  outputs_.clear();
  releaseSeats();
  egl_.terminate();
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
  return 0;
}

bool runWaylandSaver(int& exitCode, bool giveWay) {
  WaylandShell shell(giveWay);
  FramePacer noCap(0);
  const SaverRunResult result = runSaver(shell, noCap);
  if (result.end == SaverRunEnd::NoPlatform) return false;
  exitCode = result.exitCode;
  return true;
}
