// When user input ends the saver. Each shell (X11, Wayland, Win32) turns its
// events into these neutral ones, calls handleSaverInput, and carries out the
// actions returned.
#pragma once

#include <functional>

#include "renderer/shell/saver_shell_state.h"

enum class SaverEventKind {
  CloseRequest,   // a close asked by another program or posted by these rules
  Show,           // the saver window has been mapped
  CursorQuery,    // the system asks which pointer to show over the window
  AppSwitchAway,  // keyboard focus went to another application's window
  KeyDown,        // any key, modifiers included
  ButtonDown,     // left, middle or right button (not the wheel)
  MouseMove,      // pointer moved; `pointer` holds its position read just now
  Other,          // releases, wheel, everything else: nothing happens
};

struct SaverEvent {
  SaverEventKind kind = SaverEventKind::Other;
  CursorPoint pointer;  // MouseMove only: root coordinates read at handling time
};

struct SaverActions {
  bool postClose = false;      // queue a close request behind the events already waiting
  bool hideCursor = false;     // (re)define the invisible cursor on the window;
                               // for a CursorQuery also: the query is answered
  bool destroyWindow = false;  // the close is accepted: destroy the window and end
};

// Reads the pointer's current screen position (XQueryPointer, GetCursorPos).
using CursorReader = std::function<CursorPoint()>;

SaverActions handleSaverInput(SaverShellState& state, const SaverEvent& event,
                              const CursorReader& readCursor);

// A platform password dialog: shown for `window`, returns non-zero when the
// user may leave the saver. None is installed on Linux, where the session
// locker guards the return from a screen saver, nor on the Windows NT
// family, where the system does.
using PasswordDialog = std::function<int(std::uintptr_t window)>;

// Installs a dialog (tests, or a platform that has one); an empty function
// removes it.
void setPasswordDialog(PasswordDialog dialog);

// Non-zero when the saver may close. Without a dialog it answers yes at once;
// with one, passwordDialogUp is 1 for exactly as long as the dialog runs.
int verifyPassword(SaverShellState& state);
