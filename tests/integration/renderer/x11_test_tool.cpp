// Small X11 helper for the renderer's integration tests.
//   miravel_x11_test_tool window TITLE CLASS   maps a 200x150 window with that title
//                                              and WM_CLASS class, prints its id,
//                                              and lives until it is killed
//   miravel_x11_test_tool close WINDOW_ID      sends WM_DELETE_WINDOW to the window
//   miravel_x11_test_tool destroy WINDOW_ID    destroys the window (another client's)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/display_mode/display_mode_options.h"
#include "platform/x11/x11_util.h"

namespace {

int makeWindow(Display* display, const char* title, const char* className) {
  Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 10, 10, 200, 150, 0,
                                      0, WhitePixel(display, DefaultScreen(display)));
  XStoreName(display, window, title);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                  XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title),
                  static_cast<int>(std::strlen(title)));
  XClassHint hint;
  hint.res_name = const_cast<char*>("testtool");
  hint.res_class = const_cast<char*>(className);
  XSetClassHint(display, window, &hint);
  XSelectInput(display, window, StructureNotifyMask);
  XMapWindow(display, window);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MapNotify) break;
  }
  std::printf("%lu\n", window);
  std::fflush(stdout);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
  }
}

int sendClose(Display* display, const char* id) {
  unsigned long window = None;
  if (!display_mode::parseWindowNumber(id, window)) return 2;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  platform::xErrorTrapBegin();
  XSendEvent(display, window, False, NoEventMask, &event);
  return platform::xErrorTrapEnd(display) ? 0 : 1;
}

int destroyWindow(Display* display, const char* id) {
  unsigned long window = None;
  if (!display_mode::parseWindowNumber(id, window)) return 2;
  platform::xErrorTrapBegin();
  XDestroyWindow(display, window);
  return platform::xErrorTrapEnd(display) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 3;
  platform::installXErrorHandler();
  std::string command = argc > 1 ? argv[1] : "";
  if (command == "window" && argc == 4) return makeWindow(display, argv[2], argv[3]);
  if (command == "close" && argc == 3) return sendClose(display, argv[2]);
  if (command == "destroy" && argc == 3) return destroyWindow(display, argv[2]);
  std::fprintf(stderr, "usage: %s window TITLE CLASS | close WINDOW_ID | destroy WINDOW_ID\n", argv[0]);
  return 2;
}
