// The Win32 view of the gradient button, run under Wine without a screen:
// the face GDI draws (GradientFill, the stretched frame pieces, the caption)
// against the rules' own face image, and window messages against the rules.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "launcher/button/face_painter.h"
#include "launcher/button/pictures.h"
#include "launcher/button/win32_command_button.h"

namespace {

using button::Picture;
using button::Rgb;

class Win32ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = L"MiravelButtonTestParent";
    RegisterClassExW(&c);
    parent_ = CreateWindowExW(0, c.lpszClassName, L"parent", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                              c.hInstance, nullptr);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override {
    button_.reset();
    if (parent_) DestroyWindow(parent_);
  }

  button::Win32CommandButton& make(int w, int h, const char* caption) {
    button_ = std::make_unique<button::Win32CommandButton>(parent_, 10, 10, w, h, caption);
    button::PropertyBag layout;
    layout.set("Caption", std::string(caption));
    layout.set("Font", button::CaptionFont{});
    button_->load(layout);
    button_->onClick([this] { ++clicks_; });
    return *button_;
  }

  // What the button's window shows, read back through WM_PRINTCLIENT.
  button::Image shown() {
    HWND w = button_->window();
    RECT r{};
    GetClientRect(w, &r);
    button::Image out = button::makeImage(r.right, r.bottom);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    for (int y = 0; y < r.bottom; ++y) {
      for (int x = 0; x < r.right; ++x) {
        COLORREF c = GetPixel(dc, x, y);
        button::setPixel(out, x, y, Rgb{GetRValue(c), GetGValue(c), GetBValue(c)});
      }
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return out;
  }

  void send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    SendMessageW(button_->window(), message, wParam, lParam);
  }

  HWND parent_ = nullptr;
  std::unique_ptr<button::Win32CommandButton> button_;
  int clicks_ = 0;
};

int channelGap(Rgb a, Rgb b) {
  return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

// GDI draws the face the rules describe: the same corners, bands and frame
// line, and GradientFill's rows within one step of the rules' gradient, for
// every look and both gradient directions, on the dialog's button sizes. The
// side pieces of a button other than 25 high are shrunk or stretched, where
// StretchBlt may pick other source rows than the rules do: those are left out.
TEST_F(Win32ButtonTest, GdiFaceMatchesTheRulesFace) {
  for (auto size : {std::pair{125, 25}, std::pair{29, 21}, std::pair{73, 25}}) {
    auto& b = make(size.first, size.second, "");  // no caption: the whole face compares
    b.Initialize();
    struct Step {
      const char* what;
      UINT message;
    } steps[] = {{"Normal", 0}, {"HighLight", WM_MOUSEMOVE}, {"Pressed", WM_LBUTTONDOWN},
                 {"HighLightSelect", WM_LBUTTONUP}};
    for (const Step& step : steps) {
      if (step.message) send(step.message);
      const button::Image& want = b.rules().surface();
      button::Image got = shown();
      ASSERT_EQ(got.width, want.width);
      ASSERT_EQ(got.height, want.height);
      int worst = 0, worstX = 0, worstY = 0;
      const bool sidesResampled = got.height != button::kPictureHeight;
      for (int y = 0; y < got.height; ++y) {
        for (int x = 0; x < got.width; ++x) {
          bool side = (x < 4 || x >= got.width - 4) && y >= 4 && y < got.height - 4;
          if (side && sidesResampled) continue;
          int gap = channelGap(button::pixelAt(got, x, y), button::pixelAt(want, x, y));
          if (gap > worst) worst = gap, worstX = x, worstY = y;
        }
      }
      EXPECT_LE(worst, 1) << size.first << "x" << size.second << " " << step.what << ": pixel (" << worstX << ", "
                          << worstY << ")";
    }
  }
}

TEST_F(Win32ButtonTest, CaptionIsDrawnBlackWhenEnabledAndGreyWhenDisabled) {
  auto& b = make(125, 25, "設定");
  auto darkPixels = [&](int below) {
    button::Image img = shown();
    int n = 0;
    for (int y = 5; y < 18; ++y)
      for (int x = 4; x < 121; ++x) {
        Rgb c = button::pixelAt(img, x, y);
        if ((c.r + c.g + c.b) / 3 < below) ++n;
      }
    return n;
  };
  EXPECT_GT(darkPixels(60), 10);
  b.Enabled(false);
  EXPECT_EQ(darkPixels(60), 0);
  EXPECT_GT(darkPixels(180), 5);
  EXPECT_FALSE(IsWindowEnabled(b.window())) << "a disabled button is passed over by the focus";
  b.Enabled(true);
  EXPECT_TRUE(IsWindowEnabled(b.window()));
}

// Messages reach the rules: the click of a left, right or middle release, no
// click while disabled or after the focused button lost the pointer, keys
// doing nothing, and the focus looks.
TEST_F(Win32ButtonTest, MessagesDriveTheRules) {
  auto& b = make(73, 25, "設定");
  b.Initialize();
  send(WM_MOUSEMOVE);
  EXPECT_EQ(b.rules().buttonState(), button::state::HighLight);
  send(WM_LBUTTONDOWN);
  EXPECT_TRUE(b.rules().leftDown());
  EXPECT_EQ(b.rules().shownPicture(), Picture::Pressed);
  send(WM_LBUTTONUP);
  EXPECT_EQ(clicks_, 1);
  EXPECT_EQ(GetCapture(), nullptr) << "the capture ends with the release";

  send(WM_RBUTTONDOWN);
  EXPECT_FALSE(b.rules().leftDown());
  send(WM_RBUTTONUP);
  send(WM_MBUTTONDOWN);
  send(WM_MBUTTONUP);
  EXPECT_EQ(clicks_, 3);

  send(WM_KEYDOWN, VK_SPACE);
  send(WM_KEYUP, VK_SPACE);
  send(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(clicks_, 3);

  // The focused button loses the pointer (state 3): its release is silent.
  send(WM_KILLFOCUS);
  send(WM_SETFOCUS);
  EXPECT_EQ(b.rules().buttonState(), button::state::Selected);
  EXPECT_EQ(b.rules().shownPicture(), Picture::Selected);
  send(WM_LBUTTONUP);
  EXPECT_EQ(clicks_, 3);

  b.Enabled(false);
  send(WM_LBUTTONDOWN);
  send(WM_LBUTTONUP);
  EXPECT_EQ(clicks_, 3);
  EXPECT_EQ(b.rules().shownPicture(), Picture::Disable);
}

TEST_F(Win32ButtonTest, ResizingRedrawsTheFaceAtTheNewSize) {
  auto& b = make(73, 25, "");
  b.Initialize();
  send(WM_MOUSEMOVE);
  SetWindowPos(b.window(), nullptr, 0, 0, 40, 30, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(b.rules().surface().width, 40);
  EXPECT_EQ(b.rules().shownPicture(), Picture::Normal);
  button::Image got = shown();
  ASSERT_EQ(got.width, 40);
  // The bottom-right corner piece sits at the new corner.
  EXPECT_EQ(button::pixelAt(got, 38, 28), button::pixelAt(button::picture(Picture::Normal), 62, 23));
}

}  // namespace
