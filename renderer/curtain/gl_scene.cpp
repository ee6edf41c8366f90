#include "renderer/curtain/gl_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "renderer/curtain/curtain_random.h"
#include "renderer/curtain/renderer_settings.h"

namespace {

RenderSurface* g_surface = nullptr;
bool g_haveContext = false;
FrameClock g_clock;
std::vector<std::unique_ptr<LightCurtain>> g_front;
std::vector<std::unique_ptr<LightCurtain>> g_back;

void buildCurtains(std::vector<std::unique_ptr<LightCurtain>>& list, int count) {
  list.clear();
  for (int i = 0; i < count; ++i) list.push_back(std::make_unique<LightCurtain>());
}

// Viewport and projection from the surface's client area; leaves the
// model-view matrix (the camera) current and untouched.
void applyView(RenderSurface& surface) {
  int left = 0, top = 0, right = 0, bottom = 0;
  surface.clientRect(left, top, right, bottom);
  glViewport(left, top, right - left, bottom - top);
  // A window of no height would give a division by zero; such a window
  // shows nothing anyway, so any finite aspect will do.
  const double aspect = bottom > 0 ? static_cast<double>(right) / bottom : 1.0;

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(20.0, aspect, 0.01, 20.0);
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace

bool initRenderer(RenderSurface& surface) {
  seedCurtainRandomFromTime();
  for (int i = 0; i < 20; ++i) curtainRandom();

  g_surface = &surface;
  g_haveContext = surface.createContext();
  if (g_haveContext) {
    applyView(surface);

    // The camera: 5 units back, looking down -z. Never reloaded afterwards.
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -5.0f);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    // Light adds up: curtains are drawn onto black with additive blending.
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
  }

  buildCurtains(g_front, rendererSettings.frontCurtains);
  buildCurtains(g_back, rendererSettings.backCurtains);
  return g_haveContext;
}

bool renderIdle(int rendererReady, int passwordDialogUp) {
  if (rendererReady != 1 || passwordDialogUp != 0 || !g_haveContext) return false;
  drawFrame();
  return true;
}

void drawFrame() {
  frameSeconds = g_clock.tick(frameSeconds);

  for (auto& curtain : g_front) curtain->update();
  for (auto& curtain : g_back) curtain->update();

  glClear(GL_COLOR_BUFFER_BIT);
  for (auto& curtain : g_back) curtain->drawBack();
  for (auto& curtain : g_front) curtain->drawFront();

  glFlush();
  if (g_surface) g_surface->swapBuffers();
}

void reshapeRenderer() {
  if (g_surface && g_haveContext) applyView(*g_surface);
}

void releaseRenderer() {
  g_front.clear();
  g_back.clear();
  g_surface = nullptr;
  g_haveContext = false;
}

void setFrameClockSource(MillisSource source) { g_clock = FrameClock(std::move(source)); }

const std::vector<std::unique_ptr<LightCurtain>>& frontCurtainList() { return g_front; }
const std::vector<std::unique_ptr<LightCurtain>>& backCurtainList() { return g_back; }
