#include "renderer/shell/x11_saver.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/names/program_names.h"
#include "platform/process/ready_pipe.h"
#include "platform/x11/x11_util.h"
#include "renderer/shell/glx_pixel_format.h"
#include "renderer/shell/posix_saver_steps.h"
#include "renderer/shell/saver_run.h"

namespace {

constexpr const char* kFirstTitle = names::kRendererFirstTitle;
constexpr const char* kClassName = names::kRendererClass;

Cursor makeInvisibleCursor(Display* display, Window root) {
  static const char empty[1] = {0};
  Pixmap bitmap = XCreateBitmapFromData(display, root, empty, 1, 1);
  XColor black{};
  Cursor cursor = XCreatePixmapCursor(display, bitmap, bitmap, &black, &black, 0, 0);
  XFreePixmap(display, bitmap);
  return cursor;
}

bool windowManagerRuns(Display* display) {
  Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  platform::xErrorTrapBegin();
  int rc = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                              &type, &format, &count, &after, &data);
  bool clean = platform::xErrorTrapEnd(display);
  bool found = clean && rc == Success && type == XA_WINDOW && count == 1;
  if (data) XFree(data);
  return found;
}

// How often the monitor list is read again while running: a monitor set with
// xrandr --setmonitor comes with no event.
constexpr std::int64_t kMonitorCheckMicros = 1000000;

// Display mode: the daemon went away with its display. Nothing is left to
// draw on or to release, and Xlib ends the process if this returns.
int onDisplayLost(Display*) { _exit(0); }

}  // namespace

void bringWindowToFront(Display* display, Window window) {
  platform::xErrorTrapBegin();
  XRaiseWindow(display, window);
  if (windowManagerRuns(display)) {
    // Under a window manager activation is its business: ask it.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;  // from an application
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
  } else {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) &&
        attributes.map_state == IsViewable)
      XSetInputFocus(display, window, RevertToParent, CurrentTime);
  }
  platform::xErrorTrapEnd(display);
}

X11Shell::X11Shell(const display_mode::Options* displayMode)
    : displayMode_(displayMode), adopted_(displayMode != nullptr) {}

X11Shell::~X11Shell() { close(); }

bool X11Shell::connect() {
  display_ = XOpenDisplay(nullptr);
  if (!display_) {
    std::fprintf(stderr, "Miravel.dll: cannot open the X display\n");
    return false;
  }
  platform::installXErrorHandler();
  if (adopted_) XSetIOErrorHandler(onDisplayLost);
  screen_ = DefaultScreen(display_);
  root_ = RootWindow(display_, screen_);
  wmProtocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
  wmDeleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  netWmName_ = XInternAtom(display_, "_NET_WM_NAME", False);
  utf8String_ = XInternAtom(display_, "UTF8_STRING", False);
  return true;
}

bool X11Shell::anotherSaverUp() {
  if (adopted_) return false;
  Window existing = platform::findTopLevelWindow(display_, kFirstTitle, kClassName);
  if (existing == None) return false;
  bringWindowToFront(display_, existing);
  return true;
}

bool X11Shell::openSurfaces() {
  if (adopted_) {
    const Window target =
        display_mode::targetWindow(*displayMode_, std::getenv("XSCREENSAVER_WINDOW"), root_);
    XWindowAttributes attributes{};
    platform::xErrorTrapBegin();
    Status got = XGetWindowAttributes(display_, target, &attributes);
    // Selecting structure events adds to what others selected; it is one of
    // the few masks any number of clients may share on a window.
    if (got) XSelectInput(display_, target, StructureNotifyMask);
    bool clean = platform::xErrorTrapEnd(display_);
    if (!got || !clean) {
      std::fprintf(stderr, "Miravel.dll: there is no window 0x%lx to draw into\n",
                   static_cast<unsigned long>(target));
      return false;
    }
    window_ = target;
    screen_ = XScreenNumberOfScreen(attributes.screen);
    width_ = attributes.width;
    height_ = attributes.height;
    config_ = choosePixelFormatForVisual(display_, screen_, XVisualIDFromVisual(attributes.visual));
    saverShellState.window = window_;
    return true;
  }

  width_ = DisplayWidth(display_, screen_);
  height_ = DisplayHeight(display_, screen_);

  // X fixes a window's visual when it is made, so the pixel format is chosen
  // before the window rather than on it.
  config_ = choosePixelFormat(display_, screen_);
  XVisualInfo* visualInfo = config_ ? glXGetVisualFromFBConfig(display_, config_) : nullptr;
  if (!visualInfo) config_ = nullptr;
  Visual* visual = visualInfo ? visualInfo->visual : DefaultVisual(display_, screen_);
  int depth = visualInfo ? visualInfo->depth : DefaultDepth(display_, screen_);

  colormap_ = XCreateColormap(display_, root_, visual, AllocNone);
  invisibleCursor_ = makeInvisibleCursor(display_, root_);

  // Override-redirect: the window is placed, sized and stacked exactly as
  // asked, with or without a window manager, and no manager decorates it,
  // moves it or keeps a panel above it.
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = 0;
  attributes.border_pixel = 0;
  attributes.colormap = colormap_;
  attributes.cursor = invisibleCursor_;
  attributes.event_mask =
      KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask | StructureNotifyMask;
  platform::xErrorTrapBegin();
  window_ = XCreateWindow(display_, root_, 0, 0, width_, height_, 0, depth, InputOutput, visual,
                          CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWColormap |
                              CWCursor | CWEventMask,
                          &attributes);
  bool created = platform::xErrorTrapEnd(display_) && window_ != None;
  if (visualInfo) XFree(visualInfo);
  if (!created) {
    window_ = None;
    return false;
  }
  saverShellState.window = window_;

  XClassHint classHint;
  classHint.res_name = const_cast<char*>("Miravel");
  classHint.res_class = const_cast<char*>(kClassName);
  XSetClassHint(display_, window_, &classHint);
  setTitle(kFirstTitle);
  XSetWMProtocols(display_, window_, &wmDeleteWindow_, 1);
  long pid = static_cast<long>(getpid());
  XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_PID", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);

  monitorSource_ = std::make_unique<X11Monitors>(display_, screen_);
  followMonitors();
  return true;
}

