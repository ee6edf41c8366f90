#include "renderer/shell/glx_pixel_format.h"

#include <X11/Xlib.h>

namespace {

int attribute(Display* display, GLXFBConfig config, int name) {
  int value = 0;
  if (glXGetFBConfigAttrib(display, config, name, &value) != Success) return 0;
  return value;
}

}  // namespace

PixelFormatDescription describeFBConfig(Display* display, GLXFBConfig config) {
  PixelFormatDescription f;
  const int drawable = attribute(display, config, GLX_DRAWABLE_TYPE);
  // A window needs an X visual to be created with.
  f.drawToWindow = (drawable & GLX_WINDOW_BIT) && attribute(display, config, GLX_X_RENDERABLE) &&
                   attribute(display, config, GLX_VISUAL_ID) != 0;
  f.supportOpenGL = true;  // every GLX config is an OpenGL one
  f.doubleBuffer = attribute(display, config, GLX_DOUBLEBUFFER) != 0;
  f.rgba = (attribute(display, config, GLX_RENDER_TYPE) & GLX_RGBA_BIT) != 0;
  f.colourBits = attribute(display, config, GLX_BUFFER_SIZE);
  f.depthBits = attribute(display, config, GLX_DEPTH_SIZE);
  switch (attribute(display, config, GLX_CONFIG_CAVEAT)) {
    case GLX_SLOW_CONFIG:
      f.generic = true;
      break;
    case GLX_NON_CONFORMANT_CONFIG:
      f.generic = true;
      f.genericAccelerated = true;
      break;
    default:
      break;
  }
  return f;
}

namespace {

// The best scored config of `screen`, among those showing the X visual
// `visual` when it is not 0.
GLXFBConfig bestScoredConfig(Display* display, int screen, VisualID visual) {
  GLXFBConfig chosen = nullptr;
  int count = 0;
  GLXFBConfig* configs = glXGetFBConfigs(display, screen, &count);
  std::vector<PixelFormatDescription> formats;
  std::vector<GLXFBConfig> candidates;
  for (int i = 0; i < count; ++i) {
    // Multisampled configs are left out: the classic pixel-format list has
    // none, and on a software rasteriser they multiply the cost of every
    // pixel of this fill-heavy picture.
    if (attribute(display, configs[i], GLX_SAMPLE_BUFFERS) > 0) continue;
    if (visual != 0 &&
        static_cast<VisualID>(attribute(display, configs[i], GLX_VISUAL_ID)) != visual)
      continue;
    formats.push_back(describeFBConfig(display, configs[i]));
    candidates.push_back(configs[i]);
  }
  int best = bestPixelFormat(formats);
  if (best >= 0) chosen = candidates[best];
  if (configs) XFree(configs);
  return chosen;
}

}  // namespace

GLXFBConfig choosePixelFormatForVisual(Display* display, int screen, VisualID visual) {
  return visual != 0 ? bestScoredConfig(display, screen, visual) : nullptr;
}

GLXFBConfig choosePixelFormat(Display* display, int screen) {
  int count = 0;
  GLXFBConfig chosen = bestScoredConfig(display, screen, 0);
  if (chosen) return chosen;

  const int request[] = {GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                         GLX_X_RENDERABLE,  True,           GLX_DOUBLEBUFFER, True,
                         GLX_BUFFER_SIZE,   24,             GLX_DEPTH_SIZE,   24,
                         None};
  GLXFBConfig* nearest = glXChooseFBConfig(display, screen, request, &count);
  if (nearest && count > 0) chosen = nearest[0];
  if (nearest) XFree(nearest);
  return chosen;
}
