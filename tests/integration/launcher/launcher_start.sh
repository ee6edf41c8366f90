#!/usr/bin/env bash
# Miravel.scr's start-up as a user meets it: the single-instance rule, the
# missing-renderer message, the letters that end silently, and no display.
# The launcher runs from copies in temporary folders: app/ with a stand-in
# Miravel.dll that only notes that it was started, bare/ without one.
source "$MIRAVEL_TEST_LIB"
PROBE="$MIRAVEL_BUILD/tests/integration/launcher/runtime_probe"
MESSAGE="Miravel.dll が Miravel.scr と同じﾌｫﾙﾀﾞに見つかりません！"
STARTED="$WORK/renderer-started"

mkdir -p "$WORK/app" "$WORK/bare"
cp "$MIRAVEL_BUILD/Miravel.scr" "$WORK/app/"
cp "$MIRAVEL_BUILD/Miravel.scr" "$WORK/bare/"
printf '#!/bin/sh\ntouch "%s"\n' "$STARTED" > "$WORK/app/Miravel.dll"
chmod +x "$WORK/app/Miravel.dll"

start_xvfb 1280x800

# launch FOLDER ARGS...: starts that folder's launcher; its pid is in PID.
launch() {
  local folder=$1
  shift
  "$WORK/$folder/Miravel.scr" "$@" &
  PID=$!
  track $PID
}

# ends_quietly WHAT SECONDS FOLDER ARGS...: the launcher ends within SECONDS
# with exit code 0 and never shows a message box.
ends_quietly() {
  local what=$1 limit=$2
  shift 2
  launch "$@"
  if wait_exit $PID "$limit" && [ "$EXIT_CODE" = 0 ]; then
    pass "$what: ends with 0 within ${limit}s"
  else
    fail "$what: did not end with 0 within ${limit}s (exit ${EXIT_CODE:-still running})"
    kill $PID 2>/dev/null
  fi
  check "$what: no message box" test -z "$(find_window Miravel)"
}

# --- A saver or the settings dialog is there: every mode ends at once -------
"$PROBE" hidden Kelvara_Main "$WORK/probe.txt" &
HOLDER=$!
track $HOLDER
check "a hidden window titled Kelvara_Main is up" window_up Kelvara_Main 5
for args in "/s" "/c" "" "/p 1234"; do
  ends_quietly "beside a hidden Kelvara_Main, '$args'" 1 app $args
done
ends_quietly "beside Kelvara_Main, /c without the renderer" 1 bare /c
check "beside Kelvara_Main nothing was started" test ! -e "$STARTED"
kill -TERM $HOLDER
check "the hidden Kelvara_Main is gone" wait_no_window Kelvara_Main 5

xlogo -title "<Miravel>" -geometry 100x100+0+0 &
HOLDER=$!
track $HOLDER
check "a window titled <Miravel> is up" window_up "<Miravel>" 5
ends_quietly "beside <Miravel>, /p 1234" 1 bare /p 1234
ends_quietly "beside <Miravel>, /s without the renderer" 1 bare /s
check "beside <Miravel> nothing was started" test ! -e "$STARTED"
kill -TERM $HOLDER
check "the <Miravel> window is gone" wait_no_window "<Miravel>" 5

# --- Other letters end silently ---------------------------------------------
for args in "/a 1234" "s" "/x" "-q 5"; do
  ends_quietly "'$args'" 1 app $args
done
check "no letter started the renderer" test ! -e "$STARTED"

# --- The renderer missing: the message, until it is closed -------------------
launch bare /c
BOX=$(wait_window Miravel 5)
check "/c without the renderer shows a window titled Miravel" test -n "$BOX"
if [ -n "$BOX" ]; then
  sleep 1
  check "the launcher waits while the message is open" kill -0 $PID
  window_shot "$BOX" "$WORK/launcher-box.png"
  # Click OK, at the middle of the bottom of the box, as a user would.
  eval "$(xdotool getwindowgeometry --shell "$BOX")"
  xdotool mousemove --window "$BOX" $((WIDTH / 2)) $((HEIGHT - 24)) click 1
  if wait_exit $PID 2 && [ "$EXIT_CODE" = 0 ]; then
    pass "clicking OK ends the launcher with 0"
  else
    fail "clicking OK did not end the launcher with 0 (exit ${EXIT_CODE:-still running})"
  fi
  check "no dialog was opened" test -z "$(find_window "<Miravel>")"

  # The same box made by the runtime with the exact text must look the same,
  # pixel for pixel; one with a slightly different text must not.
  # box_shot TEXT FILE: a screenshot of the runtime's message box with TEXT.
  box_shot() {
    local pid box
    "$PROBE" message "$1" &
    pid=$!
    track $pid
    box=$(wait_window Miravel 5)
    window_shot "$box" "$2"
    kill $pid
    wait_no_window Miravel 5
  }
  box_shot "$MESSAGE" "$WORK/reference-box.png"
  box_shot "${MESSAGE%！}!" "$WORK/other-box.png"
  same_picture() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }
  check "the launcher's box shows exactly the missing-renderer text" \
    same_picture "$WORK/launcher-box.png" "$WORK/reference-box.png"
  check "a box with another text looks different" \
    bash -c "! [ \"\$(compare -metric AE '$WORK/launcher-box.png' '$WORK/other-box.png' null: 2>&1)\" = 0 ]"
  check "the text is drawn (dark pixels in the box)" \
    test "$(convert "$WORK/launcher-box.png" -threshold 30% -format '%[fx:int(w*h*(1-mean))]' info:)" -gt 500
fi

# Every mode but the preview shows the message; Return closes it.
for args in "/s" "" "x"; do
  launch bare $args
  BOX=$(wait_window Miravel 5)
  check "'$args' without the renderer shows the message" test -n "$BOX"
  if [ -n "$BOX" ]; then
    xdotool mousemove --window "$BOX" 10 10
    xdotool key Return
  fi
  if wait_exit $PID 2 && [ "$EXIT_CODE" = 0 ]; then
    pass "'$args': Return closes the message and the launcher ends with 0"
  else
    fail "'$args': the launcher did not end with 0 after Return"
    kill $PID 2>/dev/null
  fi
done
ends_quietly "/p 1234 without the renderer" 1 bare /p 1234

# --- No display at all ------------------------------------------------------
# The modes that show something end with 1 and say why; /a, which shows
# nothing anywhere, ends quietly as always.
SAVED_DISPLAY=$DISPLAY
unset DISPLAY WAYLAND_DISPLAY
for folder in app bare; do
  for args in "/s" "/c" "" "/p 1234"; do
    : >"$WORK/no-display.err"
    "$WORK/$folder/Miravel.scr" $args >/dev/null 2>"$WORK/no-display.err" &
    PID=$!
    track $PID
    if wait_exit $PID 2 && [ "$EXIT_CODE" = 1 ]; then
      pass "no display, $folder, '$args': ends with 1"
    else
      fail "no display, $folder, '$args': ends with 1 (exit ${EXIT_CODE:-still running})"
      kill $PID 2>/dev/null
    fi
    check "no display, $folder, '$args': says why on standard error" \
      grep -q "^Miravel.scr: .*needs an X display\|^Miravel.scr: no display" "$WORK/no-display.err"
  done
  ends_quietly "no display, $folder, '/a 1234'" 2 "$folder" /a 1234
done
export DISPLAY=$SAVED_DISPLAY
check "without a display nothing was started" test ! -e "$STARTED"
finish
