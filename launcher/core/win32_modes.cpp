// The modes that exist only on Linux.
#include "launcher/core/modes.h"

// Display mode serves Linux screen-saver daemons; a Windows command line
// never asks for it.
bool startDisplayModeIfAsked() { return false; }
