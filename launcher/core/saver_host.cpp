// The hidden saver host of a run. Until it is built, a run ends the launcher
// quietly (the server shows the pointer again as the process goes).
#include "launcher/core/modes.h"
#include "platform/runtime/runtime.h"

void loadSaverHost() { platform::endLauncher(); }
