// The settings dialog of the configure mode (/c) on Windows: the window
// "<Miravel>", shown modally; the launcher ends when it returns. Asked for by
// the Screen Saver Settings with "/c:HWND", it belongs to that window and
// keeps it disabled while open, so it can never fall behind it.
#include "launcher/core/modes.h"
#include "launcher/settings_music/settings.h"
#include "launcher/settings_music/win32_dialog_view.h"
#include "platform/runtime/win32_runtime.h"

#include <cstdint>

void showSettingsDialog(int64_t ownerWindow) {
  HWND owner = reinterpret_cast<HWND>(static_cast<intptr_t>(ownerWindow));
  // A number that names no window (or one of ours) gives no owner.
  DWORD ownerProcess = 0;
  if (owner && (!IsWindow(owner) || (GetWindowThreadProcessId(owner, &ownerProcess),
                                      ownerProcess == GetCurrentProcessId())))
    owner = nullptr;
  dialog::Win32SettingsDialog dialog(SettingsPath(), owner);
  if (!dialog.window()) return;
  dialog.load();
  if (!dialog.isLoaded()) return;
  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  platform::showModal(dialog.window());
  if (disableOwner) {
    EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);
  }
}
