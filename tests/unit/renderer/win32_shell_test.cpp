#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

#include "renderer/shell/wgl_pixel_format.h"
#include "renderer/shell/win32_saver.h"

extern const unsigned char winePixelFormats[];
extern const std::size_t winePixelFormats_size;

namespace {

// The recorded table: "index flags pixeltype colourbits depthbits alpha stencil".
std::vector<PIXELFORMATDESCRIPTOR> recordedFormats() {
  std::istringstream in(std::string(reinterpret_cast<const char*>(winePixelFormats),
                                    winePixelFormats_size));
  std::vector<PIXELFORMATDESCRIPTOR> formats;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream row(line);
    int index = 0, pixelType = 0, colour = 0, depth = 0, alpha = 0, stencil = 0;
    std::string flags;
    row >> index >> flags >> pixelType >> colour >> depth >> alpha >> stencil;
    EXPECT_EQ(index, static_cast<int>(formats.size()) + 1) << line;
    PIXELFORMATDESCRIPTOR d{};
    d.nSize = sizeof d;
    d.nVersion = 1;
    d.dwFlags = std::stoul(flags, nullptr, 16);
    d.iPixelType = static_cast<BYTE>(pixelType);
    d.cColorBits = static_cast<BYTE>(colour);
    d.cDepthBits = static_cast<BYTE>(depth);
    d.cAlphaBits = static_cast<BYTE>(alpha);
    d.cStencilBits = static_cast<BYTE>(stencil);
    formats.push_back(d);
  }
  return formats;
}

bool usable(const PIXELFORMATDESCRIPTOR& d) {
  const DWORD need = PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER;
  return (d.dwFlags & need) == need && d.iPixelType == PFD_TYPE_RGBA;
}

TEST(WglPixelFormat, RecordedWineTable) {
  auto formats = recordedFormats();
  ASSERT_EQ(formats.size(), 480u);
  int usableCount = 0, generic = 0;
  for (const auto& d : formats) {
    usableCount += usable(d);
    generic += (d.dwFlags & PFD_GENERIC_FORMAT) != 0;
  }
  EXPECT_EQ(usableCount, 240);
  EXPECT_EQ(generic, 120);

  // 32-bit colour with a 32-bit depth buffer scores 2088, the most; 37 is
  // the first such double-buffered driver format.
  const int best = bestPixelFormatIndex(formats);
  ASSERT_EQ(best, 37);
  const auto& chosen = formats[best - 1];
  EXPECT_TRUE(usable(chosen));
  EXPECT_EQ(chosen.dwFlags & PFD_GENERIC_FORMAT, 0u);
  EXPECT_EQ(chosen.cColorBits, 32);
  EXPECT_EQ(chosen.cDepthBits, 32);
}

TEST(WglPixelFormat, ChangesToTheRecordedTable) {
  {
    SCOPED_TRACE("a tie earlier in the list wins: format 33 made double-buffered");
    auto formats = recordedFormats();
    ASSERT_EQ(formats[32].cDepthBits, 32);
    formats[32].dwFlags |= PFD_DOUBLEBUFFER;
    EXPECT_EQ(bestPixelFormatIndex(formats), 33);
  }
  {
    SCOPED_TRACE("without 32/32 double buffering, 24-bit colour with 32-bit depth (2084) wins");
    auto formats = recordedFormats();
    for (auto& d : formats)
      if (d.cColorBits == 32 && d.cDepthBits == 32) d.dwFlags &= ~PFD_DOUBLEBUFFER;
    EXPECT_EQ(bestPixelFormatIndex(formats), 97);
  }
  {
    SCOPED_TRACE("colour-index formats are never chosen, whatever their depth");
    auto formats = recordedFormats();
    for (auto& d : formats)
      if (d.cDepthBits >= 24) d.iPixelType = PFD_TYPE_COLORINDEX;
    const int best = bestPixelFormatIndex(formats);
    ASSERT_GT(best, 0);
    EXPECT_EQ(formats[best - 1].cDepthBits, 16);
    EXPECT_EQ(formats[best - 1].iPixelType, PFD_TYPE_RGBA);
  }
  {
    SCOPED_TRACE("the generic formats alone (single-buffered): nothing, so the fallback");
    auto formats = recordedFormats();
    std::vector<PIXELFORMATDESCRIPTOR> genericOnly;
    for (const auto& d : formats)
      if (d.dwFlags & PFD_GENERIC_FORMAT) genericOnly.push_back(d);
    EXPECT_EQ(bestPixelFormatIndex(genericOnly), 0);
    EXPECT_EQ(bestPixelFormatIndex({}), 0);
  }
  {
    SCOPED_TRACE("a generic accelerated format beats a plain generic one");
    PIXELFORMATDESCRIPTOR plain{}, accelerated{};
    plain.dwFlags = PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER |
                    PFD_GENERIC_FORMAT;
    plain.cColorBits = 32;
    plain.cDepthBits = 32;
    accelerated = plain;
    accelerated.dwFlags |= PFD_GENERIC_ACCELERATED;
    accelerated.cDepthBits = 0;
    EXPECT_EQ(pixelFormatScore(describePixelFormatDescriptor(plain)), 88);
    EXPECT_EQ(pixelFormatScore(describePixelFormatDescriptor(accelerated)), 1024);
    EXPECT_EQ(bestPixelFormatIndex({plain, accelerated}), 2);
  }
}

TEST(Win32Messages, Translation) {
  using K = SaverEventKind;
  struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
    K kind;
  };
  const Case cases[] = {
      {"close request", WM_CLOSE, 0, K::CloseRequest},
      {"shown", WM_SHOWWINDOW, TRUE, K::Show},
      {"hidden", WM_SHOWWINDOW, FALSE, K::Other},
      {"another application activates", WM_ACTIVATEAPP, FALSE, K::AppSwitchAway},
      {"we activate", WM_ACTIVATEAPP, TRUE, K::Other},
      {"cursor query", WM_SETCURSOR, 0, K::CursorQuery},
      {"key", WM_KEYDOWN, 'X', K::KeyDown},
      {"Alt and F10 (system keys)", WM_SYSKEYDOWN, VK_MENU, K::KeyDown},
      {"left button", WM_LBUTTONDOWN, 0, K::ButtonDown},
      {"right button", WM_RBUTTONDOWN, 0, K::ButtonDown},
      {"middle button", WM_MBUTTONDOWN, 0, K::ButtonDown},
      {"mouse move", WM_MOUSEMOVE, 0, K::MouseMove},
      {"key release", WM_KEYUP, 'X', K::Other},
      {"system key release", WM_SYSKEYUP, VK_MENU, K::Other},
      {"button release", WM_LBUTTONUP, 0, K::Other},
      {"double click", WM_LBUTTONDBLCLK, 0, K::Other},
      {"wheel", WM_MOUSEWHEEL, 0, K::Other},
      {"side button", WM_XBUTTONDOWN, 0, K::Other},
      {"character", WM_CHAR, 'x', K::Other},
      {"paint", WM_PAINT, 0, K::Other},
  };
  for (const auto& c : cases)
    EXPECT_EQ(translateSaverMessage(c.message, c.wParam).kind, c.kind) << c.name;
}

}  // namespace
