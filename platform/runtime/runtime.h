// The launcher's form runtime on FLTK 1.3 / X11: process life, forms, timers,
// the message box, the screen and the pointer. Everything runs on the one
// user-interface thread. With no X display every window service fails
// quietly (nothing is shown, nothing crashes), so callers need no checks of
// their own beyond what is noted below.
//
// Process life in short:
//   int main(int argc, char** argv) { platform::runLauncher(argc, argv, launcherMain); }
// runLauncher calls the start routine with no window open. When it returns,
// the launcher keeps serving events (timers, windows) as long as at least one
// Form is loaded, and ends once the last one is unloaded. endLauncher() stops
// the process at once from anywhere; no unload handling runs.
//
// How a mode keeps the launcher alive: derive from Form, load() it inside
// the start routine (onLoad runs at once, shown or not) and return. Timers
// and windows keep working. unload() it when done: onQueryUnload and
// onUnload run, and with no form left the launcher ends. A modal window is
// shown with showModal(), which returns when that window is hidden.
#pragma once

#include <FL/Enumerations.H>

#include <functional>
#include <memory>
#include <string>

class Fl_Window;
// From <X11/Xlib.h>, which is not pulled in here: its macros (None, Bool,
// Status) clash with other headers.
typedef struct _XDisplay Display;

namespace platform {

// ---- Process life ---------------------------------------------------------

// Records the command line, opens the display (when there is one), calls
// `startRoutine`, then serves events while a Form is loaded, then ends the
// process with exit code 0. Never returns.
[[noreturn]] void runLauncher(int argc, char** argv, void (*startRoutine)());

// Ends the launcher at once with exit code 0: pending X requests are sent,
// then the process stops; no form's unload handling runs.
[[noreturn]] void endLauncher();

// A program of ours (display mode's renderer) that must not outlive the
// launcher: if the orderly end after a session-end signal overruns its limit
// and the process is simply stopped, this program is killed first. 0 or
// less for none.
void setProgramToEndWithLauncher(long pid);

// Serves pending events once, waiting for at most `seconds` (forever when
// negative). Loops of modal windows are built on it; a session end (SIGTERM,
// SIGHUP, SIGINT or a lost display) is acted on here: every loaded form is
// unloaded, newest first, and the launcher ends.
void serveEvents(double seconds = -1);

// The command line: the arguments behind the program name joined by single
// blanks ("/p 1234" stays "/p 1234", "/p1234" stays "/p1234").
const std::string& commandLine();
std::string joinCommandLine(int argc, const char* const* argv);

// The launcher's own folder, from /proc/self/exe, without a trailing "/"
// except for the root folder itself. Empty when it cannot be found (the
// link cannot be read, or the path is longer than PATH_MAX).
std::string programFolder();
// The folder part of an absolute file path, by the same rule.
std::string folderOfPath(const std::string& path);

// The launcher's X connection (FLTK's), opened on first use; null when there
// is no display or it was lost. X errors on it never end the launcher: they
// only make the call fail (use xErrorTrapBegin/End of platform/x11 to see
// whether a call failed).
Display* display();

// ---- Forms ----------------------------------------------------------------

// A window of the launcher in the sense of its life: loaded or not. A Form
// need not have anything on screen (the saver host never shows itself); the
// launcher lives while any form is loaded. Override the handlers you need.
class Form {
 public:
  Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  // Destroying a loaded form only stops counting it; no handler runs.
  virtual ~Form();

  // Counts the form as loaded, then runs onLoad(). Nothing when loaded.
  void load();
  // Runs onQueryUnload(), then onUnload(), then stops counting the form.
  // Nothing when not loaded or already unloading. Unload cannot be refused.
  // A form must not be destroyed inside its own handlers.
  void unload();
  bool isLoaded() const { return loaded_; }

 protected:
  virtual void onLoad() {}
  virtual void onQueryUnload() {}
  virtual void onUnload() {}

 private:
  bool loaded_ = false;
  bool unloading_ = false;
};

int loadedFormCount();

// Shows an FLTK window modally and returns when it is hidden (closed by the
// user, hidden by its own code, or deleted). Returns at once without a
// display. Other windows of the launcher get no input meanwhile; timers run.
void showModal(Fl_Window& window);

// ---- Hidden top-level window ----------------------------------------------

// A top-level X window that exists but is never shown (mapped). Other
// programs find it by its title like any top-level window, which is what
// marks a running saver.
class HiddenWindow {
 public:
  HiddenWindow() = default;
  HiddenWindow(const HiddenWindow&) = delete;
  HiddenWindow& operator=(const HiddenWindow&) = delete;
  ~HiddenWindow() { destroy(); }

  // Creates the window titled `title` (UTF-8). False without a display or
  // when the server refuses; an existing window of this object is replaced.
  bool create(const std::string& title);
  void destroy();
  // The X window id; 0 when there is none.
  unsigned long id() const { return window_; }

 private:
  unsigned long window_ = 0;
};

// ---- Timers ---------------------------------------------------------------

// A window timer: ticks every `interval` milliseconds while enabled, served
// between other events. A tick never starts while the same timer's previous
// tick is still running (ticks missed meanwhile are dropped, not queued).
// Interval 0 never ticks. Interval and enabled flag may change at any time,
// also inside the tick; changing the interval of an enabled timer, or
// enabling it, starts a new full interval. A timer may be destroyed inside
// its own tick.
class Timer {
 public:
  explicit Timer(unsigned intervalMs = 0, bool enabled = false,
                 std::function<void()> onTick = {});
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  ~Timer();

  void setOnTick(std::function<void()> onTick);
  void setInterval(unsigned intervalMs);
  unsigned interval() const;
  void setEnabled(bool enabled);
  bool enabled() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

// ---- Message box, font ----------------------------------------------------

// Shows `text` (UTF-8, Japanese allowed) in a small window titled "Miravel"
// with an OK button, in the middle of the screen, and returns when it is
// closed (OK, Return, Space, Escape or the window's close box). Returns at
// once without a display.
void messageBox(const std::string& text);

// The launcher's user-interface font: IPA P Gothic, the metric stand-in for
// "ＭＳ Ｐゴシック", registered in FLTK as " IPAPGothic" in a slot of its own
// (FL_FREE_FONT + 48, clear of fonts registered from FL_FREE_FONT upwards).
Fl_Font uiFont();

// ---- Screen ---------------------------------------------------------------

// Twips per pixel across and down: 1440 / the screen's dots per inch (15 on
// the usual 96-dpi screen). The dots per inch come from the desktop's Xft.dpi
// setting when there is one, else from the screen's size in millimetres.
double twipsPerPixelX();
double twipsPerPixelY();
// Screen width and height in twips (0 without a display) and in pixels.
long screenWidthTwips();
long screenHeightTwips();
int screenWidthPixels();
int screenHeightPixels();
// The dots-per-inch rule above as plain code: `xftDpi` is the Xft.dpi
// resource text or null; a missing, unreadable or absurd value falls through
// to pixels / millimetres, and that to 96. The result is a whole number.
double logicalDpi(const char* xftDpi, int pixels, int millimetres);

// ---- Pointer --------------------------------------------------------------

// The application's pointer display count, as ShowCursor keeps it: starts at
// 0; show adds one, hide takes one away; the new count is returned. While it
// is below 0 the pointer is hidden on the whole screen (XFixes), at 0 and
// above it is shown. The server undoes the hiding when the launcher ends.
int showCursor(bool show);

}  // namespace platform
