// A stand-in for a screen-saver daemon's window, for the display-mode tests.
//   host_window_tool host WIDTH HEIGHT [32]   a mapped top-level window (the
//       default visual, or a 32-bit TrueColor one); prints its id in hex and
//       stays until SIGTERM. Like a daemon it selects the keys, buttons and
//       moves on it, so a client that selects buttons there gets BadAccess.
//   host_window_tool resize ID WIDTH HEIGHT
//   host_window_tool toplevels                the mapped children of the root
//       window, one "0xID WIDTHxHEIGHT" a line
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

volatile sig_atomic_t g_end = 0;
void onTerm(int) { g_end = 1; }

int host(Display* display, int width, int height, bool deep) {
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  Visual* visual = DefaultVisual(display, screen);
  int depth = DefaultDepth(display, screen);
  if (deep) {
    XVisualInfo info;
    if (!XMatchVisualInfo(display, screen, 32, TrueColor, &info)) {
      std::fprintf(stderr, "no 32-bit visual\n");
      return 2;
    }
    visual = info.visual;
    depth = 32;
  }
  XSetWindowAttributes attributes{};
  attributes.colormap = XCreateColormap(display, root, visual, AllocNone);
  attributes.background_pixel = 0;
  attributes.border_pixel = 0;
  attributes.override_redirect = True;
  attributes.event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask;
  Window window = XCreateWindow(display, root, 0, 0, width, height, 0, depth, InputOutput, visual,
                                CWColormap | CWBackPixel | CWBorderPixel | CWOverrideRedirect |
                                    CWEventMask,
                                &attributes);
  XStoreName(display, window, "displaymode-host");
  XMapRaised(display, window);
  XSync(display, False);
  std::printf("0x%lx\n", window);
  std::fflush(stdout);

  struct sigaction action {};
  action.sa_handler = onTerm;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  while (!g_end) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
    }
    usleep(20000);
  }
  XDestroyWindow(display, window);
  XSync(display, False);
  return 0;
}

int toplevels(Display* display) {
  Window rootReturn, parent, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display, DefaultRootWindow(display), &rootReturn, &parent, &children, &count);
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes a;
    if (XGetWindowAttributes(display, children[i], &a) && a.map_state == IsViewable)
      std::printf("0x%lx %dx%d\n", children[i], a.width, a.height);
  }
  if (children) XFree(children);
  return 0;
}

int run(Display* display, int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "host" && (argc == 4 || argc == 5))
    return host(display, std::atoi(argv[2]), std::atoi(argv[3]),
                argc == 5 && std::string(argv[4]) == "32");
  if (command == "resize" && argc == 5) {
    XResizeWindow(display, std::strtoul(argv[2], nullptr, 0), std::atoi(argv[3]),
                  std::atoi(argv[4]));
    XSync(display, False);
    return 0;
  }
  if (command == "toplevels" && argc == 2) return toplevels(display);
  std::fprintf(stderr, "usage: see the head of host_window_tool.cpp\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 2;
  const int status = run(display, argc, argv);
  // Closed rather than left to the exit, which a leak checker counts.
  XCloseDisplay(display);
  return status;
}
