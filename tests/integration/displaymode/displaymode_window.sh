#!/usr/bin/env bash
# Display mode without a daemon: the test makes the host window, as a daemon
# would, and starts the programs the way a daemon does.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/displaymode_lib.sh"

start_xvfb 1280x720
export XDG_RUNTIME_DIR="$WORK/run"
mkdir -p "$XDG_RUNTIME_DIR"

# --- The launcher with XSCREENSAVER_WINDOW: curtains in the host, music, nothing else ---
host 640 360 || fail "the host window comes up"
launch "$HOST"
sleep 3
RPID=$(pgrep -P "$LPID" | head -n1)
[ -n "$RPID" ] && track "$RPID"
check "launcher: the renderer runs as its child" test -n "$RPID"
screenshot "$WORK/launcher.png"
check "launcher: curtains inside the host" bright "$(region_brightness "$WORK/launcher.png" 640x360+0+0)"
check "launcher: nothing drawn outside the host" dark "$(region_brightness "$WORK/launcher.png" 640x360+640+360)"
check "launcher: the host is the only window on the screen" \
  test "$("$HOST_TOOL" toplevels | wc -l)" = 1
check "launcher: one sound file" test "$(audio_files | wc -l)" = 1
check "launcher: it holds the tune" heard_tone "$(audio_files | head -n1)"

# Input belongs to the daemon: keys, clicks and moves end nothing.
xdotool mousemove 300 200 key x key Escape click 1 mousemove_relative 40 40 2>/dev/null
sleep 1
check "launcher: keys, clicks and moves end neither program" eval 'running $LPID && running $RPID'
screenshot "$WORK/after-input.png"
check "launcher: still drawing after the input" \
  bright "$(region_brightness "$WORK/after-input.png" 640x360+0+0)"

# A renderer that dies is reported and started again; the launcher stays.
kill -KILL "$RPID"
sleep 6.5
NEW_RPID=$(pgrep -P "$LPID" | head -n1)
[ -n "$NEW_RPID" ] && track "$NEW_RPID"
check "launcher: still running after its renderer died" running "$LPID"
check "launcher: a new renderer was started" test -n "$NEW_RPID" -a "$NEW_RPID" != "$RPID"
check "launcher: one line on stderr about it" \
  test "$(grep -c 'renderer ended' "$WORK/launcher.log")" = 1

AUDIO=$(audio_files | head -n1)
kill -TERM "$LPID"
check "launcher: SIGTERM ends it within a second with 0" ends_with_zero "$LPID" 1
check "launcher: its renderer has ended too" gone_within 1 "$APP/Miravel.dll"
check "launcher: the music has stopped" stops_growing "$AUDIO"
kill -TERM "$HOST_PID"; wait "$HOST_PID" 2>/dev/null

# --- A preview (--window-id) into a 565x317 pane: drawn inside, plays nothing ---
rm -f "$OUT"/audio-*.raw
host 565 317 || fail "the preview pane comes up"
# As the settings GUI does, XSCREENSAVER_WINDOW is set too (here to the
# root window): the --window-id one wins.
XSCREENSAVER_WINDOW=$(xwininfo -root | awk '/Window id:/ { print $4 }') \
  "$APP/miravel-mode" --root --window-id "$HOST" >>"$WORK/launcher.log" 2>&1 &
LPID=$!
track "$LPID"
sleep 3
screenshot "$WORK/preview.png"
check "preview: curtains inside the pane" bright "$(region_brightness "$WORK/preview.png" 565x317+0+0)"
check "preview: nothing drawn beside it" dark "$(region_brightness "$WORK/preview.png" 600x400+600+320)"
check "preview: no sound file was even opened" test -z "$(ls "$OUT" | grep audio)"
kill -TERM "$LPID"
check "preview: SIGTERM ends it within a second with 0" ends_with_zero "$LPID" 1
check "preview: its renderer has ended too" gone_within 1 "$APP/Miravel.dll"
kill -TERM "$HOST_PID"; wait "$HOST_PID" 2>/dev/null

# --- Two launchers of one display: one music stream ---
rm -f "$OUT"/audio-*.raw
host 640 360
launch "$HOST"; L1=$LPID
launch "$HOST"; L2=$LPID
sleep 3
check "two launchers: both run, each with its renderer" \
  test "$(pgrep -P "$L1" | wc -l)" = 1 -a "$(pgrep -P "$L2" | wc -l)" = 1
check "two launchers: exactly one plays" test "$(audio_files | wc -l)" = 1
kill -TERM "$L1" "$L2"
check "two launchers: both end with 0" eval 'ends_with_zero $L1 1 && ends_with_zero $L2 1'
check "two launchers: no renderer left" gone_within 1 "$APP/Miravel.dll"
kill -TERM "$HOST_PID"; wait "$HOST_PID" 2>/dev/null

