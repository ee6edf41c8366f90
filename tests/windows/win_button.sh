#!/usr/bin/env bash
# The Win32 gradient button under Wine: two buttons in a real window, driven
# with xdotool like a user would: hover, leave, click, press and move off,
# right and middle clicks, disabled. Looks are read from screenshots (the
# ring's band row and the face gradient's direction), the Click count from
# what the test program prints.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wine_lib.sh"
source "$MIRAVEL_SOURCE/tests/integration/button/button_test_lib.sh"

DEMO="$MIRAVEL_BUILD/tests/windows/miravel_win32_button_demo.exe"
[ -f "$DEMO" ] || { echo "missing $DEMO"; exit 1; }

start_xvfb 640x480
wine_start

start_button_demo wine "$DEMO"
check "buttons are 125x25 and 73x25" [ "$AW $AH $BW $BH" = "125 25 73 25" ]

xdotool mousemove "$OFF_X" "$OFF_Y"
expect_look "start" A "Normal/down"
expect_look "start" B "Normal/down"
check "the captions are drawn in black" [ "$(caption_pixels "$AX" "$AY" "$AW" 40)" -gt 20 ]
check "the frame line is the blue one" [ "$(rgb $((AX + 10)) $((AY + 1)))" = "0 60 116" ]
# The face gradient between the frame: from near white down to (198, 197,
# 215), each row darker than the one above.
top=$(rgb $((AX + 30)) $((AY + 4))); mid=$(rgb $((AX + 30)) $((AY + 12))); low=$(rgb $((AX + 30)) $((AY + 20)))
check "the face gradient runs light to dark under the caption's side [$top / $mid / $low]" \
  [ "${top%% *}" -gt "${mid%% *}" ] && [ "${mid%% *}" -gt "${low%% *}" ]

# Hover and leave: the pointer watch takes the hover look back.
xdotool mousemove "$AMID_X" "$AMID_Y"
expect_look "hover" A "HighLight/up"
expect_look "hover" B "Normal/down"
xdotool mousemove "$OFF_X" "$OFF_Y"
expect_look "pointer left" A "Normal/down"
# Over the caption counts as over the button.
xdotool mousemove "$AMID_X" $((AY + 11))
expect_look "over the caption" A "HighLight/up"
expect_still "over the caption" A "HighLight/up"

# A click on a button without the focus.
click_then_press_off_A

# Keys do nothing on a focused button.
xdotool mousemove "$AMID_X" "$AMID_Y"
expect_look "hover again" A "HighLight/down"
xdotool key space Return
expect_clicks "keys" A 1

# Right and middle releases click; they show no press.
xdotool mousemove "$BMID_X" "$BMID_Y"
expect_look "hover B" B "HighLight/up"
expect_look "A lost the pointer" A "Selected/down"
xdotool mousedown 3
expect_still "right button held" B "HighLight/up"
xdotool mouseup 3
expect_clicks "right click" B 1
xdotool click 2
expect_clicks "middle click" B 2

# A left click on B moves the focus from A to B.
xdotool click 1
expect_clicks "left click" B 3
expect_look "A lost the focus" A "Normal/down"

# A disabled button ignores everything and greys its caption.
send enable B 0
wait_line '^ok' 5
expect_look "disabled" B "Disable/up"
check "disabled frame colour" [ "$(rgb $((BX + 10)) $((BY + 1)))" = "201 199 186" ]
check "disabled caption has no black" [ "$(caption_pixels "$BX" "$BY" "$BW" 40)" -eq 0 ]
check "disabled caption is grey" [ "$(caption_pixels "$BX" "$BY" "$BW" 70)" -gt 5 ]
xdotool click 1
xdotool mousemove "$OFF_X" "$OFF_Y"
xdotool mousemove "$BMID_X" "$BMID_Y"
expect_clicks "click on disabled" B 3
expect_still "disabled ignores the mouse" B "Disable/up"
send enable B 1
expect_look "enabled again (Normal whatever the state)" B "Normal/up"

send quit
if wait_exit "$DEMO_PID" 10; then
  check "test program ends cleanly" [ "$EXIT_CODE" -eq 0 ]
else
  fail "test program ends on quit"
fi
finish
