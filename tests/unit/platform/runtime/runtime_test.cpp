// The form runtime without a display: timers, form life, the process end and
// session end, and services that must return quietly when nothing can be shown.
#include "platform/runtime/runtime.h"

#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace platform;

namespace {

// These tests must not reach a display, even when the developer has one.
const int kNoDisplay = (unsetenv("DISPLAY"), 0);

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Serves events until `done` holds or `limit` seconds have passed.
template <typename Done>
void serveUntil(Done done, double limit) {
  auto start = std::chrono::steady_clock::now();
  while (!done() && secondsSince(start) < limit) serveEvents(0.01);
}

class Recorder : public Form {
 public:
  std::vector<std::string>* log;
  explicit Recorder(std::vector<std::string>* l) : log(l) {}

 protected:
  void onLoad() override { log->push_back("load"); }
  void onQueryUnload() override { log->push_back("query"); }
  void onUnload() override { log->push_back("unload"); }
};

}  // namespace

TEST(Timer, TicksNoFasterThanItsInterval) {
  int ticks = 0;
  auto start = std::chrono::steady_clock::now();
  Timer timer(20, true, [&] { ++ticks; });
  serveUntil([&] { return ticks >= 5; }, 5.0);
  double elapsed = secondsSince(start);
  EXPECT_GE(ticks, 5);
  EXPECT_LE(ticks, elapsed / 0.020 + 1);
}

TEST(Timer, DisabledOrZeroIntervalNeverTicks) {
  int ticks = 0;
  Timer off(10, false, [&] { ++ticks; });
  Timer zero(0, true, [&] { ++ticks; });
  serveUntil([] { return false; }, 0.1);
  EXPECT_EQ(ticks, 0);
  zero.setInterval(10);
  serveUntil([&] { return ticks > 0; }, 2.0);
  EXPECT_GT(ticks, 0);
}

TEST(Timer, HandlerMayStopRetimeOrDestroyItsOwnTimer) {
  int stopped = 0;
  Timer once(5, true);
  once.setOnTick([&] {
    ++stopped;
    once.setEnabled(false);
  });
  int retimed = 0;
  Timer slower(5, true);
  slower.setOnTick([&] {
    ++retimed;
    slower.setInterval(200);
  });
  int destroyedTicks = 0;
  Timer* doomed = new Timer(5, true);
  doomed->setOnTick([&] {
    ++destroyedTicks;
    delete doomed;
  });
  serveUntil([] { return false; }, 0.15);
  EXPECT_EQ(stopped, 1);
  EXPECT_FALSE(once.enabled());
  EXPECT_EQ(retimed, 1);
  EXPECT_EQ(slower.interval(), 200u);
  EXPECT_EQ(destroyedTicks, 1);
}

TEST(Timer, TickNeverOverlapsItselfWhileOthersGoOn) {
  int depth = 0, maxDepth = 0, slowTicks = 0, fastTicks = 0;
  Timer fast(5, true, [&] { ++fastTicks; });
  Timer slow(5, true);
  slow.setOnTick([&] {
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    ++slowTicks;
    // A nested event loop inside a tick, as a modal window would run.
    int fastBefore = fastTicks;
    serveUntil([&] { return fastTicks >= fastBefore + 3; }, 2.0);
    --depth;
    if (slowTicks >= 3) slow.setEnabled(false);
  });
  serveUntil([&] { return !slow.enabled(); }, 5.0);
  EXPECT_EQ(slowTicks, 3);
  EXPECT_EQ(maxDepth, 1);
  EXPECT_GE(fastTicks, 9);
}

TEST(Form, LoadCountsAndUnloadRunsBothHandlersInOrder) {
  std::vector<std::string> log;
  int before = loadedFormCount();
  {
    Recorder form(&log);
    form.load();
    form.load();
    EXPECT_TRUE(form.isLoaded());
    EXPECT_EQ(loadedFormCount(), before + 1);
    form.unload();
    form.unload();
    EXPECT_FALSE(form.isLoaded());
    EXPECT_EQ(loadedFormCount(), before);
    form.load();
  }  // destroyed while loaded: no handler runs, but it no longer counts
  EXPECT_EQ(loadedFormCount(), before);
  EXPECT_EQ(log, (std::vector<std::string>{"load", "query", "unload", "load"}));
}

