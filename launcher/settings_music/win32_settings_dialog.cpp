// The settings dialog of the configure mode (/c) on Windows: the window
// "<Miravel>", shown modally; the launcher ends when it returns.
// The Win32 dialog is not built yet: until it is, /c ends without showing
// anything and saves nothing.
#include "launcher/core/modes.h"

void showSettingsDialog() {}
