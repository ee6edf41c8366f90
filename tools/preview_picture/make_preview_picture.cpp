// Makes the launcher's still preview picture from the renderer's own scene:
// one frame of the real curtains, drawn with the renderer's GL code into an
// offscreen buffer, laid additively over a night-sky gradient, shrunk to
// 152 x 112 and written as a baseline JPEG.
//
//   make_preview_picture OUT.jpg [SEED]
//
// Needs an X display with GLX (Xvfb will do). The curtains' colours are set
// so that the back sheet glows pale green-white and the front one
// pink-violet; the seed picks their shapes (3 gives the picture in assets/:
// the back sheet's bright fold runs across the middle, the front sheet
// hangs right of centre).
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

constexpr float kFrontWeight = 0.8f;
constexpr float kBackWeight = 0.4f;

// One frame of the scene as it stands, read back as RGB rows (bottom-up).
std::vector<unsigned char> renderFrame() {
  drawFrame();
  glFinish();
  std::vector<unsigned char> frame(static_cast<size_t>(kWidth) * kHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_FRONT);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
  return frame;
}

// The mean of one channel over the block of frame pixels behind output pixel
// (x, y), y counted from the top.
float boxAverage(const std::vector<unsigned char>& frame, int x, int y, int channel) {
  float sum = 0;
  for (int dy = 0; dy < kSupersample; ++dy)
    for (int dx = 0; dx < kSupersample; ++dx) {
      int fy = kHeight - 1 - (y * kSupersample + dy);
      int fx = x * kSupersample + dx;
      sum += frame[(static_cast<size_t>(fy) * kWidth + fx) * 3 + channel];
    }
  return sum / (kSupersample * kSupersample);
}

struct LightStats {
  float cx = 0, cy = 0;  // light-weighted centre, 0..1 from the top left
  float cover = 0;       // share of pixels with noticeable light
};

LightStats lightStats(const std::vector<unsigned char>& frame) {
  double sum = 0, sx = 0, sy = 0;
  long lit = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const unsigned char* p = &frame[(static_cast<size_t>(y) * kWidth + x) * 3];
      double light = p[0] + p[1] + p[2];
      sum += light;
      sx += light * x;
      sy += light * (kHeight - 1 - y);
      if (light > 90) ++lit;
    }
  LightStats stats;
  if (sum > 0) {
    stats.cx = static_cast<float>(sx / sum / kWidth);
    stats.cy = static_cast<float>(sy / sum / kHeight);
  }
  stats.cover = static_cast<float>(lit) / (static_cast<float>(kWidth) * kHeight);
  return stats;
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
  unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 3u;
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
  LightCurtain& front = *frontCurtainList()[0];
  LightCurtain& back = *backCurtainList()[0];
  shapeCurtain(front, seed, 0.85f, 0.55f);        // pink-violet
  shapeCurtain(back, seed + 1000u, 0.36f, 0.3f);  // pale green-white
  // A fixed clock: every frame takes a step of 0, so the picture depends on
  // the seed alone.
  setFrameClockSource([] { return 1000u; });
  // Each sheet is drawn on its own (the other with value 0 is black), so the
  // two can be weighed separately over the sky.
  front.value = 1.0f;
  back.value = 0.0f;
  std::vector<unsigned char> frontLight = renderFrame();
  front.value = 0.0f;
  back.value = 1.0f;
  std::vector<unsigned char> backLight = renderFrame();
  releaseRenderer();

  // Where the light lies: the back sheet should hang on the right, the front
  // one run across the middle. Printed so a seed can be chosen.
  LightStats frontStats = lightStats(frontLight), backStats = lightStats(backLight);
  std::printf("seed %u: front centre %.2f,%.2f cover %.2f  back centre %.2f,%.2f cover %.2f\n",
              seed, frontStats.cx, frontStats.cy, frontStats.cover, backStats.cx, backStats.cy,
              backStats.cover);

  // Night sky: deep navy at the top to a clearer blue below; the light adds
  // onto it, the front sheet brighter than the back one. GL rows run bottom-up.
  std::vector<unsigned char> out(static_cast<size_t>(kOutWidth) * kOutHeight * 3);
  for (int y = 0; y < kOutHeight; ++y) {
    float t = static_cast<float>(y) / (kOutHeight - 1);
    const float sky[3] = {4 + 14 * t, 10 + 36 * t, 48 + 72 * t};
    for (int x = 0; x < kOutWidth; ++x) {
      for (int c = 0; c < 3; ++c) {
        float light = kFrontWeight * boxAverage(frontLight, x, y, c) +
                      kBackWeight * boxAverage(backLight, x, y, c);
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
