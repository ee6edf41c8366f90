// A stand-in for a screen-saver settings program: it opens one window of the
// size given, prints the window's id on stdout, and then waits. A line
// "destroy" on stdin destroys the window (the program stays); end of input or
// SIGTERM ends the program.
#include <X11/Xlib.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: preview_host WIDTH HEIGHT\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
  Window host = XCreateSimpleWindow(display, DefaultRootWindow(display), 10, 20,
                                    static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                    0, 0x00808080);
  XStoreName(display, host, "preview host");
  XMapWindow(display, host);
  XSync(display, False);
  std::printf("%lu\n", host);
  std::fflush(stdout);
  char line[64];
  for (;;) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
    }
    pollfd fds[2] = {{0, POLLIN, 0}, {ConnectionNumber(display), POLLIN, 0}};
    if (poll(fds, 2, 1000) < 0) break;
    if (fds[0].revents) {
      ssize_t n = read(0, line, sizeof line - 1);
      if (n <= 0) break;
      line[n] = 0;
      if (std::strncmp(line, "destroy", 7) == 0) {
        XDestroyWindow(display, host);
        XSync(display, False);
      }
    }
  }
  XCloseDisplay(display);
  return 0;
}