# --- No renderer beside the launcher: one line, and it waits ---
mkdir -p "$WORK/bare"
cp "$APP/Miravel.scr" "$APP/Miravel.ini" "$WORK/bare/"
host 320 200
XSCREENSAVER_WINDOW=$HOST "$WORK/bare/Miravel.scr" --root >"$WORK/bare.log" 2>&1 &
LPID=$!; track "$LPID"
sleep 6.5  # past one restart gap
check "no renderer: the launcher still waits" running "$LPID"
check "no renderer: one line on stderr, shown once" test "$(grep -c 'cannot start' "$WORK/bare.log")" = 1
check "no renderer: no message box or other window" test "$("$HOST_TOOL" toplevels | wc -l)" = 1
kill -TERM "$LPID"
check "no renderer: SIGTERM ends it within a second with 0" ends_with_zero "$LPID" 1
kill -TERM "$HOST_PID"; wait "$HOST_PID" 2>/dev/null

# --- A renderer that ignores SIGTERM does not outlive its launcher ---
mkdir -p "$WORK/stubborn"
cp "$APP/Miravel.scr" "$APP/Miravel.ini" "$WORK/stubborn/"
printf '#!/bin/sh\ntrap "" TERM\nwhile :; do sleep 0.1; done\n' > "$WORK/stubborn/Miravel.dll"
chmod +x "$WORK/stubborn/Miravel.dll"
host 320 200
XSCREENSAVER_WINDOW=$HOST "$WORK/stubborn/Miravel.scr" --root >"$WORK/stubborn.log" 2>&1 &
LPID=$!; track "$LPID"
sleep 1.5
RPID=$(pgrep -P "$LPID" | head -n1)
[ -n "$RPID" ] && track "$RPID"
check "stubborn renderer: started" test -n "$RPID"
kill -TERM "$LPID"
check "stubborn renderer: SIGTERM still ends the launcher within a second with 0" ends_with_zero "$LPID" 1
check "stubborn renderer: killed with its launcher" eval '! running $RPID'
kill -TERM "$HOST_PID"; wait "$HOST_PID" 2>/dev/null

# --- The renderer alone: 32-bit visual, resize, and every way it ends ---
host 640 360 32
"$APP/Miravel.dll" --root --window-id "$HOST" >>"$WORK/renderer.log" 2>&1 &
RPID=$!; track "$RPID"
sleep 2.5
check "32-bit visual: curtains in the host" bright_within 10 "$WORK/deep.png" 640x360+0+0
"$HOST_TOOL" resize "$HOST" 1280 720
sleep 2
screenshot "$WORK/resized.png"
check "resized host: its new part is filled" \
  bright "$(region_brightness "$WORK/resized.png" 600x320+660+380)"
kill -TERM "$HOST_PID"; wait "$HOST_PID" 2>/dev/null
check "the host destroyed: the renderer ends within a second with 0" ends_with_zero "$RPID" 1

for signal in HUP INT; do
  host 320 200
  "$APP/Miravel.dll" -root -window-id "$HOST" >>"$WORK/renderer.log" 2>&1 &
  RPID=$!; track "$RPID"
  sleep 2
  check "SIG$signal: still running before it" running "$RPID"
  kill -"$signal" "$RPID"
  check "SIG$signal: ends the renderer within a second with 0" ends_with_zero "$RPID" 1
  kill -TERM "$HOST_PID"; wait "$HOST_PID" 2>/dev/null
done

"$APP/Miravel.dll" --root --window-id 0x7fffff0 >>"$WORK/renderer.log" 2>&1 &
RPID=$!; track "$RPID"
check "a window that does not exist: the renderer ends at once" wait_exit "$RPID" 5
check "  with a line on stderr" grep -q "no window" "$WORK/renderer.log"

# --- --delay: frames are paced by the program itself ---
COUNTER="$MIRAVEL_BUILD/bench/renderer/libmiravel_swap_counter.so"
host 320 200
head -c 8 /dev/zero > "$WORK/swaps"
MIRAVEL_SWAP_COUNT_FILE="$WORK/swaps" LD_PRELOAD="$COUNTER" \
  "$APP/Miravel.dll" --root --window-id "$HOST" --delay 500000 >>"$WORK/renderer.log" 2>&1 &
RPID=$!; track "$RPID"
sleep 3
SWAPS=$(od -An -t u8 "$WORK/swaps" | tr -d ' ')
# Two frames a second: about 6 in 3 s; a load that slows the machine only
# lowers the count, so the upper bound holds however busy it is.
check "--delay 500000: at most 8 frames in 3 s (got $SWAPS)" test "${SWAPS:-0}" -le 8
check "--delay 500000: but it does draw (at least 2)" test "${SWAPS:-0}" -ge 2
kill -TERM "$RPID"
check "--delay 500000: a long wait still ends within a second on SIGTERM" ends_with_zero "$RPID" 1
kill -TERM "$HOST_PID"; wait "$HOST_PID" 2>/dev/null

# --- The display goes away: both programs end with 0 ---
host 640 360
launch "$HOST"
sleep 2.5
RPID=$(pgrep -P "$LPID" | head -n1)
kill -TERM "$_XVFB_PID"; wait "$_XVFB_PID" 2>/dev/null; _XVFB_PID=""
check "display gone: the launcher ends with 0" ends_with_zero "$LPID" 2
check "display gone: its renderer has ended" gone_within 2 "$APP/Miravel.dll"

finish
