// Looks at Win32 windows from inside Wine for the Windows integration tests.
//   win32_probe info TITLE          class, styles, rectangle and client area (on
//                                   the screen) of the top-level window titled
//                                   TITLE, and the screen size
//   win32_probe find TITLE          exit 0 when a top-level window has that title
//   win32_probe foreground          the title of the foreground window
//   win32_probe responds TITLE      exit 0 when the thread of the window titled
//                                   TITLE answers a message within 2 s
//   win32_probe acp                 the ANSI code page
//   win32_probe play FILE           plays a WAV file to its end (PlaySoundA) and
//                                   prints "devices N played R"
//   win32_probe close TITLE         posts WM_CLOSE to that window
//   win32_probe window TITLE CLASS  opens a window of class CLASS titled TITLE,
//                                   prints its handle and lives until closed
//   win32_probe children TITLE      each child window of the top-level window
//                                   titled TITLE: "CLASS WxH of HOSTWxHOSTH
//                                   process same|other visible V"
//   win32_probe texts TITLE         the texts of the child windows of the
//                                   top-level window titled TITLE, in UTF-8,
//                                   one a line
//   win32_probe edits TITLE         the text (UTF-8) of every edit control inside
//                                   the window titled TITLE, one a line
//   win32_probe owner TITLE         "owner=HANDLE enabled=E": the owner of the
//                                   window titled TITLE (0 when none) and
//                                   whether that owner takes input
//   win32_probe enabled TITLE       1 when the window titled TITLE takes input
//   win32_probe layout TITLE        every window inside the top-level window
//                                   titled TITLE: "CLASS X,Y,W,H client CX,CY",
//                                   its rectangle and its client area's origin
//                                   in the top-level window's client area
//   win32_probe monitors            the virtual screen "virtual=X,Y,W,H", then
//                                   "monitor=L,T,R,B dpi=D" for each monitor
//   win32_probe pixelformats        every format DescribePixelFormat lists on a
//                                   window of this program, then the renderer's
//                                   choice on it: "chosen N predicted M context C"
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "renderer/shell/wgl_pixel_format.h"

namespace {

int info(const char* title) {
  HWND window = FindWindowA(nullptr, title);
  if (!window) {
    std::printf("no window titled %s\n", title);
    return 1;
  }
  char className[256] = {};
  GetClassNameA(window, className, sizeof className);
  RECT r{};
  GetWindowRect(window, &r);
  std::printf("class=%s\n", className);
  std::printf("style=0x%08lx\n", static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)));
  std::printf("exstyle=0x%08lx\n",
              static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)));
  std::printf("rect=%ld,%ld,%ld,%ld\n", static_cast<long>(r.left), static_cast<long>(r.top),
              static_cast<long>(r.right), static_cast<long>(r.bottom));
  std::printf("screen=%d,%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  std::printf("visible=%d\n", IsWindowVisible(window) ? 1 : 0);
  RECT c{};
  GetClientRect(window, &c);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  std::printf("client=%ld,%ld,%ld,%ld\n", static_cast<long>(origin.x), static_cast<long>(origin.y),
              static_cast<long>(c.right), static_cast<long>(c.bottom));
  return 0;
}

BOOL CALLBACK printMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
  MONITORINFO m{};
  m.cbSize = sizeof m;
  if (!GetMonitorInfoA(monitor, &m)) return TRUE;
  // GetDpiForMonitor lives in shcore; found at run time, as older systems
  // lack it.
  UINT dpiX = 0, dpiY = 0;
  using DpiFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  if (HMODULE shcore = LoadLibraryA("shcore.dll")) {
    auto getDpi = reinterpret_cast<DpiFn>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
    if (getDpi) getDpi(monitor, 0, &dpiX, &dpiY);
  }
  std::printf("monitor=%ld,%ld,%ld,%ld dpi=%u\n", static_cast<long>(m.rcMonitor.left),
              static_cast<long>(m.rcMonitor.top), static_cast<long>(m.rcMonitor.right),
              static_cast<long>(m.rcMonitor.bottom), dpiX);
  return TRUE;
}

int owner(const char* title) {
  HWND window = FindWindowA(nullptr, title);
  if (!window) return 1;
  HWND owner = GetWindow(window, GW_OWNER);
  std::printf("owner=%lu enabled=%d\n", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(owner)),
              owner && IsWindowEnabled(owner) ? 1 : 0);
  return 0;
}

BOOL CALLBACK printLayout(HWND child, LPARAM data) {
  HWND top = reinterpret_cast<HWND>(data);
  char className[256] = {};
  GetClassNameA(child, className, sizeof className);
  RECT r{};
  GetWindowRect(child, &r);
  POINT corner{r.left, r.top}, client{0, 0};
  ScreenToClient(top, &corner);
  ClientToScreen(child, &client);
  ScreenToClient(top, &client);
  std::printf("%s %ld,%ld,%ld,%ld client %ld,%ld\n", className, static_cast<long>(corner.x),
              static_cast<long>(corner.y), static_cast<long>(r.right - r.left),
              static_cast<long>(r.bottom - r.top), static_cast<long>(client.x), static_cast<long>(client.y));
  return TRUE;
}

int monitors() {
  std::printf("virtual=%d,%d,%d,%d\n", GetSystemMetrics(SM_XVIRTUALSCREEN),
              GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
              GetSystemMetrics(SM_CYVIRTUALSCREEN));
  EnumDisplayMonitors(nullptr, nullptr, printMonitor, 0);
  return 0;
}

