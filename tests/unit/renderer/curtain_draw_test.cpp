#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "fake_gl.h"
#include "renderer/curtain/gl_scene.h"
#include "renderer/curtain/renderer_settings.h"

namespace {

class FakeSurface : public RenderSurface {
 public:
  FakeSurface(int w, int h, bool context) : width(w), height(h), hasContext(context) {}
  bool createContext() override { return hasContext; }
  void clientRect(int& l, int& t, int& r, int& b) const override {
    l = 0;
    t = 0;
    r = width;
    b = height;
  }
  void swapBuffers() override {
    ++swaps;
    glCalls().push_back(GlCall{"swap", {}});
  }
  int width, height;
  bool hasContext;
  int swaps = 0;
};

size_t countOf(const std::string& name, size_t from = 0, size_t to = SIZE_MAX) {
  const auto& calls = glCalls();
  to = std::min(to, calls.size());
  size_t n = 0;
  for (size_t i = from; i < to; ++i) n += calls[i].name == name;
  return n;
}

size_t indexOf(const std::string& name, size_t from = 0) {
  const auto& calls = glCalls();
  for (size_t i = from; i < calls.size(); ++i)
    if (calls[i].name == name) return i;
  return SIZE_MAX;
}

class DrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rendererSettings = fixedRendererSettings();
    rendererSettings.density = 3;
    frameSeconds = 0.0f;
    glCalls().clear();
  }
  CurtainScene scene;
};

// Every vertex comes after its colour; returns (colour, vertex) pairs of one strip.
struct Vertex {
  double r, g, b, x, y, z;
};
std::vector<std::vector<Vertex>> strips() {
  std::vector<std::vector<Vertex>> out;
  const auto& calls = glCalls();
  GlCall colour{"", {0, 0, 0}};
  for (const auto& c : calls) {
    if (c.name == "glBegin") {
      EXPECT_EQ(c.args[0], GL_TRIANGLE_STRIP);
      out.emplace_back();
    } else if (c.name == "glColor3f") {
      colour = c;
    } else if (c.name == "glVertex") {
      out.back().push_back(
          {colour.args[0], colour.args[1], colour.args[2], c.args[0], c.args[1], c.args[2]});
    }
  }
  return out;
}

double expectedChannel(float curtain, float brightness) {
  return std::clamp(curtain + (brightness - 1.0f), 0.0f, 1.0f);
}

TEST_F(DrawTest, FrontCurtainStripsFollowTheGrid) {
  LightCurtain c;
  frameSeconds = 2.0f;
  c.update();
  c.red = 0.9f;
  c.green = 0.4f;
  c.blue = 0.1f;
  c.points[1][1]->brightness = 0.8f;
  c.points[2][1]->brightness = 0.3f;
  c.drawFront();

  const auto& calls = glCalls();
  EXPECT_EQ(calls.front().name, "glPushMatrix");
  EXPECT_EQ(calls.back().name, "glPopMatrix");
  EXPECT_EQ(countOf("glTranslatef"), 0u);
  auto s = strips();
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(countOf("glEnd"), 3u);
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(s[i].size(), 8u);
    for (int j = 0; j <= 3; ++j) {
      // First the next row's point, then this row's.
      for (int k = 0; k < 2; ++k) {
        const CurtainPoint& p = *c.points[i + 1 - k][j];
        const Vertex& v = s[i][2 * j + k];
        SCOPED_TRACE(testing::Message() << "strip " << i << " j " << j << " k " << k);
        EXPECT_FLOAT_EQ(v.x, p.x);
        EXPECT_FLOAT_EQ(v.y, p.y);
        EXPECT_FLOAT_EQ(v.z, p.z);
        EXPECT_FLOAT_EQ(v.r, expectedChannel(c.red, p.brightness));
        EXPECT_FLOAT_EQ(v.g, expectedChannel(c.green, p.brightness));
        EXPECT_FLOAT_EQ(v.b, expectedChannel(c.blue, p.brightness));
      }
    }
  }
  // brightness 0.8 on colour (0.9, 0.4, 0.1): (0.7, 0.2, 0); the border is black.
  EXPECT_NEAR(s[0][2].r, 0.7, 1e-6);
  EXPECT_NEAR(s[0][2].g, 0.2, 1e-6);
  EXPECT_EQ(s[0][2].b, 0.0);
  EXPECT_EQ(s[0][0].r + s[0][0].g + s[0][0].b, 0.0);
}

