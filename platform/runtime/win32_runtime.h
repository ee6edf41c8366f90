// The Win32 side of the launcher's form runtime: what only Win32 views and
// adaptors use. Shared launcher code includes runtime.h alone.
#pragma once

#include <windows.h>

#include "platform/runtime/runtime.h"

namespace platform {

// The launcher's module, for window classes and resources.
HINSTANCE instance();

// Shows `window` modally and returns when it is hidden or destroyed. The
// launcher's other windows get no input meanwhile (they are disabled); timers
// run. Dialog keys (Tab, Return, Escape) reach the window through
// IsDialogMessage while it is active.
void showModal(HWND window);

// The UTF-16 form of a UTF-8 text of the launcher (titles, messages).
std::wstring wideText(const std::string& utf8);

// The launcher's own path as the system knows it (UTF-16, any length);
// empty when it cannot be had.
std::wstring programPathWide();

}  // namespace platform