void X11Shell::followMonitors() {
  const ScreenRect window{0, 0, width_, height_};
  monitors_.follow(layoutMonitors(window, window, chooseMonitors(monitorSource_->read())));
  nextMonitorCheck_ = monotonicMicros() + kMonitorCheckMicros;
}

void X11Shell::show() {
  if (adopted_) return;
  XMapRaised(display_, window_);
  XFlush(display_);
}

std::vector<SceneSpot> X11Shell::spots() {
  if (window_ == None) return {};
  if (adopted_) return {SceneSpot{0, ScreenRect{0, 0, width_, height_}, true}};
  return monitors_.spots();
}

bool X11Shell::hasUncoveredArea() const { return !adopted_ && monitors_.layout().hasUncoveredArea; }

RenderSurface& X11Shell::sceneSurface(std::size_t key) {
  if (adopted_) return *this;
  return monitors_.surface(key);
}

void X11Shell::reportNoContext(std::uint64_t) {
  if (noContextReported_) return;
  noContextReported_ = true;
  if (adopted_)
    std::fprintf(stderr, "Miravel.dll: no OpenGL context for window 0x%lx; it stays as it is\n",
                 static_cast<unsigned long>(window_));
  else
    std::fprintf(stderr, "Miravel.dll: no OpenGL context; the screen stays black\n");
}

bool X11Shell::createContext() {
  if (context_) return true;  // the other monitors' scenes share it
  if (!config_) return false;
  platform::xErrorTrapBegin();
  context_ = glXCreateNewContext(display_, config_, GLX_RGBA_TYPE, nullptr, True);
  bool current = context_ && glXMakeContextCurrent(display_, window_, window_, context_);
  bool clean = platform::xErrorTrapEnd(display_);
  if (context_ && (!current || !clean)) {
    glXDestroyContext(display_, context_);
    context_ = nullptr;
  }
  return context_ != nullptr;
}

void X11Shell::clientRect(int& left, int& top, int& right, int& bottom) const {
  left = 0;
  top = 0;
  right = width_;
  bottom = height_;
}

void X11Shell::swapBuffers() { glXSwapBuffers(display_, window_); }

void X11Shell::present(bool drew) {
  // An adopted window's one scene swapped its own surface, the whole window.
  if (!drew || adopted_) return;
  swapBuffers();
  // A launcher that handed us a pipe learns that the first frame is shown.
  platform::reportRendererReady(platform::ReadyShell::X11);
}

void X11Shell::releaseSurface() {
  if (!context_) return;
  // An adopted window may be gone already (its owner destroyed it).
  platform::xErrorTrapBegin();
  glXMakeContextCurrent(display_, None, None, nullptr);
  glXDestroyContext(display_, context_);
  platform::xErrorTrapEnd(display_);
  context_ = nullptr;
}

void X11Shell::lowerPriority() { lowerProcessPriority(); }

CursorPoint X11Shell::cursorPosition() {
  return adopted_ ? saverShellState.lastCursor : queryPointer();
}

CursorPoint X11Shell::queryPointer() const {
  Window rootReturn = None, child = None;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned int mask = 0;
  platform::xErrorTrapBegin();
  bool onScreen =
      XQueryPointer(display_, root_, &rootReturn, &child, &rootX, &rootY, &winX, &winY, &mask);
  bool clean = platform::xErrorTrapEnd(display_);
  // A pointer on another screen has no position here; keep the reference.
  if (!onScreen || !clean) return saverShellState.lastCursor;
  return CursorPoint{rootX, rootY};
}