TEST_F(DrawTest, BackCurtainIsFlatAndLiftedByBrightness) {
  LightCurtain c;
  frameSeconds = 1.0f;
  c.update();
  c.drawBack();

  const auto& calls = glCalls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0].name, "glPushMatrix");
  ASSERT_EQ(calls[1].name, "glTranslatef");
  EXPECT_FLOAT_EQ(calls[1].args[0], 0.2f * c.wave[0]);
  EXPECT_FLOAT_EQ(calls[1].args[1], 0.2f * c.wave[1]);
  EXPECT_FLOAT_EQ(calls[1].args[2], 1.6f);
  EXPECT_EQ(calls.back().name, "glPopMatrix");
  auto s = strips();
  ASSERT_EQ(s.size(), 3u);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j <= 3; ++j)
      for (int k = 0; k < 2; ++k) {
        const CurtainPoint& p = *c.points[i + 1 - k][j];
        const Vertex& v = s[i][2 * j + k];
        EXPECT_FLOAT_EQ(v.x, p.u);
        EXPECT_FLOAT_EQ(v.y, p.v);
        EXPECT_FLOAT_EQ(v.z, p.brightness);
      }
}

TEST_F(DrawTest, DensityOneIsOneStripOfFourBlackVertices) {
  rendererSettings.density = 1;
  LightCurtain c;
  frameSeconds = 0.5f;
  c.update();
  c.drawFront();
  auto s = strips();
  ASSERT_EQ(s.size(), 1u);
  ASSERT_EQ(s[0].size(), 4u);
  for (const auto& v : s[0]) EXPECT_EQ(v.r + v.g + v.b, 0.0);
}

TEST_F(DrawTest, InitSetsViewCameraAndBlendOnce) {
  FakeSurface surface(800, 600, true);
  ASSERT_TRUE(scene.init(surface));
  const auto& calls = glCalls();
  size_t viewport = indexOf("glViewport");
  ASSERT_NE(viewport, SIZE_MAX);
  EXPECT_EQ(calls[viewport].args, (std::vector<double>{0, 0, 800, 600}));
  size_t perspective = indexOf("gluPerspective");
  ASSERT_NE(perspective, SIZE_MAX);
  EXPECT_EQ(calls[perspective].args[0], 20.0);
  EXPECT_NEAR(calls[perspective].args[1], 800.0 / 600.0, 1e-9);
  EXPECT_EQ(calls[perspective].args[2], 0.01);
  EXPECT_EQ(calls[perspective].args[3], 20.0);
  size_t translate = indexOf("glTranslatef");
  ASSERT_NE(translate, SIZE_MAX);
  EXPECT_EQ(calls[translate].args, (std::vector<double>{0, 0, -5}));
  EXPECT_GT(translate, indexOf("glMatrixMode", perspective));
  EXPECT_EQ(calls[indexOf("glMatrixMode", perspective)].args[0], GL_MODELVIEW);
  EXPECT_EQ(calls[indexOf("glBlendFunc")].args, (std::vector<double>{GL_ONE, GL_ONE}));
  EXPECT_EQ(calls[indexOf("glClearColor")].args, (std::vector<double>{0, 0, 0, 1}));
  // Blending is the only capability ever enabled: no depth test, lighting or texture.
  ASSERT_EQ(countOf("glEnable"), 1u);
  EXPECT_EQ(calls[indexOf("glEnable")].args[0], GL_BLEND);
  EXPECT_EQ(scene.front().size(), 1u);
  EXPECT_EQ(scene.back().size(), 1u);
}

