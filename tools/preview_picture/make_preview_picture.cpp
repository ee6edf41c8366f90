// Makes the launcher's still preview picture from the renderer's own scene:
// one frame of the real curtains, drawn with the renderer's GL code into an
// offscreen buffer, laid additively over a night-sky gradient, shrunk to
// 152 x 112 and written as a baseline JPEG.
//
//   make_preview_picture OUT.jpg [SEED]
//
// Needs an X display with GLX (Xvfb will do). The curtains' colours are set
// so that the front sheet glows pale green-white and the back one
// pink-violet; the seed picks their shapes.
#include <GL/gl.h>
#include <GL/glx.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "renderer/curtain/curtain_random.h"
#include "renderer/curtain/gl_scene.h"
#include "renderer/curtain/light_curtain.h"
#include "renderer/curtain/renderer_settings.h"

namespace {

constexpr int kOutWidth = 152;
constexpr int kOutHeight = 112;
constexpr int kSupersample = 4;
constexpr int kWidth = kOutWidth * kSupersample;
constexpr int kHeight = kOutHeight * kSupersample;

class PbufferSurface : public RenderSurface {
 public:
  explicit PbufferSurface(Display* display) : display_(display) {}
  bool createContext() override {
    const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                              GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                              GLX_DOUBLEBUFFER, False, None};
    int count = 0;
    GLXFBConfig* configs =
        glXChooseFBConfig(display_, DefaultScreen(display_), attributes, &count);
    if (!configs || count == 0) return false;
    const int pbufferAttributes[] = {GLX_PBUFFER_WIDTH, kWidth, GLX_PBUFFER_HEIGHT, kHeight, None};
    pbuffer_ = glXCreatePbuffer(display_, configs[0], pbufferAttributes);
    context_ = glXCreateNewContext(display_, configs[0], GLX_RGBA_TYPE, nullptr, True);
    XFree(configs);
    return pbuffer_ && context_ && glXMakeContextCurrent(display_, pbuffer_, pbuffer_, context_);
  }
  void clientRect(int& left, int& top, int& right, int& bottom) const override {
    left = 0;
    top = 0;
    right = kWidth;
    bottom = kHeight;
  }
  void swapBuffers() override {}  // single-buffered: the frame is read where it was drawn

 private:
  Display* display_;
  GLXPbuffer pbuffer_ = 0;
  GLXContext context_ = nullptr;
};

// Gives a curtain the shape drawn from `seed` and a fixed colour.
void shapeCurtain(LightCurtain& curtain, unsigned seed, float hue, float saturation) {
  seedCurtainRandom(seed);
  LightCurtain fresh;
  std::copy(std::begin(fresh.phase), std::end(fresh.phase), std::begin(curtain.phase));
  std::copy(std::begin(fresh.waveSpeed), std::end(fresh.waveSpeed), std::begin(curtain.waveSpeed));
  curtain.hue = hue;
  curtain.saturation = saturation;
  curtain.hueSpeed = 0.0f;
  curtain.saturationSpeed = 0.0f;
}

bool writeJpeg(const char* path, const std::vector<unsigned char>& rgb) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = kOutWidth;
  info.image_height = kOutHeight;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);  // baseline, not progressive
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<unsigned char*>(&rgb[info.next_scanline * kOutWidth * 3]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_preview_picture OUT.jpg [SEED]\n");
    return 2;
  }
  unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 7u;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "make_preview_picture: no X display\n");
    return 1;
  }
  rendererSettings = fixedRendererSettings();
  PbufferSurface surface(display);
  if (!initRenderer(surface)) {
    std::fprintf(stderr, "make_preview_picture: no offscreen GL context\n");
    return 1;
  }
  shapeCurtain(*frontCurtainList()[0], seed, 0.36f, 0.22f);     // pale green-white
  shapeCurtain(*backCurtainList()[0], seed + 1000u, 0.86f, 0.55f);  // pink-violet
  // A fixed clock: the first frame takes a step of 0, so the picture depends
  // on the seed alone.
  setFrameClockSource([] { return 1000u; });
  drawFrame();
  glFinish();

  std::vector<unsigned char> frame(static_cast<size_t>(kWidth) * kHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_FRONT);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
  releaseRenderer();

  // Night sky: deep navy at the top to a clearer blue at the horizon; the
  // light adds onto it. GL rows run bottom-up.
  std::vector<unsigned char> out(static_cast<size_t>(kOutWidth) * kOutHeight * 3);
  for (int y = 0; y < kOutHeight; ++y) {
    float t = static_cast<float>(y) / (kOutHeight - 1);
    const float sky[3] = {4 + 14 * t, 10 + 36 * t, 48 + 72 * t};
    for (int x = 0; x < kOutWidth; ++x) {
      for (int c = 0; c < 3; ++c) {
        float sum = 0;
        for (int dy = 0; dy < kSupersample; ++dy)
          for (int dx = 0; dx < kSupersample; ++dx) {
            int fy = kHeight - 1 - (y * kSupersample + dy);
            int fx = x * kSupersample + dx;
            sum += frame[(static_cast<size_t>(fy) * kWidth + fx) * 3 + c];
          }
        float light = sum / (kSupersample * kSupersample);
        out[(static_cast<size_t>(y) * kOutWidth + x) * 3 + c] =
            static_cast<unsigned char>(std::min(255.0f, std::round(sky[c] + light)));
      }
    }
  }
  if (!writeJpeg(argv[1], out)) {
    std::fprintf(stderr, "make_preview_picture: cannot write %s\n", argv[1]);
    return 1;
  }
  XCloseDisplay(display);
  return 0;
}
