// Miravel.dll: the full-screen renderer. It opens one window titled
// "KelvaraVC" and draws the light curtains until the user returns, then ends
// with exit code 0. With a display-mode option (-root, -window-id) it draws
// into a screen-saver daemon's window instead (a -window-id that is no window
// number is refused with exit code 2); every other command line is ignored.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/display_mode/display_mode_options.h"
#include "platform/x11/x11_util.h"
#include "renderer/shell/launcher_link.h"
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
  Window existing = platform::findTopLevelWindow(display, "Screensaver", "WindowsScreenSaverClass");
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
  return rendererMain();
}
