#!/usr/bin/env bash
# The Windows renderer under Wine ends when the user returns, and only then:
# real keys, clicks and pointer moves through XTest, a close request from
# another program, and another X client taking the focus.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wine_lib.sh"
start_xvfb 640x480
wine_start

run_case "key" "end xdotool key x"
run_case "Alt alone (a system key)" "end xdotool key Alt_L"
run_case "left click" "end xdotool click 1"
run_case "wheel, then right click" \
  "stay xdotool click 4" \
  "stay xdotool click 5" \
  "end xdotool click 3"
# The first move only records where the pointer is. As on Windows, that first
# move is the system's own when the window appears under the still pointer
# (Wine sends it on the X enter event), so the user's first move of more than
# 4 pixels (x plus y) ends the run; creeping by 4 or less never does.
run_case "moves" \
  "stay true" \
  "end xdotool mousemove_relative 10 0"
run_case "small moves" \
  "stay xdotool mousemove_relative 3 1" \
  "stay xdotool mousemove_relative 3 1" \
  "stay xdotool mousemove_relative -- -2 -2" \
  "end xdotool mousemove_relative 3 2"
run_case "close request" \
  "stay probe close KelvaraVC" \
  "stay xdotool mousemove_relative 1 0" \
  "stay xdotool mousemove_relative 1 1" \
  "end probe close KelvaraVC"

# Another X client taking the focus is a switch to another application.
xclock -geometry 100x100+500+350 >/dev/null 2>&1 &
track $!
if other=$(wait_window xclock 10); then
  run_case "another X client takes the focus" "end xdotool windowfocus $other"
else
  fail "xclock opens"
fi

finish
