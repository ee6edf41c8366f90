#!/usr/bin/env bash
# The renderer ends when the user returns, and only then: real keys, buttons,
# pointer moves and focus changes through XTest, and real WM_DELETE_WINDOW.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/renderer_lib.sh"
start_xvfb 640x480

run_case "key" "end xdotool key x"
run_case "Alt alone" "end xdotool key Alt_L"
run_case "moves" \
  "stay xdotool mousemove_relative 10 0" \
  "end xdotool mousemove_relative 10 0"
run_case "close request" \
  "stay $TOOL close @ID@" \
  "stay xdotool mousemove_relative 1 0" \
  "stay xdotool mousemove_relative 1 1" \
  "end $TOOL close @ID@"
run_case "buttons" \
  "stay xdotool click 4" \
  "stay xdotool click 5" \
  "end xdotool click 3"

# Focus going to another application's window ends the saver.
"$TOOL" window "Other application" OtherClass >"$WORK/other.id" &
other=$!
track "$other"
for _ in $(seq 1 50); do [ -s "$WORK/other.id" ] && break; sleep 0.1; done
run_case "application switch" "end xdotool windowfocus $(head -n1 "$WORK/other.id")"

finish
