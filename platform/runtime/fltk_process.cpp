// Process life of the launcher: start routine, event serving while a form is
// loaded, the immediate end, session end, the command line, the program
// folder and the X connection.
#include "platform/runtime/fltk_runtime.h"

#include "platform/x11/x11_util.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

std::string g_commandLine;
Display* g_display = nullptr;
bool g_displayTried = false;
bool g_displayLost = false;

volatile sig_atomic_t g_sessionEnding = 0;
int g_wakePipe[2] = {-1, -1};

void endSession();

int onDisplayLost(Display*) {
  // Xlib ends the process if this returns; unload the forms (their handlers
  // find display() null and skip X) and end as any session end would.
  static bool inside = false;
  if (inside) _exit(0);
  inside = true;
  g_displayLost = true;
  endSession();
  _exit(0);
}

void quietFatal(const char*, ...) { endLauncher(); }

// How long the orderly end after a session-end signal may take before the
// process just stops. The orderly end takes milliseconds; the limit only
// matters if the one thread is stuck in something that does not return.
constexpr long kOrderlyEndMicroseconds = 600 * 1000;

// Display mode's renderer needs no kill here: it ends with this process by
// the kernel's parent-death signal, and a pid kept here could already have
// been reaped and given to another process.
void onOverdueEnd(int) { _exit(0); }

void onSignal(int) {
  if (!g_sessionEnding) {
    // The server shows the pointer again for a client that is gone, and the
    // music ends with the process, so stopping is always safe.
    itimerval limit{};
    limit.it_value.tv_usec = kOrderlyEndMicroseconds;
    setitimer(ITIMER_REAL, &limit, nullptr);
  }
  g_sessionEnding = 1;
  if (g_wakePipe[1] >= 0) {
    char byte = 1;
    ssize_t ignored = write(g_wakePipe[1], &byte, 1);
    (void)ignored;
  }
}

void drainWakePipe(int fd, void*) {
  char buffer[64];
  while (read(fd, buffer, sizeof buffer) > 0) {
  }
}

void installSessionEndHandlers() {
  if (g_wakePipe[0] < 0 && pipe2(g_wakePipe, O_CLOEXEC | O_NONBLOCK) == 0)
    Fl::add_fd(g_wakePipe[0], FL_READ, drainWakePipe, nullptr);
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a waiting select returns at once
  struct sigaction overdue {};
  overdue.sa_handler = onOverdueEnd;
  sigemptyset(&overdue.sa_mask);
  sigaction(SIGALRM, &overdue, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

// The session is ending (log-off, a kill, the display gone): every form gets
// its unload handling, newest first, as when the system closes its windows.
void endSession() {
  static bool ending = false;
  if (ending) return;
  ending = true;
  unloadAllForms();
  endLauncher();
}

}  // namespace

const std::string& commandLine() { return g_commandLine; }

std::string folderOfPath(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  std::string folder = path.substr(0, slash);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder.empty() ? "/" : folder;
}

std::string programFolder() {
  // Unknown rather than a guess: falling back on the working folder would
  // read its settings and start the renderer found there. A path that fills
  // the buffer may have been cut, and one longer than PATH_MAX could not be
  // opened anyway.
  char buffer[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer || buffer[0] != '/') return {};
  return folderOfPath(std::string(buffer, static_cast<size_t>(length)));
}

std::string pathInFolder(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool hasDisplay() { return display() != nullptr; }

Display* display() {
  if (g_displayLost) return nullptr;
  if (g_display || g_displayTried) return g_display;
  g_displayTried = true;
  Display* d = XOpenDisplay(nullptr);
  if (!d) return nullptr;
  Fl_Window::default_xclass("Miravel");
  fl_open_display(d);
  // FLTK installs its own X error handlers while opening; put back the
  // shared one, which only records errors so the failed call can be seen.
  installXErrorHandler();
  XSetIOErrorHandler(onDisplayLost);
  g_display = d;
  return d;
}

void runLauncher(int argc, char** argv, void (*startRoutine)()) {
  g_commandLine = joinCommandLine(argc, argv);
  // FLTK's last resort (no display at all when a window is shown) must not
  // look like a crash: end quietly instead.
  Fl::fatal = quietFatal;
  installSessionEndHandlers();
  display();
  if (startRoutine) startRoutine();
  while (loadedFormCount() > 0) serveEvents();
  endLauncher();
}

void endLauncher() {
  if (g_display && !g_displayLost) XFlush(g_display);
  std::fflush(nullptr);
  _exit(0);
}

void serveEvents(double seconds) {
  if (g_sessionEnding) endSession();
  // Fl::wait() without a time returns at once when no window is shown, which
  // is the normal case here (the saver host is never shown).
  Fl::wait(seconds < 0 ? 1e20 : seconds);
  if (g_sessionEnding) endSession();
}


}  // namespace platform