void X11Shell::setTitle(const char* title) {
  if (adopted_) return;
  XStoreName(display_, window_, title);
  XChangeProperty(display_, window_, netWmName_, utf8String_, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title),
                  static_cast<int>(std::strlen(title)));
}

void X11Shell::bringToFront() {
  platform::xErrorTrapBegin();
  XRaiseWindow(display_, window_);
  XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
  platform::xErrorTrapEnd(display_);
}

void X11Shell::postClose() {
  // Sent through the server to ourselves, so it queues behind every event
  // that is already on its way, just like a close request from outside.
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window_;
  event.xclient.message_type = wmProtocols_;
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(wmDeleteWindow_);
  event.xclient.data.l[1] = CurrentTime;
  platform::xErrorTrapBegin();
  XSendEvent(display_, window_, False, NoEventMask, &event);
  platform::xErrorTrapEnd(display_);
}

bool X11Shell::isAppSwitch(const XFocusChangeEvent& focus) const {
  // Grabs (menus, lockers, key-binding daemons) and moves inside our own
  // window are not somebody else becoming active.
  if (focus.mode == NotifyGrab || focus.mode == NotifyUngrab) return false;
  if (focus.detail == NotifyInferior || focus.detail == NotifyPointer) return false;
  Window focused = None;
  int revert = 0;
  XGetInputFocus(display_, &focused, &revert);
  return focused != None && focused != PointerRoot && focused != window_ && focused != root_;
}

bool X11Shell::dispatchPending() {
  while (alive() && !endRequested() && XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (adopted_)
      dispatchAdopted(event);
    else
      dispatch(event);
  }
  if (alive() && !adopted_ && monotonicMicros() >= nextMonitorCheck_) followMonitors();
  return alive() && !endRequested();
}

void X11Shell::dispatchAdopted(const XEvent& event) {
  switch (event.type) {
    case ConfigureNotify:
      // The loop sees the new size in the window's spot and reshapes.
      if (event.xconfigure.window != window_) return;
      width_ = event.xconfigure.width;
      height_ = event.xconfigure.height;
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == window_) {
        ended_ = true;
        windowGone_ = true;
        saverShellState.rendererReady = 0;
      }
      break;
    default:
      break;
  }
}

void X11Shell::dispatch(XEvent& xevent) {
  if (monitorSource_ && monitorSource_->isChange(xevent)) {
    followMonitors();
    return;
  }
  SaverEvent event;
  switch (xevent.type) {
    case KeyPress:
      event.kind = SaverEventKind::KeyDown;
      break;
    case ButtonPress:
      // Buttons 4 to 7 are the wheel's steps.
      if (xevent.xbutton.button >= Button1 && xevent.xbutton.button <= Button3)
        event.kind = SaverEventKind::ButtonDown;
      break;
    case MotionNotify:
      event.kind = SaverEventKind::MouseMove;
      event.pointer = queryPointer();
      break;
    case FocusOut:
      if (isAppSwitch(xevent.xfocus)) event.kind = SaverEventKind::AppSwitchAway;
      break;
    case ClientMessage:
      if (xevent.xclient.message_type == wmProtocols_ && xevent.xclient.format == 32 &&
          static_cast<Atom>(xevent.xclient.data.l[0]) == wmDeleteWindow_)
        event.kind = SaverEventKind::CloseRequest;
      break;
    case MapNotify:
      if (xevent.xmap.window != window_) return;
      event.kind = SaverEventKind::Show;
      bringToFront();
      break;
    case DestroyNotify:
      // Somebody else destroyed our window: end as if we had.
      if (xevent.xdestroywindow.window == window_) {
        ended_ = true;
        windowGone_ = true;
      }
      return;
    default:
      return;
  }

  SaverActions actions =
      handleSaverInput(saverShellState, event, [this] { return queryPointer(); });
  if (actions.hideCursor) XDefineCursor(display_, window_, invisibleCursor_);
  if (actions.postClose) postClose();
  // The run ends; the destruction steps come before the window goes.
  if (actions.destroyWindow) ended_ = true;
}

void X11Shell::wait(std::int64_t micros) { waitForReadable(ConnectionNumber(display_), micros); }

std::int64_t X11Shell::nowMicros() { return monotonicMicros(); }

int X11Shell::close() {
  if (!display_) return 0;
  if (window_ != None && !adopted_ && !windowGone_) {
    platform::xErrorTrapBegin();
    XDestroyWindow(display_, window_);
    platform::xErrorTrapEnd(display_);
  }
  window_ = None;
  saverShellState.window = 0;
  if (invisibleCursor_ != None) XFreeCursor(display_, invisibleCursor_);
  if (colormap_ != None) XFreeColormap(display_, colormap_);
  invisibleCursor_ = None;
  colormap_ = None;
  monitorSource_.reset();
  XCloseDisplay(display_);
  display_ = nullptr;
  return 0;
}

int runX11Saver() {
  installEndSignals(false);
  X11Shell shell;
  FramePacer noCap(0);
  return runSaver(shell, noCap).exitCode;
}
