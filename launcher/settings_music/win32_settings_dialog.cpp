// The settings dialog of the configure mode (/c) on Windows: the window
// "<Miravel>", shown modally; the launcher ends when it returns.
#include "launcher/core/modes.h"
#include "launcher/settings_music/settings.h"
#include "launcher/settings_music/win32_dialog_view.h"
#include "platform/runtime/win32_runtime.h"

void showSettingsDialog() {
  dialog::Win32SettingsDialog dialog(SettingsPath());
  if (!dialog.window()) return;
  dialog.load();
  if (dialog.isLoaded()) platform::showModal(dialog.window());
}
