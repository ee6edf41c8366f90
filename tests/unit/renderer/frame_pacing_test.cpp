#include "renderer/shell/frame_pacing.h"

#include <gtest/gtest.h>

TEST(FramePacing, WaitsOutTheDelayFromOneFrameStartToTheNext) {
  FramePacer pacer(16000);
  EXPECT_EQ(pacer.waitMicros(1000000), 0);  // the first frame at once
  pacer.frameStarted(1000000);
  EXPECT_EQ(pacer.waitMicros(1000000), 16000);
  EXPECT_EQ(pacer.waitMicros(1005000), 11000);  // a 5 ms frame leaves 11 ms
  EXPECT_EQ(pacer.waitMicros(1015999), 1);
  EXPECT_EQ(pacer.waitMicros(1016000), 0);
}

TEST(FramePacing, ASlowFrameMakesTheNextDueAtOnceWithoutCatchingUp) {
  FramePacer pacer(16000);
  pacer.frameStarted(0);
  EXPECT_EQ(pacer.waitMicros(50000), 0);
  pacer.frameStarted(50000);
  // The next one is paced from the late start, not from where it should have been.
  EXPECT_EQ(pacer.waitMicros(50000), 16000);
}

TEST(FramePacing, WaitsAreSlicedSoSignalsAndEventsAreServed) {
  FramePacer pacer(1000000);  // one frame a second
  pacer.frameStarted(0);
  EXPECT_EQ(pacer.waitMicros(0), 1000000);
  EXPECT_EQ(pacer.sliceMicros(0), FramePacer::kSliceMicros);
  EXPECT_EQ(pacer.sliceMicros(995000), 5000);
  EXPECT_EQ(pacer.sliceMicros(1000000), 0);
}

TEST(FramePacing, ZeroOrNegativeDelayIsNoCapAndABackwardClockIsDue) {
  FramePacer none(0);
  none.frameStarted(100);
  EXPECT_EQ(none.waitMicros(100), 0);
  FramePacer negative(-5);
  negative.frameStarted(100);
  EXPECT_EQ(negative.waitMicros(100), 0);
  EXPECT_EQ(negative.delayMicros(), 0);

  FramePacer pacer(16000);
  pacer.frameStarted(500000);
  EXPECT_EQ(pacer.waitMicros(400000), 0);
}
