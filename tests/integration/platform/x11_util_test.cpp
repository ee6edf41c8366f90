// Window search and error trapping against a real X server (run under Xvfb by
// x11_util_test.sh, which passes DISPLAY).
// GoogleTest comes before Xlib, whose macros (None, Bool) break its headers.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform/x11/x11_util.h"

namespace {

class X11UtilTest : public ::testing::Test {
 protected:
  void SetUp() override {
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "needs DISPLAY";
    platform::installXErrorHandler();
  }
  void TearDown() override {
    if (display) XCloseDisplay(display);
  }
  Window makeWindow(const char* title, const char* resClass, Window parent = None) {
    Window w = XCreateSimpleWindow(display, parent ? parent : DefaultRootWindow(display), 0, 0, 50,
                                   40, 0, 0, 0);
    XStoreName(display, w, title);
    if (resClass) {
      XClassHint hint{const_cast<char*>("miravel-test"), const_cast<char*>(resClass)};
      XSetClassHint(display, w, &hint);
    }
    XSync(display, False);
    return w;
  }
  Display* display = nullptr;
};

TEST_F(X11UtilTest, FindsUnmappedTopLevelWindowByExactTitleAndClass) {
  Window w = makeWindow("Kelvara_Main", "WindowsScreenSaverClass");
  EXPECT_EQ(platform::findTopLevelWindow(display, "Kelvara_Main"), w);
  EXPECT_EQ(platform::findTopLevelWindow(display, "Kelvara_Main", "WindowsScreenSaverClass"), w);
  EXPECT_EQ(platform::findTopLevelWindow(display, "Kelvara_Main", "OtherClass"), None);
  EXPECT_EQ(platform::findTopLevelWindow(display, "Kelvara_Mai"), None);
  EXPECT_EQ(platform::findTopLevelWindow(display, "kelvara_main"), None);
  XDestroyWindow(display, w);
  XSync(display, False);
  EXPECT_EQ(platform::findTopLevelWindow(display, "Kelvara_Main"), None);
}

TEST_F(X11UtilTest, FindsClientWindowInsideAFrameButNotOtherNestedWindows) {
  // A frame as a reparenting window manager makes it: the client carries WM_STATE.
  Window frame = makeWindow("frame", nullptr);
  Window client = makeWindow("<Miravel>", nullptr, frame);
  makeWindow("KelvaraVC", nullptr, frame);  // nested, but not the client
  Atom wmState = XInternAtom(display, "WM_STATE", False);
  long state[2] = {1, 0};
  XChangeProperty(display, client, wmState, wmState, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(state), 2);
  XSync(display, False);
  EXPECT_EQ(platform::findTopLevelWindow(display, "<Miravel>"), client);
  EXPECT_EQ(platform::findTopLevelWindow(display, "KelvaraVC"), None);
  XDestroyWindow(display, frame);
}

TEST_F(X11UtilTest, NetWmNameWinsOverWmName) {
  Window w = makeWindow("Screensaver", nullptr);
  Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
  Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  const char* title = "KelvaraVC";
  XChangeProperty(display, w, netWmName, utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title), 9);
  XSync(display, False);
  EXPECT_EQ(platform::windowTitle(display, w), "KelvaraVC");
  XDestroyWindow(display, w);
}

TEST_F(X11UtilTest, ErrorsOnVanishedWindowsAreTrappedNotFatal) {
  Window w = makeWindow("gone", nullptr);
  XDestroyWindow(display, w);
  XSync(display, False);
  EXPECT_EQ(platform::windowTitle(display, w), "");
  EXPECT_EQ(platform::windowClassName(display, w), "");
  platform::xErrorTrapBegin();
  XMapWindow(display, w);
  EXPECT_FALSE(platform::xErrorTrapEnd(display));
  platform::xErrorTrapBegin();
  XNoOp(display);
  EXPECT_TRUE(platform::xErrorTrapEnd(display));
}

}  // namespace
