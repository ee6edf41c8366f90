// Twips per pixel, the screen size and the application's pointer display count on Win32.
#include "platform/runtime/win32_runtime.h"

namespace platform {
namespace {

constexpr double kTwipsPerInch = 1440;

double screenDpi(int index) {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, index) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

double twipsPerPixelX() { return kTwipsPerInch / screenDpi(LOGPIXELSX); }
double twipsPerPixelY() { return kTwipsPerInch / screenDpi(LOGPIXELSY); }
int screenWidthPixels() { return GetSystemMetrics(SM_CXSCREEN); }
int screenHeightPixels() { return GetSystemMetrics(SM_CYSCREEN); }

int showCursor(bool show) { return ShowCursor(show ? TRUE : FALSE); }

}  // namespace platform
