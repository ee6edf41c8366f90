#include "launcher/settings_music/x11_dialog_zoom.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/x11/x11_util.h"

namespace dialog {
namespace {

// About a sixth of a second in all, as the system's caption animation takes.
constexpr int kSteps = 10;
constexpr auto kFrameTime = std::chrono::milliseconds(16);

ScreenRect windowRect(const Fl_Window& window) {
  // FLTK keeps a top-level window's x and y in screen coordinates, also
  // before it is shown (where the dialog has been placed).
  return {window.x(), window.y(), window.x() + window.w(), window.y() + window.h()};
}

// True when a compositing manager owns the screen: it draws the windows from
// their own buffers, so outlines on the root window would never be seen.
bool compositing(Display* d, int screen) {
  char name[32];
  std::snprintf(name, sizeof name, "_NET_WM_CM_S%d", screen);
  Atom selection = XInternAtom(d, name, False);
  return selection != None && XGetSelectionOwner(d, selection) != None;
}

void outline(Display* d, Window root, GC gc, const ScreenRect& r) {
  int w = r.right - r.left - 1, h = r.bottom - r.top - 1;
  if (w < 0 || h < 0) return;
  XDrawRectangle(d, root, gc, r.left, r.top, static_cast<unsigned>(w), static_cast<unsigned>(h));
}

void animate(const ScreenRect& from, const ScreenRect& to) {
  Display* d = fl_display;
  if (!d) return;
  int screen = DefaultScreen(d);
  if (compositing(d, screen)) return;
  Window root = RootWindow(d, screen);

  platform::xErrorTrapBegin();
  XGCValues values{};
  values.function = GXxor;
  values.foreground = WhitePixel(d, screen) ^ BlackPixel(d, screen);
  values.line_width = 2;
  values.subwindow_mode = IncludeInferiors;  // over the windows, not under them
  GC gc = XCreateGC(d, root, GCFunction | GCForeground | GCLineWidth | GCSubwindowMode, &values);
  if (!platform::xErrorTrapEnd(d)) return;

  // Each outline is drawn, shown for one frame and drawn again, which XOR
  // turns back into what was there.
  platform::xErrorTrapBegin();
  for (const ScreenRect& r : zoomFrames(from, to, kSteps)) {
    outline(d, root, gc, r);
    XFlush(d);
    std::this_thread::sleep_for(kFrameTime);
    outline(d, root, gc, r);
  }
  XFreeGC(d, gc);
  platform::xErrorTrapEnd(d);
}

}  // namespace
}  // namespace dialog

void ZoomOpen(Fl_Window& window) { dialog::animate(dialog::zoomPointRect(), dialog::windowRect(window)); }

void ZoomClose(Fl_Window& window) { dialog::animate(dialog::windowRect(window), dialog::zoomPointRect()); }