LRESULT CALLBACK plainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND makeWindow(const char* title, const char* className, DWORD style, UINT classStyle) {
  WNDCLASSA c{};
  c.style = classStyle;
  c.lpfnWndProc = plainProc;
  c.hInstance = GetModuleHandleA(nullptr);
  c.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  c.lpszClassName = className;
  RegisterClassA(&c);
  return CreateWindowExA(0, className, title, style, 20, 20, 240, 160, nullptr, nullptr,
                         c.hInstance, nullptr);
}

int window(const char* title, const char* className) {
  HWND w = makeWindow(title, className, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0);
  if (!w) return 1;
  std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(w)));
  std::fflush(stdout);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}

int pixelFormats() {
  HWND w = makeWindow("pixel formats", "MiravelProbePixelFormats", WS_POPUP, CS_OWNDC);
  if (!w) return 1;
  HDC dc = GetDC(w);
  const auto formats = listPixelFormats(dc);
  std::printf("# index flags pixeltype colourbits depthbits alphabits stencilbits\n");
  for (size_t i = 0; i < formats.size(); ++i) {
    const auto& d = formats[i];
    std::printf("%zu 0x%lx %d %d %d %d %d\n", i + 1, static_cast<unsigned long>(d.dwFlags),
                d.iPixelType, d.cColorBits, d.cDepthBits, d.cAlphaBits, d.cStencilBits);
  }
  const int predicted = bestPixelFormatIndex(formats);
  choosePixelFormat(dc);
  HGLRC context = wglCreateContext(dc);
  const bool current = context && wglMakeCurrent(dc, context);
  std::printf("chosen %d predicted %d context %d\n", GetPixelFormat(dc), predicted,
              current ? 1 : 0);
  if (context) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
  }
  ReleaseDC(w, dc);
  DestroyWindow(w);
  return 0;
}

BOOL CALLBACK printChild(HWND child, LPARAM data) {
  HWND host = reinterpret_cast<HWND>(data);
  if (GetParent(child) != host) return TRUE;  // grandchildren are not asked for
  char className[256] = {};
  GetClassNameA(child, className, sizeof className);
  RECT c{}, h{};
  GetWindowRect(child, &c);
  GetClientRect(host, &h);
  DWORD childProcess = 0, hostProcess = 0;
  GetWindowThreadProcessId(child, &childProcess);
  GetWindowThreadProcessId(host, &hostProcess);
  std::printf("%s %ldx%ld of %ldx%ld process %s visible %d\n", className,
              static_cast<long>(c.right - c.left), static_cast<long>(c.bottom - c.top),
              static_cast<long>(h.right), static_cast<long>(h.bottom),
              childProcess == hostProcess ? "same" : "other", IsWindowVisible(child) ? 1 : 0);
  return TRUE;
}

BOOL CALLBACK printText(HWND child, LPARAM) {
  wchar_t text[1024] = {};
  const int length = GetWindowTextW(child, text, 1024);
  if (length <= 0) return TRUE;
  char utf8[4096] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, sizeof utf8 - 1, nullptr, nullptr);
  std::printf("%s\n", utf8);
  return TRUE;
}

// Edit controls keep what was typed to themselves: WM_GETTEXT asks them.
BOOL CALLBACK printEdit(HWND child, LPARAM) {
  char className[64] = {};
  GetClassNameA(child, className, sizeof className);
  if (lstrcmpiA(className, "Edit") != 0) return TRUE;
  wchar_t text[1024] = {};
  SendMessageW(child, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  char utf8[4096] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
  std::printf("%s\n", utf8);
  return TRUE;
}

int children(const char* title, WNDENUMPROC print) {
  HWND host = FindWindowA(nullptr, title);
  if (!host) return 1;
  EnumChildWindows(host, print, reinterpret_cast<LPARAM>(host));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "info" && argc == 3) return info(argv[2]);
  if (command == "find" && argc == 3) return FindWindowA(nullptr, argv[2]) ? 0 : 1;
  if (command == "foreground" && argc == 2) {
    char title[256] = {};
    GetWindowTextA(GetForegroundWindow(), title, sizeof title);
    std::printf("%s\n", title);
    return 0;
  }
  if (command == "play" && argc == 3) {
    const UINT devices = waveOutGetNumDevs();
    const BOOL played = PlaySoundA(argv[2], nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT);
    std::printf("devices %u played %d\n", devices, played ? 1 : 0);
    return played ? 0 : 1;
  }
  if (command == "responds" && argc == 3) {
    HWND w = FindWindowA(nullptr, argv[2]);
    DWORD_PTR ignored = 0;
    return w && SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored) ? 0 : 1;
  }
  if (command == "acp" && argc == 2) {
    std::printf("%u\n", GetACP());
    return 0;
  }
  if (command == "close" && argc == 3) {
    HWND w = FindWindowA(nullptr, argv[2]);
    return w && PostMessageA(w, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  if (command == "window" && argc == 4) return window(argv[2], argv[3]);
  if (command == "pixelformats" && argc == 2) return pixelFormats();
  if (command == "monitors" && argc == 2) return monitors();
  if (command == "owner" && argc == 3) return owner(argv[2]);
  if (command == "layout" && argc == 3) {
    HWND window = FindWindowA(nullptr, argv[2]);
    if (!window) return 1;
    EnumChildWindows(window, printLayout, reinterpret_cast<LPARAM>(window));
    return 0;
  }
  if (command == "enabled" && argc == 3) {
    HWND window = FindWindowA(nullptr, argv[2]);
    if (!window) return 1;
    std::printf("%d\n", IsWindowEnabled(window) ? 1 : 0);
    return 0;
  }
  if (command == "children" && argc == 3) return children(argv[2], printChild);
  if (command == "texts" && argc == 3) return children(argv[2], printText);
  if (command == "edits" && argc == 3) return children(argv[2], printEdit);
  std::fprintf(stderr, "usage: see the head of win32_probe.cpp\n");
  return 2;
}
