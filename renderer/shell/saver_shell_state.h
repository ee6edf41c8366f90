// The renderer shell's process-wide record of its window and flags. Plain
// data: the input rules read and write it without any display.
#pragma once

#include <cstdint>

struct CursorPoint {
  int x = 0;
  int y = 0;
};

struct SaverShellState {
  std::uintptr_t window = 0;  // the saver window (X id or HWND), once created
  int rendererReady = 0;      // 1 from the end of creation to the start of destruction
  int passwordDialogUp = 0;  // 1 while a password dialog runs: no frames, no input rules
  int closeArmed = 0;        // close requests are dropped until user input arms them
  int firstMoveSeen = 0;     // the first pointer move only records where the pointer is
  CursorPoint lastCursor;    // reference for measuring pointer movement
  // Largest accepted pointer movement between two moves, in pixels, as the
  // sum of the x and y distances.
  static constexpr int mouseThreshold = 4;
};

extern SaverShellState saverShellState;
