#!/usr/bin/env bash
# Two gradient buttons in a real window under Xvfb, driven with xdotool like a
# user would: hover, press, move off, release and click. The looks are read
# from screenshots (the ring's band row and the face gradient's direction) and
# the Click count from what the test program prints.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/button_test_lib.sh"

DEMO="$MIRAVEL_BUILD/tests/integration/button/button_demo"
[ -x "$DEMO" ] || { echo "missing $DEMO"; exit 1; }

start_xvfb 640x480

start_button_demo "$DEMO"
check "buttons are 125x25 and 73x25" [ "$AW $AH $BW $BH" = "125 25 73 25" ]

xdotool mousemove "$OFF_X" "$OFF_Y"
expect_look "start" A "Normal/down"
expect_look "start" B "Normal/down"
check "the captions are drawn in black" [ "$(caption_pixels "$AX" "$AY" "$AW" 40)" -gt 20 ] \
  && [ "$(caption_pixels "$BX" "$BY" "$BW" 40)" -gt 10 ]
check "the frame line is the blue one" [ "$(rgb $((AX + 10)) $((AY + 1)))" = "0 60 116" ]

# Hover and leave.
xdotool mousemove "$AMID_X" "$AMID_Y"
expect_look "hover" A "HighLight/up"
expect_look "hover" B "Normal/down"
xdotool mousemove "$OFF_X" "$OFF_Y"
expect_look "pointer left" A "Normal/down"

# A click on a button without the focus.
xdotool mousemove "$AMID_X" "$AMID_Y"
expect_look "hover before click" A "HighLight/up"
click_then_press_off_A

# Press, move off, come back while holding, release: no Click either.
xdotool mousemove "$AMID_X" "$AMID_Y"
expect_look "hover again" A "HighLight/down"
xdotool mousedown 1
expect_look "pressed again" A "Pressed/down"
xdotool mousemove "$OFF_X" "$OFF_Y"
expect_look "moved off holding" A "Selected/down"
xdotool mousemove "$AMID_X" "$AMID_Y"
expect_still "back on while holding" A "Selected/down"
xdotool mouseup 1
expect_clicks "release after coming back" A 1
xdotool mousemove $((AMID_X + 3)) "$AMID_Y"
expect_look "moved with no button held" A "HighLight/down"

# Keys do nothing on a focused button.
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
expect_still "after right and middle" B "HighLight/up"

# A left click on B moves the focus from A to B.
xdotool click 1
expect_clicks "left click" B 3
expect_look "B focused" B "HighLight/up"
expect_look "A lost the focus" A "Normal/down"

# A disabled button ignores everything and greys its caption. B is still in
# state 4, whose paints keep the dark-to-light face of the click.
send enable B 0
expect_look "disabled" B "Disable/up"
check "disabled frame colour" [ "$(rgb $((BX + 10)) $((BY + 1)))" = "201 199 186" ]
check "disabled caption has no black" [ "$(caption_pixels "$BX" "$BY" "$BW" 40)" -eq 0 ]
check "disabled caption is grey" [ "$(caption_pixels "$BX" "$BY" "$BW" 70)" -gt 10 ]
xdotool click 1
xdotool mousemove "$OFF_X" "$OFF_Y"
xdotool mousemove "$BMID_X" "$BMID_Y"
expect_clicks "click on disabled" B 3
expect_still "disabled ignores the mouse" B "Disable/up"
send enable B 1
expect_look "enabled again (Normal whatever the state)" B "Normal/up"

# Tab moves the focus on through the window's widgets: from B round to the
# text field, then to A. Focus changes only the look.
xdotool mousemove "$OFF_X" "$OFF_Y"
expect_look "focused B, pointer left" B "Selected/down"
xdotool key Tab
expect_look "Tab away" B "Normal/down"
xdotool key Tab
expect_look "Tab onto A" A "Selected/down"
xdotool key space
expect_clicks "space on A" A 1

# A pointer that jumps onto the focused button and clicks at once, with no
# pause between (as a script or a touch tap may), still clicks.
xdotool mousemove "$AMID_X" "$AMID_Y" click 1
expect_clicks "jump and click at once" A 2

send state
wait_line '^state B' 3
out_lines | grep '^state' | tail -n2

send quit
if wait_exit "$DEMO_PID" 10; then
  check "test program ends cleanly" [ "$EXIT_CODE" -eq 0 ]
else
  fail "test program ends on quit"
fi
[ -s "$WORK/err" ] && { echo "stderr of the test program:"; cat "$WORK/err"; }
finish
