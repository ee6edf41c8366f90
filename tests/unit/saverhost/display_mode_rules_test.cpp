// The launcher's display-mode rules: one music lock per X display, and the
// limit on starting a renderer that keeps ending.
#include "launcher/core/display_mode_rules.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

TEST(MusicLockPath, OneLockPerXDisplayWhateverTheScreen) {
  EXPECT_EQ(musicLockPath("/run/user/1000", ":5.1", 1000), "/run/user/1000/miravel-music-:5.lock");
  EXPECT_EQ(musicLockPath("/run/user/1000", ":5.0", 1000), musicLockPath("/run/user/1000", ":5", 1000));
  EXPECT_NE(musicLockPath("/run/user/1000", ":5", 1000), musicLockPath("/run/user/1000", ":6", 1000));
  EXPECT_EQ(musicLockPath("/r", "localhost:10.0", 1), "/r/miravel-music-localhost:10.lock");
  // A host name with dots keeps them; only the screen after the display goes.
  EXPECT_EQ(musicLockPath("/r", "box.example.org:2.1", 1), "/r/miravel-music-box.example.org:2.lock");
}

TEST(MusicLockPath, NoRuntimeFolderFallsBackToTmpPerUserAndOddNamesAreMadeSafe) {
  EXPECT_EQ(musicLockPath(nullptr, ":3", 1001), "/tmp/miravel-music-1001-:3.lock");
  EXPECT_EQ(musicLockPath("", ":3", 1001), "/tmp/miravel-music-1001-:3.lock");
  EXPECT_EQ(musicLockPath("relative/dir", ":3", 1001), "/tmp/miravel-music-1001-:3.lock");
  EXPECT_EQ(musicLockPath("/r", nullptr, 1), "/r/miravel-music-:0.lock");
  EXPECT_EQ(musicLockPath("/r", "", 1), "/r/miravel-music-:0.lock");
  // A slash (unix/:0) or other strange characters never reach the path.
  EXPECT_EQ(musicLockPath("/r", "unix/../:0", 1), "/r/miravel-music-unix_.._:0.lock");
}

TEST(FileLock, OnlyOneHolderAtATimeAndNotPassedToStartedPrograms) {
  char folder[] = "/tmp/miravel-lock-test.XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string path = std::string(folder) + "/music.lock";

  const int first = takeFileLock(path);
  ASSERT_GE(first, 0);
  EXPECT_EQ(takeFileLock(path), -1);  // a second launcher of the same display
  EXPECT_TRUE(fcntl(first, F_GETFD) & FD_CLOEXEC);
  close(first);  // the holder ended
  const int again = takeFileLock(path);
  EXPECT_GE(again, 0);
  close(again);

  EXPECT_EQ(takeFileLock(std::string(folder) + "/missing/music.lock"), -1);
  unlink(path.c_str());
  rmdir(folder);
}

TEST(RestartLimit, AtMostOneStartPerGap) {
  RestartLimit limit(5);
  EXPECT_TRUE(limit.mayStart(100));
  limit.started(100);
  EXPECT_FALSE(limit.mayStart(100));
  EXPECT_FALSE(limit.mayStart(104.9));
  EXPECT_TRUE(limit.mayStart(105));
  limit.started(105);
  EXPECT_FALSE(limit.mayStart(107));
  // A clock that went backwards never blocks starts for good.
  EXPECT_TRUE(limit.mayStart(50));
}

namespace {

TopWindowFacts window(bool viewable, bool overrideRedirect, const char* className,
                      const char* command, int width, int height, bool isTarget = false) {
  TopWindowFacts facts;
  facts.isTarget = isTarget;
  facts.viewable = viewable;
  facts.overrideRedirect = overrideRedirect;
  facts.className = className;
  facts.firstCommand = command;
  facts.width = width;
  facts.height = height;
  return facts;
}

}  // namespace

// As XScreenSaver 6 stacks its windows, bottom to top: the daemon's unmapped
// 1x1 window, its first blank window, the window the mode draws in (naming
// the mode's command), and, when asked for the password, its dialog.
TEST(UnlockDialog, TheDaemonsOwnWindowAboveTheModesWindowIsTheDialog) {
  const TopWindowFacts daemon = window(false, true, "XScreenSaver", "xscreensaver", 1, 1);
  const TopWindowFacts blank = window(true, true, "XScreenSaver", "xscreensaver", 1280, 720);
  const TopWindowFacts mode =
      window(true, true, "XScreenSaver", "/opt/miravel/Miravel.scr --root", 1280, 720, true);
  const TopWindowFacts dialog = window(true, true, "XScreenSaver", "/usr/bin/xscreensaver", 771, 286);
  EXPECT_FALSE(unlockDialogShown({daemon, blank, mode}));
  EXPECT_TRUE(unlockDialogShown({daemon, blank, mode, dialog}));
  // Below the mode's window it is not over us.
  EXPECT_FALSE(unlockDialogShown({daemon, dialog, mode}));
  // Without the target among the top-level windows (a locker's inner
  // window) nothing is looked at.
  EXPECT_FALSE(unlockDialogShown({daemon, blank, dialog}));
  EXPECT_FALSE(unlockDialogShown({}));
}

