// The form runtime on a real X display (run under Xvfb by runtime_x11.sh).
#include <gtest/gtest.h>

#include "platform/runtime/fltk_runtime.h"
#include "platform/x11/x11_util.h"

#define FL_INTERNALS  // for fl_xftfont, the Xft font FLTK draws with
#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xft/Xft.h>
#include <X11/extensions/Xfixes.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>

using namespace platform;

namespace {

double expectedDpi() {
  const char* text = std::getenv("MIRAVEL_EXPECT_DPI");
  return text ? std::atof(text) : 96;
}

}  // namespace

TEST(RuntimeOnX11, HiddenWindowIsFoundByTitleAndNeverShown) {
  Display* d = display();
  ASSERT_NE(d, nullptr);
  HiddenWindow host, dialog;
  ASSERT_TRUE(host.create("Kelvara_Main"));
  ASSERT_TRUE(dialog.create("<ミラベル>"));
  EXPECT_EQ(findTopLevelWindow(d, "Kelvara_Main"), host.id());
  EXPECT_EQ(findTopLevelWindow(d, "<ミラベル>"), dialog.id());
  XWindowAttributes attributes{};
  ASSERT_TRUE(XGetWindowAttributes(d, host.id(), &attributes));
  EXPECT_EQ(attributes.map_state, IsUnmapped);
  host.destroy();
  EXPECT_EQ(findTopLevelWindow(d, "Kelvara_Main"), None);
}

TEST(RuntimeOnX11, XErrorsOnlyFailTheCall) {
  Display* d = display();
  ASSERT_NE(d, nullptr);
  // Without the runtime's handler Xlib's default one would end the process here.
  XMapWindow(d, 0x7ffffff0);
  XSync(d, False);
  xErrorTrapBegin();
  XMapWindow(d, 0x7ffffff0);
  EXPECT_FALSE(xErrorTrapEnd(d));
}

TEST(RuntimeOnX11, UiFontIsIpaPGothicWithJapaneseGlyphs) {
  ASSERT_NE(display(), nullptr);
  fl_font(uiFont(), 13);
  XftFont* font = static_cast<XftFont*>(fl_xftfont);
  ASSERT_NE(font, nullptr);
  FcChar8* family = nullptr;
  ASSERT_EQ(FcPatternGetString(font->pattern, FC_FAMILY, 0, &family), FcResultMatch);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(family)), "IPAPGothic");
  // 見, ﾌ (half-width), ！ (full-width) and が from the missing-renderer message.
  for (FcChar32 c : {0x898Bu, 0xFF8Cu, 0xFF01u, 0x304Cu})
    EXPECT_TRUE(XftCharExists(display(), font, c)) << std::hex << c;
}

TEST(RuntimeOnX11, TwipsFollowTheScreensDotsPerInch) {
  ASSERT_NE(display(), nullptr);
  double twips = 1440 / expectedDpi();
  EXPECT_DOUBLE_EQ(twipsPerPixelX(), twips);
  EXPECT_DOUBLE_EQ(twipsPerPixelY(), twips);
  EXPECT_EQ(screenWidthPixels(), 1280);
  EXPECT_EQ(screenHeightPixels(), 800);
}

TEST(RuntimeOnX11, TimersTickWhileTheDisplayIsServed) {
  ASSERT_NE(display(), nullptr);
  int ticks = 0;
  Timer watch(50, true, [&] { ++ticks; });
  auto start = std::chrono::steady_clock::now();
  while (ticks < 4 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
    serveEvents(0.1);
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(ticks, 4);
  EXPECT_GE(elapsed, 0.19);  // four ticks cannot come in less than about four intervals
}

TEST(RuntimeOnX11, PointerHidingGoesThroughXFixesWithoutErrors) {
  Display* d = display();
  ASSERT_NE(d, nullptr);
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  ASSERT_TRUE(XFixesQueryExtension(d, &eventBase, &errorBase));
  ASSERT_TRUE(XFixesQueryVersion(d, &major, &minor));
  EXPECT_GE(major, 4);
  xErrorTrapBegin();
  int saved = showCursor(false);
  EXPECT_EQ(saved, -1);
  EXPECT_EQ(showCursor(saved != 0), 0);
  EXPECT_TRUE(xErrorTrapEnd(d));
}
