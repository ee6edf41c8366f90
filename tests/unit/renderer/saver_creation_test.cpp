#include <gtest/gtest.h>

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

}  // namespace
