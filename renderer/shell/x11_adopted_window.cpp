#include "renderer/shell/x11_adopted_window.h"

#include <cstdio>

#include "platform/x11/x11_util.h"
#include "renderer/shell/glx_pixel_format.h"
#include "renderer/shell/saver_shell_state.h"

X11AdoptedWindow::X11AdoptedWindow(Display* display, Window target)
    : display_(display), target_(target) {}

X11AdoptedWindow::~X11AdoptedWindow() { release(); }

bool X11AdoptedWindow::adopt() {
  XWindowAttributes attributes{};
  platform::xErrorTrapBegin();
  Status got = XGetWindowAttributes(display_, target_, &attributes);
  // Selecting structure events adds to what others selected; it is one of
  // the few masks any number of clients may share on a window.
  if (got) XSelectInput(display_, target_, StructureNotifyMask);
  bool clean = platform::xErrorTrapEnd(display_);
  if (!got || !clean) return false;
  screen_ = XScreenNumberOfScreen(attributes.screen);
  visual_ = XVisualIDFromVisual(attributes.visual);
  width_ = attributes.width;
  height_ = attributes.height;
  alive_ = true;
  saverShellState.window = target_;
  return true;
}

void X11AdoptedWindow::start() {
  config_ = choosePixelFormatForVisual(display_, screen_, visual_);
  if (!runCreationSteps(*this, scene_))
    std::fprintf(stderr, "Miravel.dll: no OpenGL context for window 0x%lx; it stays as it is\n",
                 static_cast<unsigned long>(target_));
}

bool X11AdoptedWindow::createContext() {
  if (!config_) return false;
  platform::xErrorTrapBegin();
  context_ = glXCreateNewContext(display_, config_, GLX_RGBA_TYPE, nullptr, True);
  bool current = context_ && glXMakeContextCurrent(display_, target_, target_, context_);
  bool clean = platform::xErrorTrapEnd(display_);
  if (context_ && (!current || !clean)) {
    glXDestroyContext(display_, context_);
    context_ = nullptr;
  }
  return context_ != nullptr;
}

void X11AdoptedWindow::clientRect(int& left, int& top, int& right, int& bottom) const {
  left = 0;
  top = 0;
  right = width_;
  bottom = height_;
}

void X11AdoptedWindow::swapBuffers() { glXSwapBuffers(display_, target_); }

bool X11AdoptedWindow::renderIdle() {
  return scene_.renderIdle(saverShellState.rendererReady, saverShellState.passwordDialogUp);
}

void X11AdoptedWindow::dispatch(const XEvent& event) {
  switch (event.type) {
    case ConfigureNotify:
      if (event.xconfigure.window != target_) return;
      if (event.xconfigure.width == width_ && event.xconfigure.height == height_) return;
      width_ = event.xconfigure.width;
      height_ = event.xconfigure.height;
      scene_.reshape();
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == target_) {
        alive_ = false;
        saverShellState.rendererReady = 0;
      }
      break;
    default:
      break;
  }
}

void X11AdoptedWindow::release() {
  runDestructionSteps(*this, scene_);
  saverShellState.window = 0;
  alive_ = false;
}

void X11AdoptedWindow::releaseSurface() {
  if (!context_) return;
  // The window may be gone already (its owner destroyed it).
  platform::xErrorTrapBegin();
  glXMakeContextCurrent(display_, None, None, nullptr);
  glXDestroyContext(display_, context_);
  platform::xErrorTrapEnd(display_);
  context_ = nullptr;
}
