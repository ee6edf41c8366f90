#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "fake_gl.h"
#include "renderer/curtain/gl_scene.h"
#include "renderer/curtain/renderer_settings.h"
#include "renderer/shell/saver_creation.h"

namespace {

// Records every platform call, and what the shared state was when the GL
// context was asked for and when the surface was released.
class RecordingWindow : public SaverWindowSteps, public RenderSurface {
 public:
  explicit RecordingWindow(bool context) : hasContext(context) {}

  CursorPoint cursorPosition() override {
    log.push_back("cursor");
    return CursorPoint{7, 9};
  }
  void hidePointer() override { log.push_back("hide"); }
  void setTitle(const char* title) override { log.push_back(std::string("title ") + title); }
  void lowerPriority() override { log.push_back("priority"); }
  RenderSurface& surface() override { return *this; }
  void releaseSurface() override {
    log.push_back("release");
    readyAtRelease = saverShellState.rendererReady;
    curtainsAtRelease = scene.front().size() + scene.back().size();
  }

  bool createContext() override {
    log.push_back("context");
    densityAtContext = rendererSettings.density;
    readyAtContext = saverShellState.rendererReady;
    return hasContext;
  }
  void clientRect(int& l, int& t, int& r, int& b) const override {
    l = t = 0;
    r = 640;
    b = 480;
  }
  void swapBuffers() override { ++swaps; }

