#include "launcher/button/x11_pointer_window.h"

#include "platform/x11/x11_util.h"

namespace button {

PointerAnswer deepestWindowUnderPointer(Display* display, Window& window) {
  window = None;
  if (!display) return PointerAnswer::Failed;
  Window current = DefaultRootWindow(display);
  // Window trees are shallow; the bound only guards against a server that
  // keeps answering with children.
  for (int depth = 0; depth < 64; ++depth) {
    Window root = None, child = None;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    platform::xErrorTrapBegin();
    Bool sameScreen = XQueryPointer(display, current, &root, &child, &rootX, &rootY, &x, &y, &mask);
    if (!platform::xErrorTrapEnd(display)) return PointerAnswer::Failed;
    if (!sameScreen) return PointerAnswer::OffScreen;
    if (child == None) {
      window = current;
      return PointerAnswer::Found;
    }
    current = child;
  }
  window = current;
  return PointerAnswer::Found;
}

}  // namespace button
