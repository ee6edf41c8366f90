// The start and re-arm rule over sequences of facts, as a session meets
// them.
#include "idle/idle_starter.h"

#include <gtest/gtest.h>

using namespace idle;
using State = IdleStarter::State;

TEST(IdleStarter, IdleStartsTheSaverAndFurtherIdleIsIgnoredWhileItRuns) {
  IdleStarter starter;
  EXPECT_EQ(starter.begin(), Step::Arm);
  EXPECT_EQ(starter.userActive(), Step::Nothing);  // input before idle changes nothing
  EXPECT_EQ(starter.idleReached(), Step::StartSaver);
  EXPECT_EQ(starter.state(), State::SaverRunning);
  // One saver at a time.
  EXPECT_EQ(starter.idleReached(), Step::Nothing);
  EXPECT_EQ(starter.idleReached(), Step::Nothing);
}

TEST(IdleStarter, AKeyEndingTheSaverReArmsAtItsEnd) {
  IdleStarter starter;
  starter.begin();
  ASSERT_EQ(starter.idleReached(), Step::StartSaver);
  EXPECT_EQ(starter.userActive(), Step::Nothing);  // the key, while it still runs
  EXPECT_EQ(starter.saverEnded(), Step::Arm);
  EXPECT_EQ(starter.state(), State::Watching);
  // And the next idle period starts it again.
  EXPECT_EQ(starter.idleReached(), Step::StartSaver);
}

TEST(IdleStarter, ASaverEndingWithoutInputWaitsForTheUser) {
  IdleStarter starter;
  starter.begin();
  ASSERT_EQ(starter.idleReached(), Step::StartSaver);
  EXPECT_EQ(starter.saverEnded(), Step::Nothing);
  EXPECT_EQ(starter.state(), State::WaitingForUser);
  // The screen stays idle: no start over and over.
  EXPECT_EQ(starter.idleReached(), Step::Nothing);
  EXPECT_EQ(starter.saverEnded(), Step::Nothing);
  // The user's return arms the watch for a full delay.
  EXPECT_EQ(starter.userActive(), Step::Arm);
  EXPECT_EQ(starter.idleReached(), Step::StartSaver);
  // Input during the earlier run does not count for this one.
  EXPECT_EQ(starter.saverEnded(), Step::Nothing);
}

TEST(IdleStarter, AnInhibitHeldKeepsTheSaverAwayAndItsEndCountsAFullDelay) {
  IdleStarter starter;
  starter.begin();
  EXPECT_EQ(starter.inhibitsChanged(true), Step::Nothing);
  EXPECT_EQ(starter.idleReached(), Step::Nothing);
  EXPECT_EQ(starter.state(), State::HeldOff);
  // The user comes and goes during the film: still nothing.
  EXPECT_EQ(starter.userActive(), Step::Nothing);
  EXPECT_EQ(starter.idleReached(), Step::Nothing);
  // Another inhibit changes nothing; only the last one's end re-arms.
  EXPECT_EQ(starter.inhibitsChanged(true), Step::Nothing);
  EXPECT_EQ(starter.inhibitsChanged(false), Step::Arm);
  EXPECT_EQ(starter.state(), State::Watching);
  EXPECT_EQ(starter.idleReached(), Step::StartSaver);
}

TEST(IdleStarter, AnInhibitEndingBeforeIdleLeavesTheWatchAsItIs) {
  IdleStarter starter;
  starter.begin();
  starter.inhibitsChanged(true);
  EXPECT_EQ(starter.inhibitsChanged(false), Step::Nothing);
  EXPECT_EQ(starter.idleReached(), Step::StartSaver);
}

TEST(IdleStarter, AnInhibitTakenWhileTheSaverRunsLeavesItRunning) {
  IdleStarter starter;
  starter.begin();
  ASSERT_EQ(starter.idleReached(), Step::StartSaver);
  EXPECT_EQ(starter.inhibitsChanged(true), Step::Nothing);
  EXPECT_EQ(starter.state(), State::SaverRunning);
  starter.userActive();
  EXPECT_EQ(starter.saverEnded(), Step::Arm);
  // Still inhibited: the next idle period waits for the release.
  EXPECT_EQ(starter.idleReached(), Step::Nothing);
  EXPECT_EQ(starter.inhibitsChanged(false), Step::Arm);
}

TEST(IdleStarter, TheDesktopsOwnInhibitReArmsToAskAgainLater) {
  IdleStarter starter;
  starter.begin();
  EXPECT_EQ(starter.idleReached(true), Step::Arm);
  EXPECT_EQ(starter.state(), State::Watching);
  EXPECT_EQ(starter.idleReached(true), Step::Arm);
  EXPECT_EQ(starter.idleReached(false), Step::StartSaver);
}

TEST(IdleStarter, AnEndNotOfOursAndAReleaseOfNothingAreNoSteps) {
  IdleStarter starter;
  starter.begin();
  EXPECT_EQ(starter.saverEnded(), Step::Nothing);
  EXPECT_EQ(starter.inhibitsChanged(false), Step::Nothing);
  EXPECT_EQ(starter.state(), State::Watching);
}