TEST(NoDisplay, WindowServicesReturnQuietly) {
  EXPECT_FALSE(hasDisplay());
  EXPECT_FALSE(topLevelWindowExists("Kelvara_Main"));
  // It would wait for a click if it showed; with nothing to show it on, the
  // text goes to standard error.
  testing::internal::CaptureStderr();
  messageBox("Miravel.dll が見つかりません");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Miravel.scr: Miravel.dll が見つかりません\n");
  HiddenWindow hidden;
  EXPECT_FALSE(hidden.create("Kelvara_Main"));
  EXPECT_EQ(hidden.id(), 0u);
  EXPECT_DOUBLE_EQ(twipsPerPixelX(), 15.0);
}

// A compositor answering on the named socket, one that is gone, and the
// renderer forced onto X11.
TEST(NoDisplay, WaylandIsReachableOnlyWhereSomeoneListens) {
  char pattern[] = "/tmp/miravel-wayland.XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = pattern;
  const std::string socketPath = folder + "/wayland-7";
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 4), 0);

  unsetenv("MIRAVEL_PLATFORM");
  setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
  setenv("WAYLAND_DISPLAY", "wayland-7", 1);
  EXPECT_TRUE(waylandDisplayReachable());
  setenv("WAYLAND_DISPLAY", socketPath.c_str(), 1);
  EXPECT_TRUE(waylandDisplayReachable());
  setenv("MIRAVEL_PLATFORM", "X11", 1);
  EXPECT_FALSE(waylandDisplayReachable());
  unsetenv("MIRAVEL_PLATFORM");
  setenv("WAYLAND_DISPLAY", "wayland-8", 1);
  EXPECT_FALSE(waylandDisplayReachable());
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_FALSE(waylandDisplayReachable());

  // The socket file left behind by a compositor that is gone.
  close(listener);
  setenv("WAYLAND_DISPLAY", "wayland-7", 1);
  EXPECT_FALSE(waylandDisplayReachable());
  unsetenv("WAYLAND_DISPLAY");
  unlink(socketPath.c_str());
  rmdir(folder.c_str());
}

namespace {

int g_ticks = 0;
Recorder* g_form = nullptr;
Timer* g_timer = nullptr;
std::vector<std::string> g_log;

void printLogAndFlush() {
  std::string all;
  for (const std::string& entry : g_log) all += entry + ",";
  std::fprintf(stderr, "log=%s\n", all.c_str());
}

class LoggingForm : public Recorder {
 public:
  LoggingForm() : Recorder(&g_log) {}
  void onUnload() override {
    Recorder::onUnload();
    printLogAndFlush();
  }
};

// Loads a form and unloads it from its own timer after three ticks.
void startThreeTicks() {
  std::fprintf(stderr, "cmd=[%s]\n", commandLine().c_str());
  g_form = new LoggingForm;
  g_form->load();
  g_timer = new Timer(10, true, [] {
    if (++g_ticks == 3) g_form->unload();
  });
}

void startAndGetKilled() {
  g_form = new LoggingForm;
  g_form->load();
  g_timer = new Timer(10, true, [] { std::raise(SIGTERM); });
}

void startWithNothing() {}

// The one thread is stuck (as in a read that never returns) when the session
// ends: the process still ends, with 0, well within a second.
void startAndGetStuck() {
  std::raise(SIGTERM);
  for (;;) pause();
}

char arg0[] = "Miravel.scr", arg1[] = "/p", arg2[] = "1234";
char* argv3[] = {arg0, arg1, arg2, nullptr};

}  // namespace

TEST(ProcessLife, LivesWhileAFormIsLoadedThenEndsWithZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(runLauncher(3, argv3, startThreeTicks), ::testing::ExitedWithCode(0),
              "cmd=\\[/p 1234\\].*log=load,query,unload,");
  EXPECT_EXIT(runLauncher(1, argv3, startWithNothing), ::testing::ExitedWithCode(0), "");
}

TEST(ProcessLife, SessionEndUnloadsLoadedFormsThenEnds) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(runLauncher(1, argv3, startAndGetKilled), ::testing::ExitedWithCode(0),
              "log=load,query,unload,");
}

TEST(ProcessLife, EndStopsAtOnceWithoutUnloading) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        LoggingForm form;
        form.load();
        endLauncher();
      },
      ::testing::ExitedWithCode(0), "^$");
}

TEST(ProcessLife, SessionEndStopsTheProcessEvenWhenItsThreadIsStuck) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto began = std::chrono::steady_clock::now();
  EXPECT_EXIT(runLauncher(1, argv3, startAndGetStuck), ::testing::ExitedWithCode(0), "");
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count(), 3.0);
}
