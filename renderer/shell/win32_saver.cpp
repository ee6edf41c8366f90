#include "renderer/shell/win32_saver.h"

#include <GL/gl.h>

#include <memory>

#include "platform/names/program_names.h"
#include "renderer/shell/saver_creation.h"
#include "renderer/shell/wgl_pixel_format.h"

namespace {

constexpr const char* kClassName = names::kRendererClass;
constexpr const char* kFirstTitle = names::kRendererFirstTitle;
constexpr int kIconResource = 7002;

// The window procedure is a plain function: the one window's GL side, the
// monitors' layout, surfaces and scenes live here.
Win32Surface g_surface;
MonitorLayout g_layout;
std::vector<std::unique_ptr<Win32MonitorSurface>> g_monitorSurfaces;
std::vector<std::unique_ptr<CurtainScene>> g_scenes;

std::vector<CurtainScene*> scenes() {
  std::vector<CurtainScene*> list;
  for (auto& scene : g_scenes) list.push_back(scene.get());
  return list;
}

// One scene per monitor of the layout, each on its part of the window.
void makeMonitorScenes() {
  g_monitorSurfaces.clear();
  g_scenes.clear();
  for (const ScreenRect& view : g_layout.views) {
    g_monitorSurfaces.push_back(std::make_unique<Win32MonitorSurface>(g_surface, view));
    g_scenes.push_back(std::make_unique<CurtainScene>());
  }
}

// The idle turn: every monitor's picture, then one swap of the window. What
// no monitor shows is cleared to black first, as no scene draws there.
bool drawMonitors() {
  if (saverShellState.rendererReady != 1 || saverShellState.passwordDialogUp != 0 ||
      !g_surface.hasContext())
    return false;
  if (g_layout.hasUncoveredArea) {
    g_surface.makeCurrent();
    glDisable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  bool drew = false;
  for (auto& scene : g_scenes) {
    if (scene->renderIdle(saverShellState.rendererReady, saverShellState.passwordDialogUp)) drew = true;
  }
  if (drew) g_surface.swapBuffers();
  return drew;
}

CursorPoint cursorPosition() {
  POINT p{};
  // A failed read (a secure desktop, say) keeps the reference where it is.
  if (!GetCursorPos(&p)) return saverShellState.lastCursor;
  return CursorPoint{static_cast<int>(p.x), static_cast<int>(p.y)};
}

// The creation and destruction steps' platform calls.
class Win32WindowSteps : public SaverWindowSteps {
 public:
  explicit Win32WindowSteps(HWND window) : window_(window) {}
  CursorPoint cursorPosition() override { return ::cursorPosition(); }
  void hidePointer() override { SetCursor(nullptr); }
  void setTitle(const char* title) override { SetWindowTextA(window_, title); }
  void lowerPriority() override {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
  }
  RenderSurface& surface() override {
    g_surface.attach(window_);
    return g_surface;
  }
  RenderSurface& sceneSurface(std::size_t index) override {
    g_surface.attach(window_);
    return *g_monitorSurfaces[index];
  }
  void releaseSurface() override { g_surface.release(); }

 private:
  HWND window_;
};

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

// Stage 3: the input rules, and the default handling of what they leave.
LRESULT handleInputMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SaverEvent event = translateSaverMessage(message, wParam);
  if (event.kind == SaverEventKind::Other) return DefWindowProcA(window, message, wParam, lParam);
  if (event.kind == SaverEventKind::MouseMove) event.pointer = cursorPosition();

  const SaverActions actions = handleSaverInput(saverShellState, event, cursorPosition);
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

// Frames whenever the queue is empty; every waiting message first.
int messageLoop() {
  MSG message{};
  for (;;) {
    while (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      if (drawMonitors()) {
        Sleep(0);  // only yields the rest of the time slice
      } else {
        // Nothing to draw (no GL context): wait for input instead of spinning.
        WaitMessage();
      }
    }
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) break;
    if (got == -1) return 1;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
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

void Win32MonitorSurface::clientRect(int& left, int& top, int& right, int& bottom) const {
  left = view_.left;
  top = view_.top;
  right = view_.right;
  bottom = view_.bottom;
}

int Win32MonitorSurface::drawableHeight() const {
  int left = 0, top = 0, right = 0, bottom = 0;
  window_.clientRect(left, top, right, bottom);
  return bottom - top;
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

LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Stages 1 and 2: what comes before the input rules, and the window's life.
  switch (message) {
    case WM_CREATE: {
      makeMonitorScenes();
      Win32WindowSteps steps(window);
      runCreationSteps(steps, scenes());
      break;
    }
    case WM_DESTROY: {
      PostQuitMessage(0);
      Win32WindowSteps steps(window);
      runDestructionSteps(steps, scenes());
      break;
    }
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

int rendererMain(HINSTANCE instance) {
  WNDCLASSA windowClass{};
  windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = saverWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
  windowClass.hCursor = nullptr;  // the pointer is whatever SetCursor last set: none
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kClassName;

  // Every monitor: the window covers the virtual screen.
  g_layout = systemMonitorLayout();
  const ScreenRect& area = g_layout.window;

  // Another saver window still being set up (its first title) takes
  // precedence: bring it forward and leave without a window of our own.
  HWND existing = FindWindowA(kClassName, kFirstTitle);
  if (existing && IsWindow(existing)) {
    SetForegroundWindow(existing);
    return 0;
  }

  if (!RegisterClassA(&windowClass)) return 1;
  if (win9xFamily()) setPasswordDialog(systemPasswordCheck);

  HWND window = CreateWindowExA(WS_EX_TOPMOST, kClassName, kFirstTitle,
                                WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, area.left,
                                area.top, area.width(), area.height(), nullptr, nullptr, instance,
                                nullptr);
  if (!window) return 1;
  saverShellState.window = reinterpret_cast<std::uintptr_t>(window);
  SetForegroundWindow(window);
  return messageLoop();
}
