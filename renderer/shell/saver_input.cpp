#include "renderer/shell/saver_input.h"

#include <cstdlib>
#include <utility>

namespace {

PasswordDialog g_passwordDialog;

long long mouseDistance(CursorPoint a, CursorPoint b) {
  return std::llabs(static_cast<long long>(a.x) - b.x) +
         std::llabs(static_cast<long long>(a.y) - b.y);
}

}  // namespace

void setPasswordDialog(PasswordDialog dialog) { g_passwordDialog = std::move(dialog); }

int verifyPassword(SaverShellState& state) {
  if (!g_passwordDialog) return 1;
  state.passwordDialogUp = 1;
  int result = g_passwordDialog(state.window);
  state.passwordDialogUp = 0;
  return result;
}

SaverActions handleSaverInput(SaverShellState& state, const SaverEvent& event,
                              const CursorReader& readCursor) {
  SaverActions actions;

  if (event.kind == SaverEventKind::CloseRequest) {
    // Nobody but the user may end the saver: until input has armed the
    // close, requests (our own or from outside) are dropped.
    if (!state.closeArmed) return actions;
    if (verifyPassword(state) == 0) {
      // Refused: stay, and measure further movement from where the pointer
      // is now, so the next real move asks again.
      if (readCursor) state.lastCursor = readCursor();
      return actions;
    }
    actions.destroyWindow = true;
    return actions;
  }

  // The password dialog owns the user's input while it is up.
  if (state.passwordDialogUp) return actions;

  switch (event.kind) {
    case SaverEventKind::Show:
    case SaverEventKind::CursorQuery:
      actions.hideCursor = true;
      break;
    case SaverEventKind::AppSwitchAway:
    case SaverEventKind::KeyDown:
    case SaverEventKind::ButtonDown:
      state.closeArmed = 1;
      actions.postClose = true;
      break;
    case SaverEventKind::MouseMove:
      // The first move may be nothing but the window appearing under a
      // still pointer, so it does not arm the close.
      if (state.firstMoveSeen)
        state.closeArmed = 1;
      else
        state.firstMoveSeen = 1;
      if (mouseDistance(state.lastCursor, event.pointer) > SaverShellState::mouseThreshold)
        actions.postClose = true;
      else
        state.lastCursor = event.pointer;
      break;
    case SaverEventKind::CloseRequest:
    case SaverEventKind::Other:
      break;
  }
  return actions;
}
