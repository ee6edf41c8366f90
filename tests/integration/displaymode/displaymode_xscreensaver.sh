#!/usr/bin/env bash
# Miravel under the real XScreenSaver daemon on one monitor, run by an
# unprivileged user the test makes and removes: blanking, unblanking, and a
# locked screen with its unlock dialog.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/displaymode_lib.sh"
trap 'remove_test_user; cleanup' EXIT
need_root

start_xvfb 1280x720
make_test_user || { fail "the test user is made"; finish; }
start_xscreensaver || { fail "the daemon starts"; finish; }

xss -select 1
sleep 4
check "-select: one renderer runs, as the test user" test "$(count_of "$APP/Miravel.dll" "$TEST_USER")" = 1
check "-select: curtains on the screen" bright_within 10 "$WORK/blanked.png" 1280x720+0+0
check "-select: the music is heard once (one sound file)" test "$(audio_files | wc -l)" = 1
check "-select: it holds the tune" heard_tone "$(audio_files | head -n1)"
check "-select: the daemon started the mode once (no restarts)" \
  test "$(grep -c 'forked ".*miravel-mode' "$WORK/home/xscreensaver.log")" = 1
AUDIO=$(audio_files | head -n1)

xss -deactivate
check "-deactivate: no Miravel process is left within 2 s" gone_within 2 "$APP/Miravel" "$TEST_USER"
check "-deactivate: the music has stopped" stops_growing "$AUDIO"

stop_xscreensaver

# --- The daemon and its helper killed during a run: Miravel goes with them ---
rm -f "$OUT"/audio-*.raw
start_xscreensaver || { fail "the daemon starts again"; finish; }
xss -select 1
sleep 4
AUDIO=$(audio_files | head -n1)
check "before the kill: one renderer runs" test "$(count_of "$APP/Miravel.dll" "$TEST_USER")" = 1
check "before the kill: the music plays" test -n "$AUDIO"
DAEMONS=$(pgrep -u "$TEST_USER" -f 'xscreensaver( |$)|xscreensaver-gfx' | tr '\n' ' ')
check "before the kill: the daemon and its helper run ($DAEMONS)" test "$(echo $DAEMONS | wc -w)" -ge 2
kill -KILL $DAEMONS
check "daemon killed: no Miravel process is left within 3 s" gone_within 3 "$APP/Miravel" "$TEST_USER"
[ -n "$AUDIO" ] && check "daemon killed: the music has stopped" stops_growing "$AUDIO"
wait "$XSS_PID" 2>/dev/null

# --- Locked: the mode and its music pause under the unlock dialog ---
rm -f "$OUT"/audio-*.raw
start_xscreensaver lock || { fail "the locking daemon starts"; finish; }
xss -lock
sleep 4
RPID=$(pgrep -u "$TEST_USER" -f "$APP/Miravel.dll" | head -n1)
AUDIO=$(audio_files | head -n1)
check "locked: the renderer runs" test -n "$RPID"
check "locked: the music plays (over 2 s in one piece)" heard_for "$AUDIO" 2.0
# A move, not a key: a key would be typed into the password field.
xdotool mousemove_relative 20 20
sleep 1.5
check "unlock dialog: the renderer is stopped" test "$(process_state "$RPID")" = T
[ -n "$AUDIO" ] && check "unlock dialog: the music has stopped" quiet_at_end "$AUDIO" 1.0
# Left alone, the dialog goes away after its 5 s and the mode goes on.
sleep 6.5
check "dialog timed out: the renderer runs again" test "$(process_state "$RPID")" != T
check "dialog timed out: the same renderer, not a new one" running "$RPID"
sleep 1.5
[ -n "$AUDIO" ] && check "dialog timed out: the music plays again" eval '! quiet_at_end "$AUDIO" 0.3 >/dev/null'

xdotool mousemove_relative -- -20 -20
sleep 1.5
check "unlock dialog again: the renderer is stopped" test "$(process_state "$RPID")" = T
# The launcher killed now: its stopped renderer must not stay behind.
LPID=$(ps -o ppid= -p "$RPID" | tr -d ' ')
check "unlock dialog: the renderer's parent is the launcher" \
  eval 'ps -o args= -p "$LPID" | grep -q Miravel.scr'
kill -KILL "$LPID"
check "launcher killed under the dialog: its stopped renderer is gone within 3 s" \
  pid_gone_within 3 "$RPID"
xdotool type --delay 60 "$TEST_PASSWORD"
xdotool key Return
check "unlocked: no Miravel process is left within 3 s" gone_within 3 "$APP/Miravel" "$TEST_USER"
stop_xscreensaver

# --- The daemon killed while its unlock dialog is up: the vanished dialog
# wakes nothing; Miravel ends, silent ---
rm -f "$OUT"/audio-*.raw
start_xscreensaver lock || { fail "the locking daemon starts again"; finish; }
xss -lock
sleep 4
RPID=$(pgrep -u "$TEST_USER" -f "$APP/Miravel.dll" | head -n1)
AUDIO=$(audio_files | head -n1)
xdotool mousemove_relative 20 20
sleep 1.5
check "dialog up, before the kill: the renderer is stopped" test "$(process_state "$RPID")" = T
kill -KILL $(pgrep -u "$TEST_USER" -f 'xscreensaver( |$)|xscreensaver-gfx')
check "daemon killed under the dialog: no Miravel process is left within 3 s" \
  gone_within 3 "$APP/Miravel" "$TEST_USER"
[ -n "$AUDIO" ] && check "daemon killed under the dialog: the music did not start again" \
  quiet_at_end "$AUDIO" 1.0
wait "$XSS_PID" 2>/dev/null

finish
