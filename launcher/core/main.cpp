// Miravel.scr: the screen saver's launcher.
#include "launcher/core/launcher.h"
#include "platform/runtime/runtime.h"

int main(int argc, char** argv) { platform::runLauncher(argc, argv, launcherMain); }
