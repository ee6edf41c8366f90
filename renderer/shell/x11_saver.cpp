#include "renderer/shell/x11_saver.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/process/ready_pipe.h"
#include "platform/names/program_names.h"
#include "platform/x11/x11_util.h"
#include "renderer/shell/glx_pixel_format.h"

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

X11Saver::X11Saver(Display* display)
    : display_(display),
      screen_(DefaultScreen(display)),
      root_(RootWindow(display, DefaultScreen(display))),
      wmProtocols_(XInternAtom(display, "WM_PROTOCOLS", False)),
      wmDeleteWindow_(XInternAtom(display, "WM_DELETE_WINDOW", False)),
      netWmName_(XInternAtom(display, "_NET_WM_NAME", False)),
      utf8String_(XInternAtom(display, "UTF8_STRING", False)) {}

X11Saver::~X11Saver() {
  destroy();
  releaseWindowResources();
}

bool X11Saver::create() {
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

  // What happens while the window is being created, before anyone sees it.
  if (!runCreationSteps(*this, scene_))
    std::fprintf(stderr, "Miravel.dll: no OpenGL context; the screen stays black\n");

  XMapRaised(display_, window_);
  XFlush(display_);
  return true;
}

bool X11Saver::createContext() {
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

void X11Saver::clientRect(int& left, int& top, int& right, int& bottom) const {
  left = 0;
  top = 0;
  right = width_;
  bottom = height_;
}

void X11Saver::swapBuffers() { glXSwapBuffers(display_, window_); }

CursorPoint X11Saver::queryPointer() const {
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

void X11Saver::setTitle(const char* title) {
  XStoreName(display_, window_, title);
  XChangeProperty(display_, window_, netWmName_, utf8String_, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title),
                  static_cast<int>(std::strlen(title)));
}

void X11Saver::bringToFront() {
  platform::xErrorTrapBegin();
  XRaiseWindow(display_, window_);
  XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
  platform::xErrorTrapEnd(display_);
}

void X11Saver::postClose() {
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

bool X11Saver::isAppSwitch(const XFocusChangeEvent& focus) const {
  // Grabs (menus, lockers, key-binding daemons) and moves inside our own
  // window are not somebody else becoming active.
  if (focus.mode == NotifyGrab || focus.mode == NotifyUngrab) return false;
  if (focus.detail == NotifyInferior || focus.detail == NotifyPointer) return false;
  Window focused = None;
  int revert = 0;
  XGetInputFocus(display_, &focused, &revert);
  return focused != None && focused != PointerRoot && focused != window_ && focused != root_;
}

void X11Saver::dispatch(XEvent& xevent) {
  if (window_ == None) return;
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
      if (xevent.xdestroywindow.window == window_) destroy();
      return;
    default:
      return;
  }

  SaverActions actions =
      handleSaverInput(saverShellState, event, [this] { return queryPointer(); });
  if (actions.hideCursor) XDefineCursor(display_, window_, invisibleCursor_);
  if (actions.postClose) postClose();
  if (actions.destroyWindow) destroy();
}

void X11Saver::destroy() {
  if (window_ == None) return;
  runDestructionSteps(*this, scene_);
  platform::xErrorTrapBegin();
  XDestroyWindow(display_, window_);
  platform::xErrorTrapEnd(display_);
  window_ = None;
  saverShellState.window = 0;
  releaseWindowResources();
}

bool X11Saver::renderIdle() {
  const bool drawn =
      scene_.renderIdle(saverShellState.rendererReady, saverShellState.passwordDialogUp);
  // A launcher that handed us a pipe learns that the first frame is shown.
  if (drawn) platform::reportRendererReady(platform::ReadyShell::X11);
  return drawn;
}

void X11Saver::releaseSurface() {
  if (!context_) return;
  glXMakeContextCurrent(display_, None, None, nullptr);
  glXDestroyContext(display_, context_);
  context_ = nullptr;
}

void X11Saver::releaseWindowResources() {
  if (invisibleCursor_ != None) XFreeCursor(display_, invisibleCursor_);
  if (colormap_ != None) XFreeColormap(display_, colormap_);
  invisibleCursor_ = None;
  colormap_ = None;
}
