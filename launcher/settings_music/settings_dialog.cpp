// The settings dialog of the configure mode (/c): the window "<Miravel>",
// shown modally; the launcher ends when it returns.
#include "launcher/core/modes.h"
#include "launcher/settings_music/fltk_dialog_view.h"
#include "launcher/settings_music/settings.h"
#include "platform/runtime/fltk_runtime.h"

void showSettingsDialog(int64_t /*ownerWindow*/) {
  // Without a display there is nothing to show and nothing to save.
  if (!platform::display()) return;
  dialog::Kelvara_P dialog(SettingsPath());
  dialog.load();
  if (dialog.isLoaded()) platform::showModal(dialog);
}
