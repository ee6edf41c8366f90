#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fake_gl.h"
#include "renderer/curtain/renderer_settings.h"
#include "renderer/shell/monitor_surface.h"
#include "renderer/shell/saver_run.h"

namespace {

// A shell whose platform is a script: each turn of the loop (one
// dispatchPending) may change the spots or end the run; time only moves
// when the loop waits. Every call is logged in the order it came.
class ScriptedShell : public SaverShell {
 public:
  struct Spot : RenderSurface {
    Spot(ScriptedShell& s, std::uint64_t k, ScreenRect r) : shell(s), key(k), rect(r) {}
    bool createContext() override {
      shell.log.push_back("context " + std::to_string(key));
      shell.readyAtContext = saverShellState.rendererReady;
      return shell.noContext.count(key) == 0;
    }
    void clientRect(int& l, int& t, int& r, int& b) const override {
      l = rect.left;
      t = rect.top;
      r = rect.right;
      b = rect.bottom;
    }
    void swapBuffers() override { shell.log.push_back("frame " + std::to_string(key)); }
    ScriptedShell& shell;
    std::uint64_t key;
    ScreenRect rect;
    bool due = true;
  };

  bool connect() override {
    log.push_back("connect");
    return connects;
  }
  bool anotherSaverUp() override {
    log.push_back("another?");
    return another;
  }
  bool openSurfaces() override {
    log.push_back("open");
    return opens;
  }
  void show() override { log.push_back("show"); }
  std::vector<SceneSpot> spots() override {
    std::vector<SceneSpot> list;
    for (auto& spot : live) list.push_back({spot->key, spot->rect, spot->due});
    return list;
  }
  void reportNoContext(std::uint64_t key) override {
    log.push_back("no context " + std::to_string(key));
  }
  bool dispatchPending() override {
    log.push_back("dispatch");
    const int turn = turns++;
    auto it = script.find(turn);
    if (it != script.end()) it->second();
    return turn < lastTurn;
  }
  void wait(std::int64_t micros) override {
    log.push_back("wait " + std::to_string(micros));
    clock += micros;
  }
  std::int64_t nowMicros() override { return clock; }
  void present(bool drew) override {
    log.push_back(drew ? "present" : "present nothing");
    clock += frameCost;
  }
  int close() override {
    log.push_back("close");
    return 0;
  }

  void setTitle(const char* title) override { log.push_back(std::string("title ") + title); }
  void lowerPriority() override { log.push_back("priority"); }
  RenderSurface& surface() override { return window; }
  RenderSurface& sceneSurface(std::size_t key) override {
    for (auto& spot : all)
      if (spot->key == key) return *spot;
    ADD_FAILURE() << "no spot " << key;
    return window;
  }
  void releaseSurface() override {
    log.push_back("release");
    readyAtRelease = saverShellState.rendererReady;
  }

  Spot& add(std::uint64_t key, ScreenRect rect) {
    all.push_back(std::make_unique<Spot>(*this, key, rect));
    live.push_back(all.back().get());
    return *all.back();
  }
  void remove(std::uint64_t key) {
    live.erase(std::remove_if(live.begin(), live.end(), [&](Spot* s) { return s->key == key; }),
               live.end());
  }
  size_t count(const std::string& entry) const {
    return static_cast<size_t>(std::count(log.begin(), log.end(), entry));
  }
  size_t first(const std::string& entry) const {
    return static_cast<size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
  }
  size_t last(const std::string& entry) const {
    auto it = std::find(log.rbegin(), log.rend(), entry);
    return it == log.rend() ? log.size() : static_cast<size_t>(log.rend() - it - 1);
  }

