#include "renderer/shell/egl_pixel_format.h"

#include <cstddef>
#include <vector>

PixelFormatDescription describeEglConfig(const EglConfigAttributes& c) {
  PixelFormatDescription f;
  f.drawToWindow = (c.surfaceType & EGL_WINDOW_BIT) != 0;
  f.supportOpenGL = (c.renderableType & EGL_OPENGL_BIT) != 0;
  f.doubleBuffer = true;
  f.rgba = c.colorBufferType == EGL_RGB_BUFFER && c.red == 8 && c.green == 8 && c.blue == 8 &&
           c.alpha == 0;
  f.colourBits = c.bufferSize;
  f.depthBits = c.depth;
  if (c.caveat == EGL_SLOW_CONFIG) {
    f.generic = true;
  } else if (c.caveat == EGL_NON_CONFORMANT_CONFIG) {
    f.generic = true;
    f.genericAccelerated = true;
  }
  return f;
}

EglConfigAttributes readEglConfig(EGLDisplay display, EGLConfig config) {
  EglConfigAttributes a;
  const struct {
    EGLint name;
    EGLint* value;
  } wanted[] = {
      {EGL_SURFACE_TYPE, &a.surfaceType},
      {EGL_RENDERABLE_TYPE, &a.renderableType},
      {EGL_COLOR_BUFFER_TYPE, &a.colorBufferType},
      {EGL_RED_SIZE, &a.red},
      {EGL_GREEN_SIZE, &a.green},
      {EGL_BLUE_SIZE, &a.blue},
      {EGL_ALPHA_SIZE, &a.alpha},
      {EGL_BUFFER_SIZE, &a.bufferSize},
      {EGL_DEPTH_SIZE, &a.depth},
      {EGL_CONFIG_CAVEAT, &a.caveat},
      {EGL_SAMPLE_BUFFERS, &a.sampleBuffers},
  };
  for (const auto& w : wanted) {
    EGLint value = 0;
    if (eglGetConfigAttrib(display, config, w.name, &value)) *w.value = value;
  }
  return a;
}

EGLConfig chooseEglConfig(EGLDisplay display) {
  EGLint count = 0;
  if (!eglGetConfigs(display, nullptr, 0, &count) || count <= 0) return nullptr;
  std::vector<EGLConfig> configs(static_cast<size_t>(count));
  if (!eglGetConfigs(display, configs.data(), count, &count)) return nullptr;
  configs.resize(static_cast<size_t>(count));

  std::vector<PixelFormatDescription> formats;
  std::vector<EGLConfig> candidates;
  for (EGLConfig config : configs) {
    const EglConfigAttributes attributes = readEglConfig(display, config);
    if (attributes.sampleBuffers > 0) continue;
    formats.push_back(describeEglConfig(attributes));
    candidates.push_back(config);
  }
  const int best = bestPixelFormat(formats);
  if (best >= 0) return candidates[static_cast<size_t>(best)];

  const EGLint request[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE,
                            EGL_OPENGL_BIT,   EGL_RED_SIZE,   8,
                            EGL_GREEN_SIZE,   8,              EGL_BLUE_SIZE,
                            8,                EGL_DEPTH_SIZE, 24,
                            EGL_NONE};
  EGLConfig nearest = nullptr;
  EGLint found = 0;
  if (eglChooseConfig(display, request, &nearest, 1, &found) && found > 0) return nearest;
  return nullptr;
}
