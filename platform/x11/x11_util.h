// Thin helpers over Xlib shared by both programs: an error handler that turns
// X errors into failed calls instead of ending the program, and the search for
// top-level windows by title (and optionally WM_CLASS class name).
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace platform {

// Installs an X error handler that only records the error.
// Without it Xlib's default handler would end the program on a bad window id
// or a window that vanished between two calls.
void installXErrorHandler();

// Runs XSync and reports whether any X error arrived since the last call of
// xErrorTrapBegin(). Use as:
//   xErrorTrapBegin();  XSomething(...);  if (!xErrorTrapEnd(dpy)) { failed }
void xErrorTrapBegin();
bool xErrorTrapEnd(Display* display);

// The title of a window: _NET_WM_NAME (UTF-8) when set, else WM_NAME.
// Empty when the window has neither or does not exist.
std::string windowTitle(Display* display, Window window);

// The class part of WM_CLASS (the second string), empty when unset.
std::string windowClassName(Display* display, Window window);

// Looks for a top-level window whose title is exactly `title` and, when
// `className` is not null, whose WM_CLASS class is exactly `className`.
// Top-level means a child of the root window or, under a window manager,
// the client window inside such a child (a frame). Unmapped windows count.
// Returns None when nothing matches.
Window findTopLevelWindow(Display* display, const std::string& title,
                          const char* className = nullptr);

// The same search, limited to windows that name `pid` as their owner in
// _NET_WM_PID: a window of another program with the same title never counts.
Window findTopLevelWindowOfProcess(Display* display, const std::string& title, long pid);

}  // namespace platform