  bool connects = true, another = false, opens = true;
  std::map<int, std::function<void()>> script;
  int turns = 0;
  int lastTurn = 5;
  std::int64_t clock = 1000000;
  std::int64_t frameCost = 0;
  std::map<std::uint64_t, bool> noContext;
  std::vector<std::unique_ptr<Spot>> all;
  std::vector<Spot*> live;
  Spot window{*this, 99, {}};
  std::vector<std::string> log;
  int readyAtContext = -1, readyAtRelease = -1;
};

class SaverRun : public ::testing::Test {
 protected:
  void SetUp() override {
    saverShellState = SaverShellState{};
    rendererSettings = RendererSettings{};
    glCalls().clear();
  }
  void TearDown() override { saverShellState = SaverShellState{}; }
};

TEST_F(SaverRun, CreationBeforeShowingThenEventsFirstAndAFrameEachTurn) {
  ScriptedShell shell;
  shell.add(0, {0, 0, 640, 480});
  const SaverRunResult result = [&] {
    FramePacer noCap(0);
    return runSaver(shell, noCap);
  }();
  EXPECT_EQ(result.end, SaverRunEnd::Ran);
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string> start(shell.log.begin(), shell.log.begin() + 7);
  EXPECT_EQ(start, (std::vector<std::string>{"connect", "another?", "open", "title KelvaraVC",
                                             "priority", "context 0", "show"}));
  EXPECT_EQ(shell.readyAtContext, 0);
  // Five turns go on, the sixth ends the run: each frame follows the events,
  // and without a cap the loop only yields between frames.
  EXPECT_EQ(shell.count("frame 0"), 5u);
  EXPECT_EQ(shell.count("wait 0"), 5u);
  for (size_t i = 0; i < shell.log.size(); ++i) {
    if (shell.log[i] != "frame 0") continue;
    ASSERT_GE(i, 1u);
    EXPECT_EQ(shell.log[i - 1], "dispatch") << "entry " << i;
    EXPECT_EQ(shell.log[i + 1], "present") << "entry " << i;
  }
  // The end: no frame after the last events, the steps backwards, then the
  // window.
  EXPECT_EQ(shell.log[shell.log.size() - 3], "dispatch");
  EXPECT_EQ(shell.log[shell.log.size() - 2], "release");
  EXPECT_EQ(shell.log.back(), "close");
  EXPECT_EQ(shell.readyAtRelease, 0);
}

TEST_F(SaverRun, AFrameOnlyWhenDueAndAWaitOtherwise) {
  {
    SCOPED_TRACE("a delay of 25 ms: waits in slices between frames, never a frame early");
    ScriptedShell shell;
    shell.add(0, {0, 0, 320, 200});
    shell.lastTurn = 40;
    FramePacer pacer(25000);
    runSaver(shell, pacer);
    std::vector<std::int64_t> frameTimes;
    std::int64_t clock = 1000000;
    for (const std::string& entry : shell.log) {
      if (entry.rfind("wait ", 0) == 0) clock += std::stoll(entry.substr(5));
      if (entry == "frame 0") frameTimes.push_back(clock);
    }
    ASSERT_GE(frameTimes.size(), 3u);
    for (size_t i = 1; i < frameTimes.size(); ++i)
      EXPECT_GE(frameTimes[i] - frameTimes[i - 1], 25000);
    EXPECT_EQ(shell.count("wait 0"), 0u);
    EXPECT_GT(shell.count("wait 10000"), 0u);
  }
  {
    SCOPED_TRACE("a spot still showing its last frame is not drawn: the loop waits");
    ScriptedShell shell;
    shell.add(0, {0, 0, 320, 200}).due = false;
    shell.script[2] = [&] { shell.all[0]->due = true; };
    FramePacer noCap(0);
    runSaver(shell, noCap);
    const size_t firstFrame = shell.first("frame 0");
    ASSERT_LT(firstFrame, shell.log.size());
    EXPECT_EQ(std::count(shell.log.begin(), shell.log.begin() + firstFrame,
                         "wait " + std::to_string(kIdleWaitMicros)),
              2);
  }
  {
    SCOPED_TRACE("no context: said once, never drawn, the loop waits instead of spinning");
    ScriptedShell shell;
    shell.add(0, {0, 0, 320, 200});
    shell.noContext[0] = true;
    FramePacer noCap(0);
    runSaver(shell, noCap);
    EXPECT_EQ(shell.count("no context 0"), 1u);
    EXPECT_EQ(shell.count("frame 0"), 0u);
    EXPECT_EQ(shell.count("wait " + std::to_string(kIdleWaitMicros)), 5u);
    EXPECT_EQ(saverShellState.rendererReady, 0);
  }
  {
    SCOPED_TRACE("a password dialog up: no frames");
    ScriptedShell shell;
    shell.add(0, {0, 0, 320, 200});
    shell.script[0] = [] { saverShellState.passwordDialogUp = 1; };
    shell.script[3] = [] { saverShellState.passwordDialogUp = 0; };
    FramePacer noCap(0);
    runSaver(shell, noCap);
    EXPECT_EQ(shell.count("frame 0"), 2u);
  }
}

TEST_F(SaverRun, EveryOutputGetsTheStepsAlsoOneThatComesLater) {
  ScriptedShell shell;
  shell.lastTurn = 6;
  // Like a Wayland output: listed only once its view can be drawn.
  shell.script[1] = [&] { shell.add(7, {0, 0, 800, 600}); };
  shell.script[3] = [&] { shell.add(9, {0, 0, 1024, 768}); };
  shell.script[5] = [&] { shell.remove(7); };
  FramePacer noCap(0);
  runSaver(shell, noCap);
  // Nothing is set up before there is anything to draw on; the window-wide
  // steps come once, with the first output.
  EXPECT_LT(shell.first("dispatch"), shell.first("title KelvaraVC"));
  EXPECT_EQ(shell.count("title KelvaraVC"), 1u);
  EXPECT_EQ(shell.count("priority"), 1u);
  EXPECT_EQ(shell.count("context 7"), 1u);
  EXPECT_EQ(shell.count("context 9"), 1u);
  EXPECT_LT(shell.first("context 7"), shell.first("context 9"));
  // A later output draws from the turn it came; a removed one no more.
  EXPECT_EQ(shell.count("frame 9"), 3u);
  EXPECT_EQ(shell.count("frame 7"), 4u);
  EXPECT_GT(shell.first("frame 9"), shell.first("context 9"));
  EXPECT_LT(shell.last("frame 7"), shell.last("frame 9"));
  EXPECT_EQ(shell.count("release"), 1u);
  EXPECT_EQ(shell.readyAtRelease, 0);
}

TEST_F(SaverRun, ASpotThatChangesSizeIsReshapedAndUncoveredAreaIsClearedFirst) {
  struct Shell : ScriptedShell {
    bool hasUncoveredArea() const override { return true; }
  } shell;
  shell.add(0, {0, 0, 640, 480});
  shell.script[2] = [&] { shell.all[0]->rect = {0, 0, 1280, 720}; };
  FramePacer noCap(0);
  runSaver(shell, noCap);
  bool sawNewSize = false;
  size_t wholeClears = 0;
  const auto& calls = glCalls();
  for (size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].name == "glViewport" && calls[i].args == std::vector<double>{0, 0, 1280, 720})
      sawNewSize = true;
    // The whole window is cleared, and only then does the scene draw.
    if (calls[i].name == "glDisable" && calls[i].args == std::vector<double>{GL_SCISSOR_TEST}) {
      ++wholeClears;
      ASSERT_LT(i + 2, calls.size());
      EXPECT_EQ(calls[i + 1].name, "glClear");
      EXPECT_NE(calls[i + 2].name, "glDisable");
    }
  }
  EXPECT_TRUE(sawNewSize);
  EXPECT_EQ(wholeClears, 5u);
  EXPECT_EQ(shell.count("frame 0"), 5u);
}

