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

xdotool key space
sleep 2
# The prompt sits in the middle; the curtains go on around it.
check "prompt: curtains still drawn beside it" bright_within 5 "$WORK/prompt.png" 300x720+0+0
sleep 1
screenshot "$WORK/prompt2.png"
check "prompt: the curtains keep moving under it" changed "$WORK/prompt.png" "$WORK/prompt2.png" 300x720+0+0
check "prompt: the saver still runs" test "$(count_of "$APP/Miravel.dll" "$TEST_USER")" = 1

xdotool type --delay 50 "$TEST_PASSWORD"
xdotool key Return
check "unlock: xsecurelock ends, unlocked (exit code 0)" ends_with_zero "$LOCK_PID" 15
check "unlock: no Miravel process is left within 2 s" gone_within 2 "$APP/Miravel" "$TEST_USER"
[ -n "$AUDIO" ] && check "unlock: the music has stopped" stops_growing "$AUDIO"

finish
