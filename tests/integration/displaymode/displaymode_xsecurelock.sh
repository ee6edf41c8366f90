#!/usr/bin/env bash
# Miravel as xsecurelock's saver, locked and unlocked by an unprivileged user
# the test makes and removes: curtains under the password prompt, nothing
# left after the unlock.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/displaymode_lib.sh"
trap 'remove_test_user; cleanup' EXIT
need_root

start_xvfb 1280x720
make_test_user || { fail "the test user is made"; finish; }

as_user env XSECURELOCK_SAVER="$APP/miravel-mode" XSECURELOCK_AUTH_TIMEOUT=60 \
  xsecurelock >"$WORK/xsecurelock.log" 2>&1 &
LOCK_PID=$!
track "$LOCK_PID"
sleep 5
check "locked: one renderer runs, as the test user" \
  test "$(count_of "$APP/Miravel.dll" "$TEST_USER")" = 1
check "locked: curtains on the screen" bright_within 10 "$WORK/locked.png" 1280x720+0+0
check "locked: the music plays" test "$(audio_files | wc -l)" = 1
AUDIO=$(audio_files | head -n1)
# xsecurelock hands the saver a child it made before the exec (a process
# group placeholder); when it ends, the launcher reaps it like its own.
LPID=$(pgrep -u "$TEST_USER" -f "$APP/Miravel.scr" | head -n1)
STRANGER=$(ps -o pid=,args= --ppid "${LPID:-0}" | grep -v Miravel.dll | awk '{ print $1 }' | head -n1)
check "locked: the launcher has a child that is not its renderer" test -n "$STRANGER"
if [ -n "$STRANGER" ]; then
  kill -TERM "$STRANGER"
  sleep 1
  check "locked: that child, ended, is reaped (no zombie left)" \
    eval '! ps -o stat= --ppid "$LPID" | grep -q Z && ! ps -p "$STRANGER" >/dev/null'
  check "locked: launcher and renderer go on" \
    eval 'running "$LPID" && test "$(count_of "$APP/Miravel.dll" "$TEST_USER")" = 1'
fi

xdotool key space
sleep 2
# The prompt sits in the middle; the curtains go on around it, on one side
# or the other (one side may stay dim for a while as they move).
check "prompt: curtains still drawn beside it" \
  bright_within 5 "$WORK/prompt.png" 300x720+0+0 300x720+980+0
sleep 1
screenshot "$WORK/prompt2.png"
check "prompt: the curtains keep moving under it" changed "$WORK/prompt.png" "$WORK/prompt2.png" 300x720+0+0
check "prompt: the saver still runs" test "$(count_of "$APP/Miravel.dll" "$TEST_USER")" = 1

xdotool type --delay 50 "$TEST_PASSWORD"
xdotool key Return
check "unlock: xsecurelock ends, unlocked (exit code 0)" ends_with_zero "$LOCK_PID" 15
check "unlock: no Miravel process is left within 2 s" gone_within 2 "$APP/Miravel" "$TEST_USER"
[ -n "$AUDIO" ] && check "unlock: the music has stopped" stops_growing "$AUDIO"

# --- xsecurelock killed during a run: Miravel goes with it ---
rm -f "$OUT"/audio-*.raw
as_user env XSECURELOCK_SAVER="$APP/miravel-mode" XSECURELOCK_AUTH_TIMEOUT=60 \
  xsecurelock >"$WORK/xsecurelock2.log" 2>&1 &
track $!
sleep 5
AUDIO=$(audio_files | head -n1)
check "locked again: one renderer runs" test "$(count_of "$APP/Miravel.dll" "$TEST_USER")" = 1
check "locked again: the music plays" test -n "$AUDIO"
LOCKER=$(pgrep -u "$TEST_USER" -x xsecurelock)
check "locked again: the locker runs" test -n "$LOCKER"
kill -KILL $LOCKER
check "locker killed: no Miravel process is left within 3 s" gone_within 3 "$APP/Miravel" "$TEST_USER"
[ -n "$AUDIO" ] && check "locker killed: the music has stopped" stops_growing "$AUDIO"

finish
