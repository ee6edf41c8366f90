#include "renderer/shell/win32_saver.h"

#include <memory>

#include "platform/names/program_names.h"
#include "renderer/shell/frame_pacing.h"
#include "renderer/shell/saver_run.h"
#include "renderer/shell/wgl_pixel_format.h"

namespace {

constexpr const char* kClassName = names::kRendererClass;
constexpr const char* kFirstTitle = names::kRendererFirstTitle;
constexpr int kIconResource = 7002;

CursorPoint systemCursorPosition() {
  POINT p{};
  // A failed read (a secure desktop, say) keeps the reference where it is.
  if (!GetCursorPos(&p)) return saverShellState.lastCursor;
  return CursorPoint{static_cast<int>(p.x), static_cast<int>(p.y)};
}

// The Windows 9x family leaves the password on return to the screen saver:
// the control panel's password library asks for it.
bool win9xFamily() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
  return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

int systemPasswordCheck(std::uintptr_t window) {
  HMODULE library = LoadLibraryA("PASSWORD.CPL");
  if (!library) return 1;
  using VerifyFn = BOOL(WINAPI*)(HWND);
  auto verify = reinterpret_cast<VerifyFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "VerifyScreenSavePwd")));
  if (!verify) {
    FreeLibrary(library);
    return 1;
  }
  BOOL previous = FALSE;
  SystemParametersInfoA(SPI_SCREENSAVERRUNNING, TRUE, &previous, 0);
  int result = verify(reinterpret_cast<HWND>(window));
  SystemParametersInfoA(SPI_SCREENSAVERRUNNING, FALSE, &previous, 0);
  FreeLibrary(library);
  return result;
}

// The class's window procedure: the shell that made the window comes with
// its creation and is kept in the window; the few messages before that get
// the default handling.
LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* shell = reinterpret_cast<Win32Shell*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!shell) return DefWindowProcA(window, message, wParam, lParam);
  return shell->handleMessage(window, message, wParam, lParam);
}

}  // namespace

void Win32Surface::release() {
  if (window_ && deviceContext_) ReleaseDC(window_, deviceContext_);
  deviceContext_ = nullptr;
  if (context_) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context_);
  }
  context_ = nullptr;
  window_ = nullptr;
}

bool Win32Surface::createContext() {
  if (context_) return true;
  deviceContext_ = GetDC(window_);
  if (!deviceContext_) return false;
  choosePixelFormat(deviceContext_);
  context_ = wglCreateContext(deviceContext_);
  if (context_ && !wglMakeCurrent(deviceContext_, context_)) {
    wglDeleteContext(context_);
    context_ = nullptr;
  }
  return context_ != nullptr;
}

void Win32Surface::clientRect(int& left, int& top, int& right, int& bottom) const {
  RECT r{};
  GetClientRect(window_, &r);
  left = r.left;
  top = r.top;
  right = r.right;
  bottom = r.bottom;
}

void Win32Surface::makeCurrent() {
  if (context_ && wglGetCurrentContext() != context_) wglMakeCurrent(deviceContext_, context_);
}

namespace {

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<ScreenRect>*>(data)->push_back({r.left, r.top, r.right, r.bottom});
  }
  return TRUE;
}

}  // namespace

MonitorLayout systemMonitorLayout() {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const ScreenRect virtualScreen{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                 y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  const ScreenRect primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  std::vector<ScreenRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&monitors));
  return layoutMonitors(virtualScreen, primary, monitors);
}

void Win32Surface::swapBuffers() {
  if (deviceContext_) wglSwapLayerBuffers(deviceContext_, WGL_SWAP_MAIN_PLANE);
}

SaverEvent translateSaverMessage(UINT message, WPARAM wParam) {
  SaverEvent event;
  switch (message) {
    case WM_CLOSE:
      event.kind = SaverEventKind::CloseRequest;
      break;
    case WM_SHOWWINDOW:
      if (wParam) event.kind = SaverEventKind::Show;
      break;
    case WM_ACTIVATEAPP:
      if (!wParam) event.kind = SaverEventKind::AppSwitchAway;
      break;
    case WM_SETCURSOR:
      event.kind = SaverEventKind::CursorQuery;
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      event.kind = SaverEventKind::KeyDown;
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      event.kind = SaverEventKind::ButtonDown;
      break;
    case WM_MOUSEMOVE:
      event.kind = SaverEventKind::MouseMove;
      break;
    default:
      break;
  }
  return event;
}

