// Miravel.dll for Windows: the full-screen renderer. Whatever its command
// line, it opens one window titled "KelvaraVC" and draws the light curtains
// until the user returns, then ends with exit code 0.
#include <windows.h>

#include "renderer/shell/win32_saver.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // The command line is ignored: every start is a full-screen run.
  return runWin32Saver(instance);
}