TEST_F(DrawTest, FrameUpdatesClearsDrawsBackThenFrontAndSwaps) {
  FakeSurface surface(1920, 1080, true);
  std::uint32_t now = 5000;
  scene.setFrameClockSource([&] { return now; });
  scene.init(surface);
  glCalls().clear();

  ASSERT_TRUE(scene.renderIdle(1, 0));
  EXPECT_EQ(frameSeconds, 0.0f);  // the first frame's step is 0
  const auto& calls = glCalls();
  EXPECT_EQ(calls.front().name, "glClear");
  // The back curtain's translation comes before any vertex of the front one.
  size_t backTranslate = indexOf("glTranslatef");
  ASSERT_NE(backTranslate, SIZE_MAX);
  EXPECT_FLOAT_EQ(calls[backTranslate].args[2], 1.6f);
  EXPECT_EQ(countOf("glBegin"), 2u * 3u);
  EXPECT_EQ(countOf("glBegin", 0, backTranslate), 0u);
  // The frame never reloads a matrix.
  EXPECT_EQ(countOf("glLoadIdentity"), 0u);
  EXPECT_EQ(countOf("glMatrixMode"), 0u);
  EXPECT_EQ(countOf("glPushMatrix"), countOf("glPopMatrix"));
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2].name, "glFlush");
  EXPECT_EQ(calls.back().name, "swap");

  // The scene's curtains come from a generator seeded by the clock: a phase
  // that starts within one step of 2 pi would wrap in this frame in one run
  // out of several hundred. Put it where a 40 ms step cannot wrap it.
  scene.front()[0]->phase[0] = 1.0f;
  const float phaseBefore = scene.front()[0]->phase[0];
  now += 40;
  scene.renderIdle(1, 0);
  EXPECT_NEAR(frameSeconds, 0.04f, 1e-6);
  EXPECT_NEAR(scene.front()[0]->phase[0],
              phaseBefore + 0.04f * scene.front()[0]->waveSpeed[0], 1e-5);
  EXPECT_EQ(surface.swaps, 2);
}

TEST_F(DrawTest, NoFrameUnlessReadyWithoutDialogAndWithContext) {
  FakeSurface surface(640, 480, true);
  scene.init(surface);
  glCalls().clear();
  EXPECT_FALSE(scene.renderIdle(0, 0));
  EXPECT_FALSE(scene.renderIdle(1, 1));
  EXPECT_TRUE(glCalls().empty());
  EXPECT_EQ(surface.swaps, 0);

  scene.release();
  EXPECT_TRUE(scene.front().empty());
  EXPECT_TRUE(scene.back().empty());
  EXPECT_FALSE(scene.renderIdle(1, 0));

  FakeSurface noContext(640, 480, false);
  EXPECT_FALSE(scene.init(noContext));
  EXPECT_TRUE(glCalls().empty());
  EXPECT_FALSE(scene.renderIdle(1, 0));
  EXPECT_EQ(noContext.swaps, 0);
}

}  // namespace

// A resized window: the view and the aspect follow the new size, the camera
// (model-view) is not reloaded, and the next frame draws into the new view.
TEST_F(DrawTest, ReshapeFollowsTheNewSizeAndKeepsTheCamera) {
  FakeSurface surface(565, 317, true);
  ASSERT_TRUE(scene.init(surface));
  glCalls().clear();

  surface.width = 1280;
  surface.height = 720;
  scene.reshape();
  const auto& calls = glCalls();
  size_t viewport = indexOf("glViewport");
  ASSERT_NE(viewport, SIZE_MAX);
  EXPECT_EQ(calls[viewport].args, (std::vector<double>{0, 0, 1280, 720}));
  size_t perspective = indexOf("gluPerspective");
  ASSERT_NE(perspective, SIZE_MAX);
  EXPECT_NEAR(calls[perspective].args[1], 1280.0 / 720.0, 1e-9);
  // Projection reloaded, then back to the model-view matrix without touching it.
  EXPECT_EQ(countOf("glLoadIdentity"), 1u);
  EXPECT_LT(indexOf("glLoadIdentity"), perspective);
  size_t lastMode = indexOf("glMatrixMode", perspective);
  ASSERT_NE(lastMode, SIZE_MAX);
  EXPECT_EQ(calls[lastMode].args[0], GL_MODELVIEW);
  EXPECT_EQ(countOf("glTranslatef"), 0u);

  // A window of no height is left with a finite aspect.
  surface.height = 0;
  glCalls().clear();
  scene.reshape();
  EXPECT_EQ(calls[indexOf("gluPerspective")].args[1], 1.0);

  EXPECT_TRUE(scene.renderIdle(1, 0));
}

// Each window's scene keeps its own curtains, surface and context: ending
// one leaves the other drawing into its own surface.
TEST_F(DrawTest, TwoScenesDrawIntoTheirOwnSurfaces) {
  FakeSurface first(640, 480, true), second(320, 200, true);
  CurtainScene other;
  ASSERT_TRUE(scene.init(first));
  rendererSettings.backCurtains = 0;
  ASSERT_TRUE(other.init(second));
  EXPECT_EQ(scene.back().size(), 1u);
  EXPECT_TRUE(other.back().empty());

  EXPECT_TRUE(other.renderIdle(1, 0));
  EXPECT_EQ(first.swaps, 0);
  EXPECT_EQ(second.swaps, 1);

  scene.release();
  EXPECT_FALSE(scene.renderIdle(1, 0));
  EXPECT_TRUE(other.renderIdle(1, 0));
  EXPECT_EQ(second.swaps, 2);
  EXPECT_EQ(other.front().size(), 1u);
}

