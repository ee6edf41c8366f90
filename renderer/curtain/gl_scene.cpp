#include "renderer/curtain/gl_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "renderer/curtain/curtain_random.h"
#include "renderer/curtain/renderer_settings.h"

namespace {

void buildCurtains(CurtainList& list, int count) {
  list.clear();
  for (int i = 0; i < count; ++i) list.push_back(std::make_unique<LightCurtain>());
}

bool g_seeded = false;

// Viewport and projection from the surface's client area; leaves the
// model-view matrix (the camera) current and untouched. A scene that shares
// its context also confines clearing to its own rectangle.
void applyView(RenderSurface& surface) {
  int left = 0, top = 0, right = 0, bottom = 0;
  surface.clientRect(left, top, right, bottom);
  const int width = right - left;
  const int height = bottom - top;
  const int y = surface.drawableHeight() - bottom;
  glViewport(left, y, width, height);
  if (surface.sharesContext()) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(left, y, width, height);
  }
  // A window of no height would give a division by zero; such a window
  // shows nothing anyway, so any finite aspect will do.
  const double aspect = height > 0 ? static_cast<double>(width) / height : 1.0;

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(20.0, aspect, 0.01, 20.0);
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace

int RenderSurface::drawableHeight() const {
  int left = 0, top = 0, right = 0, bottom = 0;
  clientRect(left, top, right, bottom);
  return bottom;
}

bool CurtainScene::init(RenderSurface& surface) {
  if (!g_seeded) {
    seedCurtainRandomFromTime();
    for (int i = 0; i < 20; ++i) curtainRandom();
    g_seeded = true;
  }

  surface_ = &surface;
  haveContext_ = surface.createContext();
  if (haveContext_) {
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

  buildCurtains(front_, rendererSettings.frontCurtains);
  buildCurtains(back_, rendererSettings.backCurtains);
  return haveContext_;
}

bool CurtainScene::renderIdle(int rendererReady, int passwordDialogUp) {
  if (rendererReady != 1 || passwordDialogUp != 0 || !haveContext_) return false;
  drawFrame();
  return true;
}

void CurtainScene::drawFrame() {
  frameSeconds = clock_.tick(frameSeconds);

  for (auto& curtain : front_) curtain->update();
  for (auto& curtain : back_) curtain->update();

  if (surface_ && surface_->sharesContext()) {
    surface_->makeCurrent();
    applyView(*surface_);
  }
  glClear(GL_COLOR_BUFFER_BIT);
  for (auto& curtain : back_) curtain->drawBack();
  for (auto& curtain : front_) curtain->drawFront();

  glFlush();
  if (surface_) surface_->swapBuffers();
}

void CurtainScene::reshape() {
  if (!surface_ || !haveContext_) return;
  surface_->makeCurrent();
  applyView(*surface_);
}

void CurtainScene::release() {
  front_.clear();
  back_.clear();
  surface_ = nullptr;
  haveContext_ = false;
}

void CurtainScene::setFrameClockSource(MillisSource source) {
  clock_ = FrameClock(std::move(source));
}

void clearOutsideScenes(RenderSurface& window) {
  window.makeCurrent();
  glDisable(GL_SCISSOR_TEST);
  glClear(GL_COLOR_BUFFER_BIT);
}

namespace {
CurtainScene g_toolScene;
}  // namespace

bool initRenderer(RenderSurface& surface) { return g_toolScene.init(surface); }
void drawFrame() { g_toolScene.drawFrame(); }
void releaseRenderer() { g_toolScene.release(); }
void setFrameClockSource(MillisSource source) {
  g_toolScene.setFrameClockSource(std::move(source));
}
const CurtainList& frontCurtainList() { return g_toolScene.front(); }
const CurtainList& backCurtainList() { return g_toolScene.back(); }