TEST(UnlockDialog, OnlyTheDaemonsOwnViewableOverrideRedirectWindowsCount) {
  EXPECT_TRUE(isDaemonWindow(window(true, true, "XScreenSaver", "xscreensaver", 771, 286)));
  EXPECT_FALSE(isDaemonWindow(window(false, true, "XScreenSaver", "xscreensaver", 771, 286)));
  EXPECT_FALSE(isDaemonWindow(window(true, false, "XScreenSaver", "xscreensaver", 771, 286)));
  EXPECT_FALSE(isDaemonWindow(window(true, true, "xsecurelock", "xscreensaver", 771, 286)));
  EXPECT_FALSE(isDaemonWindow(window(true, true, "XScreenSaver", "xscreensaver-gfx", 771, 286)));
  EXPECT_FALSE(isDaemonWindow(window(true, true, "XScreenSaver", "", 771, 286)));
  EXPECT_FALSE(isDaemonWindow(window(true, true, "XScreenSaver", "xscreensaver", 1, 1)));
}

namespace {

// A launcher whose renderer runs, that plays, nothing shown over it.
WatchFacts running() {
  WatchFacts facts;
  facts.rendererStarted = true;
  facts.wantsMusic = true;
  facts.playing = true;
  return facts;
}

}  // namespace

TEST(WatchTurn, AWindowThatIsGoneEndsTheRunBeforeAnythingElse) {
  WatchFacts facts = running();
  facts.targetExists = false;
  // Not even a vanished dialog, a dead renderer or a free lock may act then.
  facts.paused = true;
  facts.rendererEnded = true;
  facts.mayRestart = true;
  facts.playing = false;
  const WatchTurn turn = watchTurn(facts);
  EXPECT_TRUE(turn.end);
  EXPECT_FALSE(turn.resume || turn.pause || turn.startRenderer || turn.reportEnded ||
               turn.tryMusicLock);

  EXPECT_FALSE(watchTurn(running()).end);
}

TEST(WatchTurn, ARendererThatEndedIsReportedAndStartedAgainOnlyWhenTheLimitAllows) {
  WatchFacts facts = running();
  facts.rendererEnded = true;
  WatchTurn turn = watchTurn(facts);
  EXPECT_TRUE(turn.reportEnded);
  EXPECT_FALSE(turn.startRenderer);
  facts.mayRestart = true;
  turn = watchTurn(facts);
  EXPECT_TRUE(turn.reportEnded && turn.startRenderer);

  // Never started (it failed to start): started once the limit allows,
  // with nothing to report.
  facts.rendererStarted = false;
  facts.rendererEnded = false;
  turn = watchTurn(facts);
  EXPECT_TRUE(turn.startRenderer);
  EXPECT_FALSE(turn.reportEnded);

  // A running renderer is left alone.
  facts = running();
  facts.mayRestart = true;
  turn = watchTurn(facts);
  EXPECT_FALSE(turn.startRenderer || turn.reportEnded);
}

TEST(WatchTurn, TheDialogPausesAndItsEndResumesWithNothingStartedMeanwhile) {
  WatchFacts facts = running();
  facts.dialogShown = true;
  WatchTurn turn = watchTurn(facts);
  EXPECT_TRUE(turn.pause);
  EXPECT_FALSE(turn.resume);

  // Still shown: nothing happens, even with the renderer gone and the lock free.
  facts.paused = true;
  facts.rendererEnded = true;
  facts.mayRestart = true;
  facts.playing = false;
  turn = watchTurn(facts);
  EXPECT_FALSE(turn.pause || turn.resume || turn.startRenderer || turn.reportEnded ||
               turn.tryMusicLock || turn.end);

  // Gone: resumed, and the rest of the turn runs as usual.
  facts.dialogShown = false;
  turn = watchTurn(facts);
  EXPECT_TRUE(turn.resume);
  EXPECT_TRUE(turn.startRenderer && turn.reportEnded && turn.tryMusicLock);
}

TEST(WatchTurn, OnlyALauncherThatWantsMusicAndDoesNotPlayAsksForTheLock) {
  WatchFacts facts = running();
  EXPECT_FALSE(watchTurn(facts).tryMusicLock);  // it plays already
  facts.playing = false;
  EXPECT_TRUE(watchTurn(facts).tryMusicLock);
  facts.wantsMusic = false;  // a preview, or no music chosen
  EXPECT_FALSE(watchTurn(facts).tryMusicLock);
}