  bool hasContext;
  CurtainScene scene;
  std::vector<std::string> log;
  int densityAtContext = -1, readyAtContext = -1, readyAtRelease = -1;
  size_t curtainsAtRelease = 99;
  int swaps = 0;
};

// What the shell's loop does on an idle turn.
bool drawsAFrame(RecordingWindow& window) {
  return window.scene.renderIdle(saverShellState.rendererReady,
                                 saverShellState.passwordDialogUp);
}

class SaverCreation : public ::testing::Test {
 protected:
  void SetUp() override {
    saverShellState = SaverShellState{};
    rendererSettings = RendererSettings{};
    glCalls().clear();
  }
  void TearDown() override { saverShellState = SaverShellState{}; }
};

TEST_F(SaverCreation, StepsInOrderThenReady) {
  RecordingWindow window(true);
  EXPECT_TRUE(runCreationSteps(window, window.scene));
  const std::vector<std::string> expected = {"cursor", "hide", "title KelvaraVC", "priority",
                                             "context"};
  EXPECT_EQ(window.log, expected);
  // The settings are in place before the scene is built, and no frame can
  // be drawn until the scene is complete.
  EXPECT_EQ(window.densityAtContext, 100);
  EXPECT_EQ(window.readyAtContext, 0);
  EXPECT_EQ(saverShellState.rendererReady, 1);
  EXPECT_EQ(saverShellState.lastCursor.x, 7);
  EXPECT_EQ(saverShellState.lastCursor.y, 9);
  EXPECT_EQ(window.scene.front().size(), 1u);
  EXPECT_EQ(window.scene.back().size(), 1u);
  EXPECT_TRUE(drawsAFrame(window));
  EXPECT_EQ(window.swaps, 1);
}

TEST_F(SaverCreation, WithoutAContextTheWindowStaysButNothingIsDrawn) {
  RecordingWindow window(false);
  EXPECT_FALSE(runCreationSteps(window, window.scene));
  EXPECT_EQ(saverShellState.rendererReady, 1);
  EXPECT_FALSE(drawsAFrame(window));
  EXPECT_EQ(window.swaps, 0);
}

// A window made by somebody else supplies only the priority and its GL side:
// its pointer and title are left alone, and so is the pointer reference.
class BorrowedWindow : public SaverWindowSteps, public RenderSurface {
 public:
  void lowerPriority() override { log.push_back("priority"); }
  RenderSurface& surface() override { return *this; }
  void releaseSurface() override { log.push_back("release"); }
  bool createContext() override {
    log.push_back("context");
    return true;
  }
  void clientRect(int& l, int& t, int& r, int& b) const override {
    l = t = 0;
    r = 320;
    b = 200;
  }
  void swapBuffers() override {}
  CurtainScene scene;
  std::vector<std::string> log;
};

TEST_F(SaverCreation, ABorrowedWindowGetsTheSameStepsButKeepsThePointerReference) {
  saverShellState.lastCursor = CursorPoint{3, 4};
  BorrowedWindow window;
  EXPECT_TRUE(runCreationSteps(window, window.scene));
  EXPECT_EQ(window.log, (std::vector<std::string>{"priority", "context"}));
  EXPECT_EQ(saverShellState.lastCursor.x, 3);
  EXPECT_EQ(saverShellState.lastCursor.y, 4);
  EXPECT_EQ(rendererSettings.density, 100);
  EXPECT_EQ(saverShellState.rendererReady, 1);
  runDestructionSteps(window, window.scene);
  EXPECT_EQ(window.log.back(), "release");
  EXPECT_EQ(saverShellState.rendererReady, 0);
}

TEST_F(SaverCreation, DestructionStopsFramesAndFreesCurtainsBeforeTheContext) {
  RecordingWindow window(true);
  runCreationSteps(window, window.scene);
  runDestructionSteps(window, window.scene);
  EXPECT_EQ(window.log.back(), "release");
  EXPECT_EQ(window.readyAtRelease, 0);
  EXPECT_EQ(window.curtainsAtRelease, 0u);
  EXPECT_FALSE(drawsAFrame(window));
  EXPECT_EQ(window.swaps, 0);
}

// A window over several monitors: the steps run once, each scene is built on
// its own monitor's surface, and the window's GL side goes only after every
// scene let go of its curtains.
class MonitorWindow : public SaverWindowSteps {
 public:
  struct Monitor : RenderSurface {
    Monitor(MonitorWindow& w, int index, bool ok) : window(w), index(index), ok(ok) {}
    bool createContext() override {
      window.log.push_back("context " + std::to_string(index));
      return ok;
    }
    void clientRect(int& l, int& t, int& r, int& b) const override {
      l = index * 100;
      t = 0;
      r = l + 100;
      b = 80;
    }
    void swapBuffers() override {}
    bool sharesContext() const override { return true; }
    MonitorWindow& window;
    int index;
    bool ok;
  };
  explicit MonitorWindow(std::vector<bool> contexts) {
    for (size_t i = 0; i < contexts.size(); ++i) {
      monitors.push_back(std::make_unique<Monitor>(*this, static_cast<int>(i), contexts[i]));
      scenes.push_back(std::make_unique<CurtainScene>());
    }
  }
  void setTitle(const char* title) override { log.push_back(std::string("title ") + title); }
  void lowerPriority() override { log.push_back("priority"); }
  RenderSurface& surface() override {
    ADD_FAILURE() << "the window's own surface is not what a monitor's scene gets";
    return *monitors[0];
  }
  RenderSurface& sceneSurface(std::size_t index) override { return *monitors.at(index); }
  void releaseSurface() override {
    size_t curtains = 0;
    for (auto& scene : scenes) curtains += scene->front().size() + scene->back().size();
    log.push_back("release with " + std::to_string(curtains) + " curtains");
  }
  std::vector<CurtainScene*> list() {
    std::vector<CurtainScene*> out;
    for (auto& scene : scenes) out.push_back(scene.get());
    return out;
  }
  std::vector<std::unique_ptr<Monitor>> monitors;
  std::vector<std::unique_ptr<CurtainScene>> scenes;
  std::vector<std::string> log;
};

TEST_F(SaverCreation, SeveralMonitorsEachGetAScene) {
  MonitorWindow window({true, true, true});
  EXPECT_TRUE(runCreationSteps(window, window.list()));
  EXPECT_EQ(window.log, (std::vector<std::string>{"title KelvaraVC", "priority", "context 0",
                                                  "context 1", "context 2"}));
  for (auto& scene : window.scenes) {
    EXPECT_EQ(scene->front().size(), 1u);
    EXPECT_TRUE(scene->renderIdle(saverShellState.rendererReady, 0));
  }
  runDestructionSteps(window, window.list());
  EXPECT_EQ(window.log.back(), "release with 0 curtains");
  EXPECT_EQ(std::count(window.log.begin(), window.log.end(), "release with 0 curtains"), 1);
  EXPECT_EQ(saverShellState.rendererReady, 0);

  // One monitor without a context: the run goes on, that one draws nothing.
  MonitorWindow partly({true, false});
  EXPECT_FALSE(runCreationSteps(partly, partly.list()));
  EXPECT_TRUE(partly.scenes[0]->renderIdle(saverShellState.rendererReady, 0));
  EXPECT_FALSE(partly.scenes[1]->renderIdle(saverShellState.rendererReady, 0));
  runDestructionSteps(partly, partly.list());
}

}  // namespace
