// Twips per pixel, the screen size and the application's pointer display count.
#include "platform/runtime/fltk_runtime.h"

#include "platform/runtime/conversions.h"
#include "platform/x11/x11_util.h"

#include <FL/Fl.H>
#include <X11/extensions/Xfixes.h>

namespace platform {
namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kUsualDpi = 96;

struct ScreenFacts {
  int width = 0, height = 0;
  double dpiX = kUsualDpi, dpiY = kUsualDpi;
};

const ScreenFacts& screenFacts() {
  static ScreenFacts facts;
  static bool known = false;
  if (known) return facts;
  Display* d = display();
  if (!d) return facts;  // asked again once a display is there
  known = true;
  int screen = DefaultScreen(d);
  int x = 0, y = 0;
  // The primary monitor, as the screen size of a Windows program is.
  Fl::screen_xywh(x, y, facts.width, facts.height, 0);
  const char* xftDpi = XGetDefault(d, "Xft", "dpi");
  facts.dpiX = logicalDpi(xftDpi, DisplayWidth(d, screen), DisplayWidthMM(d, screen));
  facts.dpiY = logicalDpi(xftDpi, DisplayHeight(d, screen), DisplayHeightMM(d, screen));
  return facts;
}

int g_cursorCount = 0;

void setPointerHidden(bool hidden) {
  Display* d = display();
  if (!d) return;
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XFixesQueryExtension(d, &eventBase, &errorBase)) return;
  if (!XFixesQueryVersion(d, &major, &minor) || major < 4) return;
  xErrorTrapBegin();
  if (hidden)
    XFixesHideCursor(d, DefaultRootWindow(d));
  else
    XFixesShowCursor(d, DefaultRootWindow(d));
  xErrorTrapEnd(d);
}

}  // namespace

double twipsPerPixelX() { return kTwipsPerInch / screenFacts().dpiX; }
double twipsPerPixelY() { return kTwipsPerInch / screenFacts().dpiY; }
int screenWidthPixels() { return screenFacts().width; }
int screenHeightPixels() { return screenFacts().height; }

int showCursor(bool show) {
  bool wasHidden = g_cursorCount < 0;
  g_cursorCount += show ? 1 : -1;
  bool hidden = g_cursorCount < 0;
  if (hidden != wasHidden) setPointerHidden(hidden);
  return g_cursorCount;
}

}  // namespace platform
