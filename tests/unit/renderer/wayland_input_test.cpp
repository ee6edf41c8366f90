// The seat bookkeeping of the Wayland shell, fed through the real input
// rules: what a user does on a desktop with several outputs, event by event
// as the compositor sends them.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "renderer/shell/wayland_input.h"

namespace {

using K = SaverEventKind;

// Two surfaces (two outputs), one keyboard and one pointer, and a surface
// of another client. Addresses are all the bookkeeping needs.
int surfaceA, surfaceB, foreign, keyboard, keyboard2, pointer;

class WaylandInputTest : public ::testing::Test {
 protected:
  WaylandInputTest()
      : input([this](const SaverEvent& event) {
          kinds.push_back(event.kind);
          const SaverActions actions = handleSaverInput(state, event, {});
          if (actions.postClose) posted++;
          if (actions.destroyWindow) destroyed = true;
          if (actions.hideCursor) hidden++;
        }) {
    input.addSurface(&surfaceA);
    input.addSurface(&surfaceB);
  }

  // A posted close comes back after the events already on their way.
  void deliverPostedCloses() {
    input.endOfEvents();
    for (; posted > 0; --posted) handleClose();
  }
  void handleClose() {
    SaverEvent close;
    close.kind = K::CloseRequest;
    if (handleSaverInput(state, close, {}).destroyWindow) destroyed = true;
  }

