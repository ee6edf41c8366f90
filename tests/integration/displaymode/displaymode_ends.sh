#!/usr/bin/env bash
# How display mode ends, without a daemon: the launcher follows its window
# when the window's owner dies, its renderer never outlives it, and a window
# id that is no number is refused by both programs.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/displaymode_lib.sh"

start_xvfb 1280x720
export XDG_RUNTIME_DIR="$WORK/run"
mkdir -p "$XDG_RUNTIME_DIR"

# start_launcher: the launcher (through the wrapper, so it writes its sound)
# drawing into $HOST; its pid in LPID, its renderer's in RPID, its sound file
# in AUDIO.
start_launcher() {
  launch "$HOST"
  sleep 3
  RPID=$(pgrep -P "$LPID" | head -n1)
  [ -n "$RPID" ] && track "$RPID"
  AUDIO="$OUT/audio-$LPID.raw"
}

# --- The host window's owner is killed: the launcher follows at once ---
host 640 360 || fail "the host window comes up"
start_launcher
check "owner killed: the renderer runs first" test -n "$RPID"
check "owner killed: the music plays first" grows "$AUDIO"
kill -KILL "$HOST_PID"
check "owner killed: the launcher ends within 2 s with 0" ends_with_zero "$LPID" 2
check "owner killed: no renderer is left within 3 s" gone_within 3 "$APP/Miravel.dll"
check "owner killed: the music has stopped" stops_growing "$AUDIO"
check "owner killed: no renderer was started into the dead window" \
  eval '! grep -q "no window" "$WORK/launcher.log"'
check "owner killed: one line on stderr says why" \
  test "$(grep -c 'is gone' "$WORK/launcher.log")" = 1

# --- A window that is not there at the start: ends at once, silent ---
rm -f "$OUT"/audio-*.raw
: > "$WORK/nowindow.log"
XSCREENSAVER_WINDOW=0x7fffff0 "$APP/miravel-mode" --root >>"$WORK/nowindow.log" 2>&1 &
LPID=$!; track "$LPID"
check "no such window (environment): the launcher ends within a second with 0" \
  ends_with_zero "$LPID" 1
"$APP/miravel-mode" --root --window-id 0x7fffff0 >>"$WORK/nowindow.log" 2>&1 &
LPID=$!; track "$LPID"
check "no such window (--window-id): the launcher ends within a second with 0" \
  ends_with_zero "$LPID" 1
check "no such window: one line on stderr each" test "$(wc -l < "$WORK/nowindow.log")" = 2
check "no such window: no music" test -z "$(audio_files)"
check "no such window: no renderer was started (it would have said so)" \
  eval '! grep -q "Miravel.dll" "$WORK/nowindow.log"'
check "no such window: no renderer is running" gone_within 1 "$APP/Miravel.dll"

# --- A window id that is no number: both programs refuse with 2 ---
host 320 200
for program in Miravel.scr Miravel.dll; do
  for value in nonsense ""; do
    rm -f "$OUT"/audio-*.raw
    args=(--root --window-id)
    [ -n "$value" ] && args+=("$value")
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$OUT/audio-refused.raw" XSCREENSAVER_WINDOW=$HOST \
      "$APP/$program" "${args[@]}" >"$WORK/refused.out" 2>"$WORK/refused.err" &
    PID=$!; track "$PID"
    what="$program ${args[*]}"
    wait_exit "$PID" 3
    check "$what: exit code 2 (got ${EXIT_CODE:-none})" test "${EXIT_CODE:-}" = 2
    check "$what: one line on stderr" test "$(wc -l < "$WORK/refused.err")" = 1
    check "$what: nothing on stdout" test ! -s "$WORK/refused.out"
    check "$what: no window beside the host" test "$("$HOST_TOOL" toplevels | wc -l)" = 1
    check "$what: no sound" test ! -e "$OUT/audio-refused.raw"
    check "$what: no renderer left" gone_within 1 "$APP/Miravel.dll"
  done
done
kill -TERM "$HOST_PID"; wait "$HOST_PID" 2>/dev/null

# --- The launcher killed while its renderer draws: the renderer follows ---
host 640 360
start_launcher
check "launcher killed: its renderer ran" test -n "$RPID"
kill -KILL "$LPID"
check "launcher killed: its renderer is gone within 3 s" gone_within 3 "$APP/Miravel.dll"
check "launcher killed: the music has stopped" stops_growing "$AUDIO"
kill -TERM "$HOST_PID"; wait "$HOST_PID" 2>/dev/null

# --- ... and while its renderer is stopped (as under an unlock dialog) ---
host 640 360
start_launcher
kill -STOP "$RPID"
sleep 0.3
check "launcher killed, renderer stopped: it was stopped" test "$(process_state "$RPID")" = T
kill -KILL "$LPID"
check "launcher killed, renderer stopped: the renderer is gone within 3 s" \
  gone_within 3 "$APP/Miravel.dll"
kill -TERM "$HOST_PID"; wait "$HOST_PID" 2>/dev/null

finish
