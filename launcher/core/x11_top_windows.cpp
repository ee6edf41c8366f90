// The launcher's look at the top-level windows on X11, for the display-mode
// rules (launcher/core/display_mode_rules.h).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "launcher/core/display_mode_host.h"
#include "launcher/core/display_mode_rules.h"
#include "platform/runtime/fltk_runtime.h"
#include "platform/x11/x11_util.h"

std::vector<TopWindowFacts> topWindowFacts(unsigned long target) {
  std::vector<TopWindowFacts> result;
  Display* display = platform::display();
  if (!display) return result;
  platform::xErrorTrapBegin();
  Window rootReturn = None, parent = None, *children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &rootReturn, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count; ++i) {
      XWindowAttributes attributes{};
      // A window that went away meanwhile is simply left out.
      if (!XGetWindowAttributes(display, children[i], &attributes)) continue;
      TopWindowFacts facts;
      facts.isTarget = children[i] == target;
      facts.viewable = attributes.map_state == IsViewable;
      facts.overrideRedirect = attributes.override_redirect;
      facts.width = attributes.width;
      facts.height = attributes.height;
      // Only the candidates are asked for more.
      if (facts.viewable && facts.overrideRedirect) {
        XClassHint hint{nullptr, nullptr};
        if (XGetClassHint(display, children[i], &hint)) {
          if (hint.res_class) facts.className = hint.res_class;
          if (hint.res_name) XFree(hint.res_name);
          if (hint.res_class) XFree(hint.res_class);
        }
        char** argv = nullptr;
        int argc = 0;
        if (XGetCommand(display, children[i], &argv, &argc)) {
          if (argc > 0 && argv[0]) facts.firstCommand = argv[0];
          XFreeStringList(argv);
        }
      }
      result.push_back(facts);
    }
  }
  if (children) XFree(children);
  platform::xErrorTrapEnd(display);
  return result;
}

unsigned long rootWindow() {
  Display* display = platform::display();
  return display ? DefaultRootWindow(display) : 0;
}

bool windowExists(unsigned long id) {
  Display* display = platform::display();
  if (!display || id == 0) return false;
  platform::xErrorTrapBegin();
  XWindowAttributes attributes{};
  const Status got = XGetWindowAttributes(display, id, &attributes);
  return platform::xErrorTrapEnd(display) && got != 0;
}
