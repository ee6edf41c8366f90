// The EGL side of the pixel-format choice, beside the GLX and WGL ones: the
// display's configs described for bestPixelFormat(), and the fallback
// request.
#pragma once

#include <EGL/egl.h>

#include "renderer/shell/pixel_format.h"

// The attributes of one config that the description reads.
struct EglConfigAttributes {
  EGLint surfaceType = 0;
  EGLint renderableType = 0;
  EGLint colorBufferType = 0;
  EGLint red = 0, green = 0, blue = 0, alpha = 0;
  EGLint bufferSize = 0;
  EGLint depth = 0;
  EGLint caveat = EGL_NONE;
  EGLint sampleBuffers = 0;
};

// How one config reads as a pixel format. Colour bits are EGL_BUFFER_SIZE,
// depth bits EGL_DEPTH_SIZE; window surfaces are always double-buffered.
// Only 8 bits of red, green and blue without alpha count as RGBA here: that
// is the format every compositor takes for an opaque surface, while the
// scoring alone would prefer the deeper 10-bit and alpha configs Mesa lists
// first (more colour bits, yet nothing this picture shows). A slow config is
// generic, a non-conformant one generic but accelerated.
PixelFormatDescription describeEglConfig(const EglConfigAttributes& config);

// The attributes of `config` as `display` reports them.
EglConfigAttributes readEglConfig(EGLDisplay display, EGLConfig config);

// The config for the outputs' surfaces: the best scored one that desktop
// OpenGL can draw to a window with (multisampled ones left out, as under
// GLX), else the nearest to an 8/8/8 window config with 24 depth bits.
// Null when the display offers nothing usable.
EGLConfig chooseEglConfig(EGLDisplay display);
