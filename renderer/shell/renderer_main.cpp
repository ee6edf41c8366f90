// Miravel.dll: the full-screen renderer. It opens one window titled
// "KelvaraVC" and draws the light curtains until the user returns, then ends
// with exit code 0. With a display-mode option (-root, -window-id) it draws
// into a screen-saver daemon's window instead (a -window-id that is no window
// number is refused with exit code 2); every other command line is ignored.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/display_mode/display_mode_options.h"
#include "platform/names/program_names.h"
#include "platform/process/ready_pipe.h"
#include "platform/x11/x11_util.h"
#include "renderer/shell/launcher_link.h"
#include "renderer/shell/run_lock.h"
#include "renderer/shell/shell_choice.h"
#include "renderer/shell/wayland_saver.h"
#include "renderer/shell/x11_display_mode.h"
#include "renderer/shell/x11_frame_loop.h"
#include "renderer/shell/x11_saver.h"
#include "renderer/shell/x11_window_steps.h"

namespace {

int rendererMain() {
  installEndSignals(false);
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "Miravel.dll: cannot open the X display\n");
    return 1;
  }
  platform::installXErrorHandler();

  // Another saver window still being set up (its first title) takes
  // precedence: bring it forward and leave without a window of our own.
  Window existing = platform::findTopLevelWindow(display, names::kRendererFirstTitle, names::kRendererClass);
  if (existing != None) {
    bringWindowToFront(display, existing);
    XCloseDisplay(display);
    return 0;
  }

  int exitCode = 0;
  {
    X11Saver saver(display);
    if (saver.create()) {
      FramePacer noCap(0);
      runX11FrameLoop(display, saver, noCap);
      saver.destroy();  // a signal's end runs the window's steps backwards too
    } else {
      exitCode = 1;
    }
  }
  XCloseDisplay(display);
  return exitCode;
}

// A standalone run, drawn natively on a Wayland desktop, else on X11. Every
// standalone renderer holds the per-user run lock while it runs, so that a
// saver already up can be seen where no window search reaches (Wayland).
// Only the Wayland shell gives way to it: on X11 the window check above
// decides, and a second copy there opens its own window as it always has.
// A renderer whose Wayland connection does not open (a stale WAYLAND_DISPLAY)
// is an X11 one and does not give way either.
int standaloneMain() {
  platform::takeReadyPipeFromEnvironment();
  RunLock lock;
  const bool anotherIsUp =
      lock.take(runLockPath(std::getenv("XDG_RUNTIME_DIR"))) == RunLock::Result::HeldByAnother;
  if (preferredShell(std::getenv("MIRAVEL_PLATFORM"), std::getenv("WAYLAND_DISPLAY")) ==
      RendererShell::Wayland) {
    installEndSignals(false);
    int exitCode = 0;
    if (runWaylandSaver(exitCode, anotherIsUp)) return exitCode;
  }
  return rendererMain();
}

}  // namespace

int main(int argc, char** argv) {
  endWithLauncher();
  const display_mode::Options options =
      display_mode::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (options.badWindowId) {
    std::fprintf(stderr, "Miravel.dll: -window-id needs a window number\n");
    return 2;
  }
  if (options.displayMode) return runDisplayMode(options);
  // Any other command line is ignored: a full-screen run.
  return standaloneMain();
}
