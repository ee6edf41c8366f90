// Which window is under the pointer: the X11 stand-in for GetCursorPos plus
// WindowFromPoint.
#pragma once

#include <X11/Xlib.h>

namespace button {

enum class PointerAnswer { Found, OffScreen, Failed };

// Walks from the root window down through the children under the pointer
// to the deepest one and stores it in `window`. OffScreen: the pointer is on
// another screen. Failed: an X error (a window vanished during the walk).
PointerAnswer deepestWindowUnderPointer(Display* display, Window& window);

}  // namespace button
