#!/usr/bin/env bash
# Every other way a saver run ends: a renderer that cannot start or ends at
# once, a renderer killed, the session's end by signal or by the loss of the
# display, a second start, and no display at all. Each time the launcher ends with 0, the music stops, the
# pointer comes back, and no started program is left a zombie.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/saverhost_lib.sh"

start_xvfb 640x480
start_pointer_watch || fail "the pointer watch starts"
WAV=$(tone_file "loop.wav" 523 0.3)
MP3=$(tone_file "tune.mp3" 440 0.4)
STARTED="$WORK/stand-in-started"

# --- The renderer gone between the launcher's check and the start ---------------
# ends_at_first_tick NAME: the run ends by itself right after the start.
ends_at_first_tick() {
  local name=$1
  launch /s
  check "$name: the launcher ends at once with 0" ends_with_zero "$LPID" 1
  check "$name: no renderer window came up" test -z "$(find_window KelvaraVC)"
  check "$name: the pointer was shown again by the launcher" pointer_restored_by_request
  check "$name: no hidden host is left" test -z "$(find_window Kelvara_Main)"
}
write_settings 2 0 "$WAV"
use_real_renderer
chmod -x "$APP/Miravel.dll"
ends_at_first_tick "renderer not executable"
use_stand_in "touch '$STARTED'; exit 0"
ends_at_first_tick "renderer that ends at once"
check "renderer that ends at once: it was started" test -e "$STARTED"
use_stand_in 'rm -f "$0"'
ends_at_first_tick "renderer that deletes itself"
check "renderer that deletes itself: it ran" test ! -e "$APP/Miravel.dll"

# --- The renderer killed ------------------------------------------------------------
use_real_renderer
write_settings 2 0 "$MP3"
launch /s
if renderer_up; then
  sleep 1.5
  kill -KILL "$RPID"
  check "renderer killed: the launcher ends within a second with 0" ends_with_zero "$LPID" 1
  check "renderer killed: the music has stopped" stops_growing "$AUDIO"
  check "renderer killed: the MP3 had been playing" test -n "$(heard "$AUDIO" 440)"
  check "renderer killed: the pointer was shown again" pointer_restored_by_request
else
  fail "renderer killed: the renderer comes up"
fi

# --- The session ends: a signal to the launcher --------------------------------------
# The launcher stops the music, shows the pointer and ends; the renderer is
# not told and goes on until the user ends it.
write_settings 2 0 "$WAV"
for signal in TERM HUP INT; do
  launch /s
  if ! renderer_up; then
    fail "SIG$signal: the renderer comes up"
    continue
  fi
  sleep 1.5
  kill -"$signal" "$LPID"
  check "SIG$signal: the launcher ends within a second with 0" ends_with_zero "$LPID" 1
  check "SIG$signal: the music has stopped" stops_growing "$AUDIO"
  check "SIG$signal: the WAV had been playing" test -n "$(heard "$AUDIO" 523)"
  check "SIG$signal: the pointer was shown again by the launcher" pointer_restored_by_request
  check "SIG$signal: the hidden host is gone" wait_no_window Kelvara_Main 2
  check "SIG$signal: the renderer is left running" running "$RPID"
  end_renderer_if_running
done

# --- A second start during a run ends at once ---------------------------------------
use_real_renderer
write_settings 0 0 ""
launch /s
if renderer_up; then
  FIRST=$LPID
  FIRST_RENDERER=$RPID
  for args in "/s" ""; do
    launch $args
    check "second start '$args' during a run: ends at once with 0" ends_with_zero "$LPID" 1
  done
  check "second starts: no second renderer" test "$(pgrep -c -f "^$APP/Miravel.dll")" = 1
  check "second starts: the first run goes on" running "$FIRST"
  RPID=$FIRST_RENDERER
  xdotool key x
  check "second starts: the first run ends with its renderer" ends_with_zero "$FIRST" 1
else
  fail "second start: the first run comes up"
fi

# --- No display at all ---------------------------------------------------------------
use_stand_in "touch '$STARTED.nodisplay'"
write_settings 2 0 "$WAV"
SAVED_DISPLAY=$DISPLAY
unset DISPLAY WAYLAND_DISPLAY
launch /s
check "no display: ends with 1 within 2 s" eval 'wait_exit "$LPID" 2 && test "$EXIT_CODE" = 1'
check "no display: the renderer was not started" test ! -e "$STARTED.nodisplay"
check "no display: no music was played" test ! -e "$AUDIO"
export DISPLAY=$SAVED_DISPLAY

# --- The display goes away during a run (last: it ends the Xvfb) ----------------------
use_real_renderer
write_settings 2 0 "$WAV"
launch /s
if renderer_up; then
  sleep 1.5
  kill -TERM "$_XVFB_PID"
  wait "$_XVFB_PID" 2>/dev/null
  _XVFB_PID=""
  check "display lost: the launcher ends within 2 s with 0" ends_with_zero "$LPID" 2
  check "display lost: the music has stopped" stops_growing "$AUDIO"
  check "display lost: the WAV had been playing" test -n "$(heard "$AUDIO" 523)"
else
  fail "display lost: the renderer comes up"
fi
finish