  SaverShellState state;
  std::vector<K> kinds;
  int posted = 0;
  int hidden = 0;
  bool destroyed = false;
  WaylandInput input;
};

TEST_F(WaylandInputTest, AKeyEndsTheRun) {
  input.keyboardEnter(&keyboard, &surfaceA);
  input.key(&keyboard, true);
  input.endOfEvents();
  deliverPostedCloses();
  EXPECT_TRUE(destroyed);
}

TEST_F(WaylandInputTest, AButtonEndsTheRun) {
  input.pointerEnter(state, &pointer, &surfaceB, 10, 10);
  input.button(&pointer, WaylandInput::kButtonMiddle, true);
  deliverPostedCloses();
  EXPECT_TRUE(destroyed);
}

TEST_F(WaylandInputTest, ReleasesSideButtonsTheWheelAndForeignSurfacesDoNothing) {
  input.keyboardEnter(&keyboard, &surfaceA);
  input.key(&keyboard, false);  // a key held before the saver came, let go
  input.pointerEnter(state, &pointer, &surfaceA, 5, 5);
  input.button(&pointer, WaylandInput::kButtonLeft, false);
  input.button(&pointer, 0x113, true);  // a side button
  input.keyboardEnter(&keyboard2, &foreign);
  input.key(&keyboard2, true);  // typed into another client's window
  input.endOfEvents();
  EXPECT_EQ(posted, 0);
  EXPECT_EQ(state.closeArmed, 0);
}

TEST_F(WaylandInputTest, EnterIsNoMoveAndTheFirstMotionDoesNotArm) {
  input.pointerEnter(state, &pointer, &surfaceA, 300.75, 200.25);
  EXPECT_EQ(state.lastCursor.x, 300);
  EXPECT_EQ(state.lastCursor.y, 200);
  EXPECT_EQ(hidden, 1);  // the pointer is hidden over each surface it enters
  EXPECT_EQ(state.firstMoveSeen, 0);

  input.pointerMotion(&pointer, 310, 200);  // first motion, 10 away
  deliverPostedCloses();
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(state.closeArmed, 0);
  EXPECT_EQ(state.firstMoveSeen, 1);

  input.pointerMotion(&pointer, 311, 200);  // still more than 4 from 300,200
  deliverPostedCloses();
  EXPECT_TRUE(destroyed);
}

TEST_F(WaylandInputTest, SmallMovesArmButDoNotEnd) {
  input.pointerEnter(state, &pointer, &surfaceA, 100, 100);
  input.pointerMotion(&pointer, 102, 101);
  input.pointerMotion(&pointer, 104, 103);  // 4 from the last: accepted
  input.pointerMotion(&pointer, 105, 106);
  deliverPostedCloses();
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(state.closeArmed, 1);
  // Armed: a close from outside (xdg_toplevel.close) is honoured now.
  handleClose();
  EXPECT_TRUE(destroyed);
}

TEST_F(WaylandInputTest, CrossingAnOutputEdgeIsNoMove) {
  input.keyboardEnter(&keyboard, &surfaceA);
  input.pointerEnter(state, &pointer, &surfaceA, 1275, 300);
  input.pointerMotion(&pointer, 1276, 300);  // the first motion
  // Across the edge: leave on A, enter on B at its own coordinates, and the
  // keyboard follows the pointer between our own surfaces.
  input.pointerLeave(&pointer, &surfaceA);
  input.pointerEnter(state, &pointer, &surfaceB, 5, 300);
  input.keyboardLeave(&keyboard, &surfaceA);
  input.keyboardEnter(&keyboard, &surfaceB);
  input.endOfEvents();
  deliverPostedCloses();
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(state.closeArmed, 0);
  // Measured on B from where the pointer entered.
  input.pointerMotion(&pointer, 8, 301);
  deliverPostedCloses();
  EXPECT_FALSE(destroyed);
  input.pointerMotion(&pointer, 20, 301);
  deliverPostedCloses();
  EXPECT_TRUE(destroyed);
}

TEST_F(WaylandInputTest, MotionBeforeACrossingIsMeasuredOnItsOwnSurface) {
  // Events queued together: a motion on A, then the crossing. The motion
  // must be judged against A's reference, not B's entry point.
  input.pointerEnter(state, &pointer, &surfaceA, 100, 100);
  input.pointerMotion(&pointer, 101, 100);
  input.pointerMotion(&pointer, 102, 100);
  input.pointerLeave(&pointer, &surfaceA);
  input.pointerEnter(state, &pointer, &surfaceB, 900, 900);
  input.endOfEvents();
  deliverPostedCloses();
  EXPECT_FALSE(destroyed);
}

TEST_F(WaylandInputTest, KeyboardLeavingAllOurSurfacesIsASwitchAway) {
  input.keyboardEnter(&keyboard, &surfaceA);
  input.endOfEvents();
  input.keyboardLeave(&keyboard, &surfaceA);
  input.keyboardEnter(&keyboard, &foreign);
  input.endOfEvents();
  ASSERT_FALSE(kinds.empty());
  EXPECT_EQ(kinds.back(), K::AppSwitchAway);
  deliverPostedCloses();
  EXPECT_TRUE(destroyed);
}

TEST_F(WaylandInputTest, ANewKeymapReenteringTheSameSurfaceIsNoSwitch) {
  input.keyboardEnter(&keyboard, &surfaceA);
  input.endOfEvents();
  input.keyboardLeave(&keyboard, &surfaceA);
  input.keyboardEnter(&keyboard, &surfaceA);
  input.endOfEvents();
  EXPECT_TRUE(kinds.empty());
  EXPECT_EQ(posted, 0);
}

TEST_F(WaylandInputTest, KeyboardsAndSurfacesThatGoAreNobodyBecomingActive) {
  input.keyboardEnter(&keyboard, &surfaceA);
  input.keyboardGone(&keyboard);  // the seat lost its keyboard
  input.endOfEvents();
  EXPECT_FALSE(input.keyboardOnUs());

  input.keyboardEnter(&keyboard2, &surfaceB);
  input.removeSurface(&surfaceB);  // its output went away
  // The compositor's leave for the destroyed surface arrives without it.
  input.keyboardLeave(&keyboard2, nullptr);
  input.endOfEvents();
  EXPECT_TRUE(kinds.empty());
  EXPECT_EQ(posted, 0);

  // A pointer on the removed surface moves nothing any more.
  input.pointerEnter(state, &pointer, &surfaceB, 1, 1);
  input.pointerMotion(&pointer, 50, 50);
  input.pointerMotion(&pointer, 99, 99);
  EXPECT_TRUE(kinds.empty());
}

TEST_F(WaylandInputTest, AKeyboardLeftThenGoneInOneBatchIsStillASwitch) {
  // Two keyboards on the seat; one leaves for another client while the
  // other is unplugged: none of ours has a keyboard, and one left.
  input.keyboardEnter(&keyboard, &surfaceA);
  input.keyboardEnter(&keyboard2, &surfaceA);
  input.endOfEvents();
  input.keyboardLeave(&keyboard, &surfaceA);
  input.keyboardGone(&keyboard2);
  input.endOfEvents();
  ASSERT_EQ(kinds.size(), 1u);
  EXPECT_EQ(kinds[0], K::AppSwitchAway);
}

TEST_F(WaylandInputTest, PositionsFarOutsideIntRangeAreClamped) {
  input.pointerEnter(state, &pointer, &surfaceA, 1e300, -1e300);
  EXPECT_EQ(state.lastCursor.x, 1000000000);
  EXPECT_EQ(state.lastCursor.y, -1000000000);
  input.pointerMotion(&pointer, std::nan(""), 1);
  EXPECT_EQ(kinds.back(), K::MouseMove);
}

}  // namespace
