// Window services on Win32: the hidden top-level window, the search by
// title, modal display and the message box.
#include "platform/runtime/win32_runtime.h"

#include <vector>

namespace platform {
namespace {

constexpr wchar_t kHiddenClass[] = L"Miravel_HiddenForm";

LRESULT CALLBACK hiddenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The system closes the launcher's windows at log-off: every form gets
  // its unload handling, newest first, and the launcher ends.
  if (message == WM_ENDSESSION && wParam) {
    unloadAllForms();
    endLauncher();
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool registerHiddenClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = hiddenProc;
  windowClass.hInstance = instance();
  windowClass.lpszClassName = kHiddenClass;
  registered = RegisterClassW(&windowClass) != 0;
  return registered;
}

struct ThreadWindows {
  HWND except;
  std::vector<HWND> disabled;
};

BOOL CALLBACK disableOther(HWND window, LPARAM data) {
  auto* windows = reinterpret_cast<ThreadWindows*>(data);
  if (window != windows->except && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    windows->disabled.push_back(window);
  }
  return TRUE;
}

}  // namespace

bool HiddenWindow::create(const std::string& title) {
  destroy();
  if (!registerHiddenClass()) return false;
  HWND window = CreateWindowExW(0, kHiddenClass, wideText(title).c_str(), WS_OVERLAPPEDWINDOW, 0,
                                0, 1, 1, nullptr, nullptr, instance(), nullptr);
  if (!window) return false;
  window_ = reinterpret_cast<uintptr_t>(window);
  return true;
}

void HiddenWindow::destroy() {
  if (window_ == 0) return;
  HWND window = reinterpret_cast<HWND>(window_);
  window_ = 0;
  DestroyWindow(window);
}

bool topLevelWindowExists(const std::string& title) {
  return FindWindowW(nullptr, wideText(title).c_str()) != nullptr;
}

void showModal(HWND window) {
  if (!window || !IsWindow(window)) return;
  ThreadWindows others{window, {}};
  EnumThreadWindows(GetCurrentThreadId(), disableOther, reinterpret_cast<LPARAM>(&others));
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  while (IsWindow(window) && IsWindowVisible(window)) serveEvents();
  for (HWND other : others.disabled) {
    if (IsWindow(other)) EnableWindow(other, TRUE);
  }
}

void messageBox(const std::string& text) {
  MessageBoxW(nullptr, wideText(text).c_str(), L"Miravel", MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
}

}  // namespace platform