TEST_F(SaverRun, GivingWayAndFailuresShowNothing) {
  {
    ScriptedShell shell;
    shell.connects = false;
    FramePacer noCap(0);
    const SaverRunResult result = runSaver(shell, noCap);
    EXPECT_EQ(result.end, SaverRunEnd::NoPlatform);
    EXPECT_EQ(shell.log, (std::vector<std::string>{"connect"}));
  }
  {
    ScriptedShell shell;
    shell.another = true;
    shell.add(0, {0, 0, 640, 480});
    FramePacer noCap(0);
    const SaverRunResult result = runSaver(shell, noCap);
    EXPECT_EQ(result.end, SaverRunEnd::GaveWay);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(shell.log, (std::vector<std::string>{"connect", "another?", "close"}));
  }
  {
    ScriptedShell shell;
    shell.opens = false;
    FramePacer noCap(0);
    const SaverRunResult result = runSaver(shell, noCap);
    EXPECT_EQ(result.end, SaverRunEnd::NoWindow);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(shell.log, (std::vector<std::string>{"connect", "another?", "open", "close"}));
    EXPECT_EQ(saverShellState.rendererReady, 0);
  }
}

// The monitors' surfaces of one window: each monitor's picture lies in its
// own rectangle of the window, given from the drawable's lower edge.
TEST_F(SaverRun, MonitorSurfacesFollowTheLayout) {
  ScriptedShell shell;
  ScriptedShell::Spot window(shell, 0, {0, 0, 2304, 1024});
  MonitorSurfaces monitors(window);
  monitors.follow(layoutMonitors({0, 0, 2304, 1024}, {0, 0, 2304, 1024},
                                 {{0, 0, 1280, 1024}, {1280, 0, 2304, 768}}));
  const auto spots = monitors.spots();
  ASSERT_EQ(spots.size(), 2u);
  EXPECT_EQ(spots[1].key, 1u);
  EXPECT_EQ(spots[1].rect, (ScreenRect{1280, 0, 2304, 768}));
  RenderSurface& right = monitors.surface(1);
  EXPECT_TRUE(right.sharesContext());
  EXPECT_EQ(right.drawableHeight(), 1024);
  CurtainScene scene;
  ASSERT_TRUE(scene.init(right));
  glCalls().clear();
  scene.drawFrame();
  ASSERT_FALSE(glCalls().empty());
  EXPECT_EQ(glCalls()[0].name, "glViewport");
  EXPECT_EQ(glCalls()[0].args, (std::vector<double>{1280, 256, 1024, 768}));
  // A monitor that goes keeps its surface (its scene may still point at it);
  // the one that stays is moved in place.
  monitors.follow(layoutMonitors({0, 0, 2304, 1024}, {0, 0, 2304, 1024}, {{1280, 0, 2304, 768}}));
  EXPECT_EQ(monitors.spots().size(), 1u);
  int l = 0, t = 0, r = 0, b = 0;
  monitors.surface(0).clientRect(l, t, r, b);
  EXPECT_EQ((ScreenRect{l, t, r, b}), (ScreenRect{1280, 0, 2304, 768}));
  right.clientRect(l, t, r, b);
  EXPECT_EQ(r - l, 1024);
  scene.release();
}

}  // namespace
