// The Wayland shell's EGL side: the display on the Wayland connection, the
// config chosen by the shared scoring, the one compatibility context with
// desktop OpenGL, and binding it to each output's surface in turn.
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>

#include "renderer/shell/egl_pixel_format.h"
#include "renderer/shell/wayland_shell.h"

bool EglContext::open(wl_display* display) {
  display_ = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display, nullptr);
  EGLint major = 0, minor = 0;
  if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, &major, &minor) ||
      !eglBindAPI(EGL_OPENGL_API)) {
    std::fprintf(stderr, "Miravel.dll: no EGL with desktop OpenGL on this Wayland display\n");
    return false;
  }
  config_ = chooseEglConfig(display_);
  if (!config_) {
    std::fprintf(stderr, "Miravel.dll: no EGL config to draw to a window with\n");
    return false;
  }
  // The drawing is the fixed-function code shared with GLX and WGL, so the
  // context must be a compatibility one; a request the driver does not know
  // falls back on the default, which is one as well.
  const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                  EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  context_ = eglCreateContext(display_, config_, EGL_NO_CONTEXT, compatibility);
  if (context_ == EGL_NO_CONTEXT)
    context_ = eglCreateContext(display_, config_, EGL_NO_CONTEXT, nullptr);
  if (context_ == EGL_NO_CONTEXT) {
    std::fprintf(stderr, "Miravel.dll: no OpenGL context on this Wayland display\n");
    return false;
  }
  return true;
}

bool EglContext::makeCurrentOn(WaylandOutput& output) {
  if (output.eglSurface == EGL_NO_SURFACE || context_ == EGL_NO_CONTEXT) return false;
  if (!eglMakeCurrent(display_, output.eglSurface, output.eglSurface, context_)) return false;
  if (!output.intervalSet) {
    // The interval belongs to the surface that is current: one swap per
    // frame the compositor shows on that output.
    eglSwapInterval(display_, 1);
    output.intervalSet = true;
  }
  return true;
}

EGLSurface EglContext::createSurface(wl_egl_window* window) {
  return eglCreatePlatformWindowSurface(display_, config_, window, nullptr);
}

void EglContext::destroySurface(EGLSurface surface) {
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  eglDestroySurface(display_, surface);
}

void EglContext::swap(EGLSurface surface) { eglSwapBuffers(display_, surface); }

void EglContext::releaseContext() {
  if (display_ == EGL_NO_DISPLAY) return;
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (context_ != EGL_NO_CONTEXT) eglDestroyContext(display_, context_);
  context_ = EGL_NO_CONTEXT;
}

void EglContext::terminate() {
  releaseContext();
  if (display_ != EGL_NO_DISPLAY) eglTerminate(display_);
  display_ = EGL_NO_DISPLAY;
}

bool WaylandOutput::createContext() { return shell->egl().makeCurrentOn(*this); }

void WaylandOutput::makeCurrent() { shell->egl().makeCurrentOn(*this); }
