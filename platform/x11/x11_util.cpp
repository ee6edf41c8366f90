#include "platform/x11/x11_util.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <vector>

namespace platform {
namespace {

int g_errorCount = 0;

int recordError(Display*, XErrorEvent*) {
  ++g_errorCount;
  return 0;
}

bool hasProperty(Display* display, Window window, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  int rc = XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType, &type,
                              &format, &count, &after, &data);
  if (data) XFree(data);
  return rc == Success && type != None;
}

std::vector<Window> children(Display* display, Window window) {
  std::vector<Window> out;
  Window root = None, parent = None, *kids = nullptr;
  unsigned int count = 0;
  xErrorTrapBegin();
  Status ok = XQueryTree(display, window, &root, &parent, &kids, &count);
  bool clean = xErrorTrapEnd(display);
  if (ok && clean && kids) out.assign(kids, kids + count);
  if (kids) XFree(kids);
  return out;
}

// Under a reparenting window manager the client window sits somewhere below
// the frame; it is the one that carries WM_STATE.
Window clientInside(Display* display, Window frame, Atom wmState, int depth) {
  if (depth > 4) return None;
  for (Window child : children(display, frame)) {
    if (hasProperty(display, child, wmState)) return child;
    Window found = clientInside(display, child, wmState, depth + 1);
    if (found != None) return found;
  }
  return None;
}

bool matches(Display* display, Window window, const std::string& title, const char* className) {
  if (windowTitle(display, window) != title) return false;
  return className == nullptr || windowClassName(display, window) == className;
}

// The _NET_WM_PID of a window; -1 when it has none.
long windowPid(Display* display, Window window) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  long pid = -1;
  xErrorTrapBegin();
  int rc = XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), 0, 1,
                              False, XA_CARDINAL, &type, &format, &count, &after, &data);
  const bool clean = xErrorTrapEnd(display);
  if (clean && rc == Success && data && type == XA_CARDINAL && format == 32 && count == 1)
    pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
  if (data) XFree(data);
  return pid;
}

// Calls `accept` for each top-level window (as findTopLevelWindow counts
// them) and returns the first it accepts.
template <typename Accept>
Window firstTopLevel(Display* display, Accept accept) {
  if (!display) return None;
  Atom wmState = XInternAtom(display, "WM_STATE", False);
  Window root = DefaultRootWindow(display);
  for (Window top : children(display, root)) {
    if (accept(top)) return top;
    if (!hasProperty(display, top, wmState)) {
      Window client = clientInside(display, top, wmState, 0);
      if (client != None && accept(client)) return client;
    }
  }
  return None;
}

}  // namespace

void installXErrorHandler() { XSetErrorHandler(recordError); }

void xErrorTrapBegin() {
  // Installed again every time: a toolkit opening its display (FLTK does)
  // puts its own handler in place, and ours must be the one that counts.
  installXErrorHandler();
  g_errorCount = 0;
}

bool xErrorTrapEnd(Display* display) {
  XSync(display, False);
  bool clean = g_errorCount == 0;
  g_errorCount = 0;
  return clean;
}

std::string windowTitle(Display* display, Window window) {
  if (!display || window == None) return {};
  xErrorTrapBegin();
  std::string title;
  Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
  Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, netWmName, 0, 4096, False, utf8, &type, &format, &count,
                         &after, &data) == Success &&
      data && type == utf8 && format == 8) {
    title.assign(reinterpret_cast<char*>(data), count);
  }
  if (data) XFree(data);
  if (title.empty()) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) title = name;
    if (name) XFree(name);
  }
  if (!xErrorTrapEnd(display)) return {};
  return title;
}

std::string windowClassName(Display* display, Window window) {
  if (!display || window == None) return {};
  xErrorTrapBegin();
  XClassHint hint{nullptr, nullptr};
  std::string result;
  if (XGetClassHint(display, window, &hint)) {
    if (hint.res_class) result = hint.res_class;
  }
  if (hint.res_name) XFree(hint.res_name);
  if (hint.res_class) XFree(hint.res_class);
  if (!xErrorTrapEnd(display)) return {};
  return result;
}

Window findTopLevelWindow(Display* display, const std::string& title, const char* className) {
  return firstTopLevel(display,
                       [&](Window window) { return matches(display, window, title, className); });
}

Window findTopLevelWindowOfProcess(Display* display, const std::string& title, long pid) {
  if (pid <= 0) return None;
  return firstTopLevel(display, [&](Window window) {
    return windowPid(display, window) == pid && matches(display, window, title, nullptr);
  });
}

}  // namespace platform