// One monitor's part of a window that spans several, all sharing one context.
// Rectangles are in window coordinates, top down, as monitors are listed.
class MonitorSurface : public RenderSurface {
 public:
  MonitorSurface(int l, int t, int r, int b, int windowHeight)
      : l_(l), t_(t), r_(r), b_(b), windowHeight_(windowHeight) {}
  bool createContext() override { return true; }
  void clientRect(int& l, int& t, int& r, int& b) const override {
    l = l_;
    t = t_;
    r = r_;
    b = b_;
  }
  void swapBuffers() override {}
  bool sharesContext() const override { return true; }
  void makeCurrent() override {
    ++madeCurrent;
    glCalls().push_back(GlCall{"makeCurrent", {double(l_)}});
  }
  int drawableHeight() const override { return windowHeight_; }
  int madeCurrent = 0;

 private:
  int l_, t_, r_, b_, windowHeight_;
};

// Scenes that share a context each make it current, then set their own
// viewport, scissor and aspect before clearing, so that neither clears or
// draws over the other's monitor; GL's rows count from the window's foot.
TEST_F(DrawTest, ScenesSharingAContextEachKeepToTheirOwnMonitor) {
  // 1280x1024 at (0,0) and 1024x768 at (1280,0) in a 2304x1024 window.
  MonitorSurface left(0, 0, 1280, 1024, 1024), right(1280, 0, 2304, 768, 1024);
  CurtainScene other;
  ASSERT_TRUE(scene.init(left));
  ASSERT_TRUE(other.init(right));

  for (CurtainScene* s : {&scene, &other}) {
    glCalls().clear();
    ASSERT_TRUE(s->renderIdle(1, 0));
    const auto& calls = glCalls();
    const bool isRight = s == &other;
    const size_t current = indexOf("makeCurrent");
    const size_t viewport = indexOf("glViewport");
    const size_t scissor = indexOf("glScissor");
    const size_t clear = indexOf("glClear");
    const size_t firstStrip = indexOf("glBegin");
    ASSERT_NE(clear, SIZE_MAX);
    EXPECT_LT(current, viewport);
    EXPECT_LT(viewport, clear);
    EXPECT_LT(scissor, clear);
    EXPECT_LT(clear, firstStrip);
    const std::vector<double> rect =
        isRight ? std::vector<double>{1280, 256, 1024, 768} : std::vector<double>{0, 0, 1280, 1024};
    EXPECT_EQ(calls[viewport].args, rect);
    EXPECT_EQ(calls[scissor].args, rect);
    EXPECT_NEAR(calls[indexOf("gluPerspective")].args[1], isRight ? 1024.0 / 768 : 1280.0 / 1024,
                1e-9);
  }
  EXPECT_EQ(left.madeCurrent, 1);
  EXPECT_EQ(right.madeCurrent, 1);
}

// The random generator is seeded once per process: two scenes made in the
// same second (two monitors) do not draw the same curtains.
TEST_F(DrawTest, ScenesMadeTogetherGetCurtainsOfTheirOwn) {
  FakeSurface first(640, 480, true), second(640, 480, true);
  CurtainScene other;
  ASSERT_TRUE(scene.init(first));
  ASSERT_TRUE(other.init(second));
  glCalls().clear();
  scene.drawFrame();
  const auto mine = strips();
  glCalls().clear();
  other.drawFrame();
  const auto theirs = strips();
  ASSERT_EQ(mine.size(), theirs.size());
  bool differ = false;
  for (size_t i = 0; i < mine.size() && !differ; ++i)
    for (size_t j = 0; j < mine[i].size() && j < theirs[i].size(); ++j)
      if (mine[i][j].x != theirs[i][j].x || mine[i][j].y != theirs[i][j].y) differ = true;
  EXPECT_TRUE(differ);
}

TEST_F(DrawTest, ReshapeWithoutContextOrAfterReleaseCallsNoGl) {
  FakeSurface surface(640, 480, false);
  scene.init(surface);
  glCalls().clear();
  scene.reshape();
  EXPECT_TRUE(glCalls().empty());

  FakeSurface real(640, 480, true);
  scene.init(real);
  scene.release();
  glCalls().clear();
  scene.reshape();
  EXPECT_TRUE(glCalls().empty());
}
