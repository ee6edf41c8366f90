// The GLX side of the pixel-format choice: the display's frame-buffer
// configurations described for bestPixelFormat(), and the fallback request.
#pragma once

#include <GL/glx.h>

#include <vector>

#include "renderer/shell/pixel_format.h"

// How one FBConfig reads as a pixel format: colour bits are GLX_BUFFER_SIZE,
// depth bits GLX_DEPTH_SIZE; a config without caveat is the driver's own
// format, a slow one generic, a non-conformant one generic but accelerated.
PixelFormatDescription describeFBConfig(Display* display, GLXFBConfig config);

// The config for the saver window on `screen`: the best scored one, else the
// nearest to a double-buffered RGBA window format with 24 colour and 24
// depth bits. Null when the display offers nothing usable.
GLXFBConfig choosePixelFormat(Display* display, int screen);

// The config for a window somebody else made: the best scored among the
// configs of that window's visual (X fixes a window's visual when it is
// made). Null when none of them can be used.
GLXFBConfig choosePixelFormatForVisual(Display* display, int screen, VisualID visual);
