// The FLTK / X11 side of the launcher's form runtime: what only the FLTK
// views and the X11 adaptors use. Shared launcher code includes runtime.h
// alone.
#pragma once

#include <FL/Enumerations.H>

#include "platform/runtime/runtime.h"

class Fl_Window;
// From <X11/Xlib.h>, which is not pulled in here: its macros (None, Bool,
// Status) clash with other headers.
typedef struct _XDisplay Display;

namespace platform {

// The launcher's X connection (FLTK's), opened on first use; null when there
// is no display or it was lost. X errors on it never end the launcher: they
// only make the call fail (use xErrorTrapBegin/End of platform/x11 to see
// whether a call failed).
Display* display();

// Shows an FLTK window modally and returns when it is hidden (closed by the
// user, hidden by its own code, or deleted). Returns at once without a
// display. Other windows of the launcher get no input meanwhile; timers run.
void showModal(Fl_Window& window);

// The launcher's user-interface font: IPA P Gothic, the metric stand-in for
// "ＭＳ Ｐゴシック", registered in FLTK as " IPAPGothic" in a slot of its own
// (FL_FREE_FONT + 48, clear of fonts registered from FL_FREE_FONT upwards).
Fl_Font uiFont();

}  // namespace platform
