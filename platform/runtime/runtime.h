// The launcher's form runtime: process life, forms, timers, the message box,
// the screen and the pointer, with no type of any one platform in it. It is
// implemented on FLTK 1.3 / X11 (fltk_*.cpp, x11_*.cpp; FLTK-only services in
// fltk_runtime.h) and on Win32 (win32_*.cpp; win32_runtime.h). Everything
// runs on the one user-interface thread. With no display every window service
// fails quietly (nothing is shown, nothing crashes), so callers need no
// checks of their own beyond what is noted below.
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
// shown with the platform's showModal(), which returns when that window is
// hidden.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// ---- Process life ---------------------------------------------------------

// Records the command line, opens the display (when there is one), calls
// `startRoutine`, then serves events while a Form is loaded, then ends the
// process with exit code 0. Never returns.
[[noreturn]] void runLauncher(int argc, char** argv, void (*startRoutine)());

// Ends the launcher at once with exit code 0: pending X requests are sent,
// then the process stops; no form's unload handling runs.
[[noreturn]] void endLauncher();

// Serves pending events once, waiting for at most `seconds` (forever when
// negative). Loops of modal windows are built on it; a session end (SIGTERM,
// SIGHUP, SIGINT or a lost display) is acted on here: every loaded form is
// unloaded, newest first, and the launcher ends.
void serveEvents(double seconds = -1);

// The command line: the arguments behind the program name joined by single
// blanks ("/p 1234" stays "/p 1234", "/p1234" stays "/p1234").
const std::string& commandLine();
std::string joinCommandLine(int argc, const char* const* argv);

// The launcher's own folder without a trailing separator except for a root
// folder itself ("/" on Linux, from /proc/self/exe; "C:\\" on Windows, from
// GetModuleFileName). Empty when it cannot be found (the link cannot be read,
// or the path is longer than the system allows).
std::string programFolder();
// The folder part of an absolute file path, by the same rule.
std::string folderOfPath(const std::string& path);
// `name` inside `folder`, joined with the platform's separator.
std::string pathInFolder(const std::string& folder, const std::string& name);

// True when windows can be shown: an X display could be opened (Linux);
// always on Windows.
bool hasDisplay();

// True when a Wayland compositor accepts a connection on the socket that
// WAYLAND_DISPLAY names, so that the renderer can draw natively there;
// false when it names none, MIRAVEL_PLATFORM forces "x11", or nobody
// answers (a stale name). Always false on Windows. Asked afresh each call.
bool waylandDisplayReachable();

// The socket a Wayland client connects to for WAYLAND_DISPLAY's value:
// the value itself when absolute, else that name in XDG_RUNTIME_DIR (which
// must be absolute). Empty when either is unset or empty, or the path would
// not fit a socket address (107 bytes).
std::string waylandSocketPath(const char* waylandDisplay, const char* xdgRuntimeDir);

// True when a top-level window titled exactly `title` (UTF-8) exists, shown
// or not, of any program. False without a display.
bool topLevelWindowExists(const std::string& title);

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

// Unloads every loaded form, newest first (a session's end).
void unloadAllForms();

// ---- Hidden top-level window ----------------------------------------------

// A top-level window that exists but is never shown (mapped). Other
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
  // The X window id or the HWND; 0 when there is none.
  uintptr_t id() const { return window_; }

 private:
  uintptr_t window_ = 0;
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

// ---- Message box ----------------------------------------------------------

// Shows `text` (UTF-8, Japanese allowed) in a small window titled "Miravel"
// with an OK button, in the middle of the screen, and returns when it is
// closed (OK, Return, Space, Escape or the window's close box). Returns at
// once without a display.
void messageBox(const std::string& text);

// ---- Screen ---------------------------------------------------------------

// Twips per pixel across and down: 1440 / the screen's dots per inch (15 on
// the usual 96-dpi screen). On X11 the dots per inch come from the desktop's
// Xft.dpi setting when there is one, else from the screen's size in
// millimetres; on Windows from the screen's logical dots per inch.
double twipsPerPixelX();
double twipsPerPixelY();
// Screen width and height in pixels.
int screenWidthPixels();
int screenHeightPixels();
// The dots-per-inch rule above as plain code: `xftDpi` is the Xft.dpi
// resource text or null; a missing, unreadable or absurd value falls through
// to pixels / millimetres, and that to 96. The result is a whole number.
double logicalDpi(const char* xftDpi, int pixels, int millimetres);

// ---- Pointer --------------------------------------------------------------

// The application's pointer display count, as ShowCursor keeps it: starts at
// 0; show adds one, hide takes one away; the new count is returned. While it
// is below 0 the pointer is hidden (on X11 on the whole screen, by XFixes,
// and the server undoes the hiding when the launcher ends), at 0 and above it
// is shown. On Windows this is ShowCursor itself.
int showCursor(bool show);

}  // namespace platform