// Stage 3: the input rules, and the default handling of what they leave.
LRESULT Win32Shell::handleInputMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SaverEvent event = translateSaverMessage(message, wParam);
  if (event.kind == SaverEventKind::Other) return DefWindowProcA(window, message, wParam, lParam);
  if (event.kind == SaverEventKind::MouseMove) event.pointer = systemCursorPosition();

  const SaverActions actions = handleSaverInput(saverShellState, event, systemCursorPosition);
  if (actions.hideCursor) SetCursor(nullptr);
  // Posted, never sent: the request is judged when the loop takes it.
  if (actions.postClose) PostMessageA(window, WM_CLOSE, 0, 0);

  switch (event.kind) {
    case SaverEventKind::CloseRequest:
      // The default handling of an accepted close destroys the window.
      return actions.destroyWindow ? DefWindowProcA(window, message, wParam, lParam) : 0;
    case SaverEventKind::CursorQuery:
      if (actions.hideCursor) return TRUE;
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT Win32Shell::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Stages 1 and 2: what comes before the input rules, and the window's life.
  switch (message) {
    case WM_DESTROY:
      // The run's destruction steps follow once the loop takes the quit.
      PostQuitMessage(0);
      break;
    case WM_SYSCOMMAND:
      // Switching windows, or starting a screen saver on top of this one,
      // does nothing while it runs.
      if (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE)
        return 0;
      break;
    default:
      break;
  }
  return handleInputMessage(window, message, wParam, lParam);
}

Win32Shell::~Win32Shell() { close(); }

bool Win32Shell::connect() {
  // Every monitor: the window covers the virtual screen.
  monitors_.follow(systemMonitorLayout());
  return true;
}

bool Win32Shell::anotherSaverUp() {
  HWND existing = FindWindowA(kClassName, kFirstTitle);
  if (!existing || !IsWindow(existing)) return false;
  SetForegroundWindow(existing);
  return true;
}

bool Win32Shell::openSurfaces() {
  WNDCLASSA windowClass{};
  windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = saverWindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(kIconResource));
  windowClass.hCursor = nullptr;  // the pointer is whatever SetCursor last set: none
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassA(&windowClass)) return false;
  if (win9xFamily()) setPasswordDialog(systemPasswordCheck);

  // Made hidden: the creation steps run before anyone sees it.
  const ScreenRect& area = monitors_.layout().window;
  window_ = CreateWindowExA(WS_EX_TOPMOST, kClassName, kFirstTitle,
                            WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, area.left, area.top,
                            area.width(), area.height(), nullptr, nullptr, instance_, this);
  if (!window_) return false;
  surface_.attach(window_);
  saverShellState.window = reinterpret_cast<std::uintptr_t>(window_);
  return true;
}

void Win32Shell::show() {
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
}

bool Win32Shell::dispatchPending() {
  MSG message{};
  while (!quit_ && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit_ = true;
      exitCode_ = static_cast<int>(message.wParam);
      break;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return !quit_;
}

void Win32Shell::wait(std::int64_t micros) {
  if (micros <= 0) {
    Sleep(0);  // only yields the rest of the time slice
    return;
  }
  MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>((micros + 999) / 1000),
                            QS_ALLINPUT);
}

std::int64_t Win32Shell::nowMicros() {
  LARGE_INTEGER frequency{}, count{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&count);
  if (frequency.QuadPart <= 0) return static_cast<std::int64_t>(GetTickCount64()) * 1000;
  return static_cast<std::int64_t>(count.QuadPart / frequency.QuadPart * 1000000 +
                                   count.QuadPart % frequency.QuadPart * 1000000 /
                                       frequency.QuadPart);
}

void Win32Shell::present(bool drew) {
  // Every monitor drew into the back buffer: one swap shows them all.
  if (drew) surface_.swapBuffers();
}

int Win32Shell::close() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  window_ = nullptr;
  saverShellState.window = 0;
  return exitCode_;
}

CursorPoint Win32Shell::cursorPosition() { return systemCursorPosition(); }

void Win32Shell::lowerPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST); }

int runWin32Saver(HINSTANCE instance) {
  Win32Shell shell(instance);
  FramePacer noCap(0);
  return runSaver(shell, noCap).exitCode;
}
