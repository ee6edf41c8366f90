#include <gtest/gtest.h>

#include <vector>

#include "renderer/shell/saver_input.h"

namespace {

using K = SaverEventKind;

SaverEvent ev(K kind) { return SaverEvent{kind, {}}; }
SaverEvent move(int x, int y) { return SaverEvent{K::MouseMove, {x, y}}; }

// One input event and what must come of it.
struct Step {
  SaverEvent event;
  bool postClose;
  bool destroy;
  bool hide = false;
};

struct Case {
  const char* name;
  std::vector<Step> steps;
  int armed;      // closeArmed afterwards
  int firstMove;  // firstMoveSeen afterwards
  CursorPoint last;
  int dialogResult = 1;  // what the password dialog answers; -1: no dialog
  int dialogUp = 0;      // passwordDialogUp during the whole case
};

const CursorPoint kStart{100, 100};
const CursorPoint kAfterDialog{640, 360};

TEST(SaverInput, Rules) {
  const Case cases[] = {
      {"first move records the position and does not arm",
       {{move(102, 101), false, false}}, 0, 1, {102, 101}},
      {"first move of 10 posts a close that is dropped",
       {{move(110, 100), true, false}, {ev(K::CloseRequest), false, false}}, 0, 1, kStart},
      {"a second move of 10 ends the saver",
       {{move(110, 100), true, false},
        {ev(K::CloseRequest), false, false},
        {move(120, 100), true, false},
        {ev(K::CloseRequest), false, true}},
       1, 1, kStart},
      {"second move at the same place arms without a close",
       {{move(100, 100), false, false}, {move(100, 100), false, false}}, 1, 1, kStart},
      {"3+1 pixels keep running",
       {{move(100, 100), false, false}, {move(103, 101), false, false}}, 1, 1, {103, 101}},
      {"3+2 pixels post a close",
       {{move(100, 100), false, false}, {move(103, 98), true, false}}, 1, 1, kStart},
      {"a creeping pointer never ends the saver",
       {{move(102, 102), false, false},
        {move(104, 104), false, false},
        {move(106, 106), false, false},
        {move(108, 108), false, false},
        {move(104, 108), false, false}},
       1, 1, {104, 108}},
      {"key arms and posts, the close ends it",
       {{ev(K::KeyDown), true, false}, {ev(K::CloseRequest), false, true}}, 1, 0, kStart},
      {"button arms and posts", {{ev(K::ButtonDown), true, false}}, 1, 0, kStart},
      {"switching away arms and posts", {{ev(K::AppSwitchAway), true, false}}, 1, 0, kStart},
      {"releases, double clicks and the wheel do nothing",
       {{ev(K::Other), false, false}, {ev(K::Other), false, false}}, 0, 0, kStart},
      {"outside close before arming is dropped",
       {{ev(K::CloseRequest), false, false}, {ev(K::CloseRequest), false, false}}, 0, 0, kStart},
      {"outside close after arming is honoured",
       {{move(100, 100), false, false},
        {move(101, 100), false, false},
        {ev(K::CloseRequest), false, true}},
       1, 1, {101, 100}},
      {"show hides the pointer", {{ev(K::Show), false, false, true}}, 0, 0, kStart},
      {"a cursor query hides the pointer, and arms nothing",
       {{ev(K::CursorQuery), false, false, true}}, 0, 0, kStart},
      {"refused password keeps the window, stays armed, takes the pointer",
       {{ev(K::KeyDown), true, false}, {ev(K::CloseRequest), false, false}},
       1, 0, kAfterDialog, 0},
      {"without a dialog the close is allowed",
       {{ev(K::KeyDown), true, false}, {ev(K::CloseRequest), false, true}}, 1, 0, kStart, -1},
      {"while the dialog is up input does nothing",
       {{ev(K::KeyDown), false, false},
        {ev(K::ButtonDown), false, false},
        {move(300, 300), false, false},
        {move(400, 300), false, false},
        {ev(K::AppSwitchAway), false, false},
        {ev(K::Show), false, false},
        {ev(K::CursorQuery), false, false}},
       0, 0, kStart, 1, 1},
  };

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SaverShellState state;
    state.lastCursor = kStart;
    state.passwordDialogUp = c.dialogUp;
    int dialogCalls = 0;
    int upDuringDialog = -1;
    if (c.dialogResult < 0) {
      setPasswordDialog(nullptr);
    } else {
      setPasswordDialog([&](std::uintptr_t) {
        ++dialogCalls;
        upDuringDialog = state.passwordDialogUp;
        return c.dialogResult;
      });
    }
    int cursorReads = 0;
    CursorReader reader = [&] {
      ++cursorReads;
      return kAfterDialog;
    };
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      SaverActions a = handleSaverInput(state, step.event, reader);
      EXPECT_EQ(a.postClose, step.postClose) << "step " << i;
      EXPECT_EQ(a.destroyWindow, step.destroy) << "step " << i;
      EXPECT_EQ(a.hideCursor, step.hide) << "step " << i;
    }
    EXPECT_EQ(state.closeArmed, c.armed);
    EXPECT_EQ(state.firstMoveSeen, c.firstMove);
    EXPECT_EQ(state.lastCursor.x, c.last.x);
    EXPECT_EQ(state.lastCursor.y, c.last.y);
    EXPECT_EQ(state.passwordDialogUp, c.dialogUp);
    if (dialogCalls > 0) {
      EXPECT_EQ(upDuringDialog, 1);
    }
    // The pointer is read again only after a refused password.
    EXPECT_EQ(cursorReads, c.dialogResult == 0 ? 1 : 0);
  }
  setPasswordDialog(nullptr);
}

TEST(SaverInput, CloseRequestIsActedOnWhileTheDialogIsUp) {
  SaverShellState state;
  state.closeArmed = 1;
  state.passwordDialogUp = 1;
  setPasswordDialog(nullptr);
  EXPECT_TRUE(handleSaverInput(state, ev(K::CloseRequest), nullptr).destroyWindow);
}

TEST(SaverInput, InputDuringTheDialogGoesNowhere) {
  // The dialog runs its own loop; what reaches the saver meanwhile is ignored.
  SaverShellState state;
  state.lastCursor = kStart;
  state.firstMoveSeen = 1;
  state.closeArmed = 1;
  std::vector<SaverActions> nested;
  setPasswordDialog([&](std::uintptr_t) {
    nested.push_back(handleSaverInput(state, ev(K::KeyDown), nullptr));
    nested.push_back(handleSaverInput(state, move(900, 900), nullptr));
    return 0;
  });
  SaverActions a = handleSaverInput(state, ev(K::CloseRequest), [] { return CursorPoint{5, 6}; });
  setPasswordDialog(nullptr);
  EXPECT_FALSE(a.destroyWindow);
  ASSERT_EQ(nested.size(), 2u);
  for (const auto& n : nested) EXPECT_FALSE(n.postClose || n.destroyWindow || n.hideCursor);
  EXPECT_EQ(state.passwordDialogUp, 0);
  EXPECT_EQ(state.closeArmed, 1);
  EXPECT_EQ(state.lastCursor.x, 5);
  EXPECT_EQ(state.lastCursor.y, 6);
}

TEST(SaverInput, VerifyPasswordWithoutDialogSaysMayClose) {
  setPasswordDialog(nullptr);
  SaverShellState state;
  EXPECT_NE(verifyPassword(state), 0);
  EXPECT_EQ(state.passwordDialogUp, 0);
}

}  // namespace
