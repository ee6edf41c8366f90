# Helpers of the package tests, sourced after $MIRAVEL_TEST_LIB.

SKIP=77   # ctest reports this exit code as "skipped"

# The package the build made (the package_build test makes it first).
DEB=$(ls -t "$MIRAVEL_BUILD"/miravel_*_*.deb 2>/dev/null | head -n1)
need_deb() {
  [ -n "$DEB" ] && [ "$DEB" -nt "$MIRAVEL_BUILD/Miravel.scr" ] && return 0
  echo "no package newer than the build in $MIRAVEL_BUILD: run 'cpack -G DEB' there (ctest's package_build does)"
  exit 1
}

need_root() {
  [ "$(id -u)" = 0 ] && return 0
  echo "needs root (a test user is made and removed): skipped"
  exit $SKIP
}

# make_user: creates an unprivileged user with a name of its own for this run
# (TEST_USER, TEST_HOME, TEST_UID) and removes it, with its home and
# processes, when the script ends.
TEST_USER=""
make_user() {
  TEST_USER="mrvt$$$(printf '%04d' $((RANDOM % 10000)))"
  useradd --create-home --shell /bin/sh "$TEST_USER" || { echo "useradd failed"; exit 1; }
  trap 'remove_user; cleanup' EXIT
  TEST_HOME=$(getent passwd "$TEST_USER" | cut -d: -f6)
  TEST_UID=$(id -u "$TEST_USER")
  # The work folder is root's; the user needs to reach the files in it.
  chmod 755 "$WORK"
}
remove_user() {
  [ -n "$TEST_USER" ] || return 0
  local pids
  pids=$(ps -o pid= -u "$TEST_USER" 2>/dev/null)
  [ -n "$pids" ] && kill -TERM $pids 2>/dev/null && sleep 0.5
  pids=$(ps -o pid= -u "$TEST_USER" 2>/dev/null)
  [ -n "$pids" ] && kill -KILL $pids 2>/dev/null && sleep 0.2
  userdel --remove "$TEST_USER" 2>/dev/null
  TEST_USER=""
}

# as_user CMD...: runs CMD as the test user, in its home, with a clean
# environment holding the display and whatever AS_USER_ENV adds.
as_user() {
  runuser -u "$TEST_USER" -- env -i HOME="$TEST_HOME" USER="$TEST_USER" LOGNAME="$TEST_USER" \
    SHELL=/bin/sh PATH=/usr/local/bin:/usr/bin:/bin DISPLAY="${DISPLAY:-}" \
    XDG_RUNTIME_DIR="$TEST_RUNTIME" LANG=C.UTF-8 ${AS_USER_ENV:-} "$@"
}
TEST_RUNTIME=""
# user_runtime_dir: a private runtime folder for the user, as a login makes.
user_runtime_dir() {
  TEST_RUNTIME="$WORK/runtime"
  mkdir -p "$TEST_RUNTIME"
  chown "$TEST_USER" "$TEST_RUNTIME"
  chmod 700 "$TEST_RUNTIME"
}

# Places in the settings dialog's client area.
DIALOG_NONE_LABEL="60 100"   # "無し"
DIALOG_FILE_LABEL="60 120"   # "MP3、WAV"
DIALOG_SAVE_BUTTON="356 212" # "設定"

# open_dialog_as_user LAUNCHER: starts LAUNCHER /c as the test user; sets
# DIALOG_PID, and X, Y of the client area. False when no dialog came up.
open_dialog_as_user() {
  as_user "$1" /c &
  DIALOG_PID=$!
  track $DIALOG_PID
  xdotool mousemove --sync 5 5
  local win WIDTH HEIGHT SCREEN WINDOW
  win=$(wait_window "<Miravel>" 15) || return 1
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool windowfocus --sync "$win" 2>/dev/null
  sleep 0.3
}
# dialog_press DX DY: a click in the dialog, coming in as a hand does.
dialog_press() {
  xdotool mousemove --sync $((X + $1 - 3)) $((Y + $2 - 2))
  sleep 0.15
  xdotool mousemove --sync $((X + $1)) $((Y + $2))
  sleep 0.15
  xdotool click 1
  sleep 0.25
}
# dialog_save: presses "設定" and waits for the launcher to end.
dialog_save() {
  dialog_press $DIALOG_SAVE_BUTTON
  wait_exit "$DIALOG_PID" 10 && wait_no_window "<Miravel>" 3
}
