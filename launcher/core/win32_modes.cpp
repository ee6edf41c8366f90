// What Windows has of the modes that exist only on Linux: display mode is never asked for.
#include "launcher/core/modes.h"

// Display mode serves Linux screen-saver daemons; a Windows command line
// never asks for it.
bool startDisplayModeIfAsked() { return false; }
