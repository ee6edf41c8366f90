// The settings dialog. Until it is built, configuring ends the launcher
// quietly without touching the settings file.
#include "launcher/core/modes.h"
#include "platform/runtime/runtime.h"

void showSettingsDialog() { platform::endLauncher(); }
