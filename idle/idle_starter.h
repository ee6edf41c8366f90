// When a saver starts and when the watch for the next idle period begins:
// facts in (the user went idle, came back, the saver ended, an inhibit came
// or went), the one step to take out. No clock, bus or display in here.
//
// The rule as a user sees it:
// - After DELAY without input a saver starts, unless something inhibits idle
//   (a film, a call); an inhibit taken while the saver runs leaves it running.
// - One saver at a time: while it runs, idle reports are ignored.
// - When it ends, the next start needs DELAY of idle again after the user's
//   return. Its end by a key or a move is that return; a saver that ended
//   with no input at all (it failed to start) waits for the user's next input,
//   so a broken saver is not started over and over on an idle screen.
// - While an inhibit is held nothing starts. When the last one goes, a full
//   DELAY of idle is counted from that moment, not from the last input: the
//   desktops' own screen blanking does the same (GNOME's idle watches fire
//   DELAY after an inhibit ends, as do the Wayland compositors' after an idle
//   inhibitor goes), and a user who has just watched a film to its end gets
//   the time to reach for the mouse before the curtains come.
// - A desktop that keeps the inhibits itself (KDE) is asked at the moment of
//   the start; when it says inhibited, the watch begins again, so the
//   question comes once more after another DELAY.
#pragma once

namespace idle {

enum class Step {
  Nothing,
  // Start watching for DELAY of idle, counted from the later of the last
  // input and now.
  Arm,
  // Start the saver; the idle source keeps watching for the user's return.
  StartSaver,
};

class IdleStarter {
 public:
  enum class State {
    Watching,        // waiting for DELAY of idle
    HeldOff,         // idle reached while inhibited: waiting for the release
    SaverRunning,
    WaitingForUser,  // the saver ended with no input: waiting for the user
  };

  // The first step at start: Arm.
  Step begin();

  // The idle source says DELAY of idle was reached. `desktopInhibits`: the
  // desktop's own inhibit list, asked just now (false where we keep it).
  Step idleReached(bool desktopInhibits = false);
  // The idle source saw input after an idle report.
  Step userActive();
  // Our own inhibits: whether any is held now.
  Step inhibitsChanged(bool held);
  // The saver that StartSaver started has ended (or could not be started).
  Step saverEnded();

  State state() const { return state_; }
  bool inhibited() const { return inhibited_; }

 private:
  State state_ = State::Watching;
  bool inhibited_ = false;
  bool activeDuringSaver_ = false;
};

}  // namespace idle
