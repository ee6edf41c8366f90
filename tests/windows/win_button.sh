#!/usr/bin/env bash
# The Win32 gradient button under Wine: two buttons in a real window, driven
# with xdotool like a user would: hover, leave, click, press and move off,
# right and middle clicks, disabled. Looks are read from screenshots (the
# ring's band row and the face gradient's direction), the Click count from
# what the test program prints.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wine_lib.sh"

DEMO="$MIRAVEL_BUILD/tests/windows/miravel_win32_button_demo.exe"
[ -f "$DEMO" ] || { echo "missing $DEMO"; exit 1; }

start_xvfb 640x480
wine_start

mkfifo "$WORK/in"
wine "$DEMO" <"$WORK/in" >"$WORK/out" 2>"$WORK/err" &
DEMO_PID=$!
track "$DEMO_PID"
exec 3>"$WORK/in"
send() { echo "$*" >&3; }

WID=$(wait_window "Button test" 20) || { fail "test window appears"; finish; }
xdotool windowfocus --sync "$WID" 2>/dev/null

# wait_line PATTERN [SECONDS]: waits until the program printed a matching line.
wait_line() {
  local end=$((SECONDS + ${2:-5}))
  while [ $SECONDS -le $end ]; do
    tr -d '\r' <"$WORK/out" | grep -q "$1" && return 0
    sleep 0.05
  done
  return 1
}

send where
wait_line '^B ' 10 || { fail "program reports the buttons' places"; finish; }
read -r _ AX AY AW AH < <(tr -d '\r' <"$WORK/out" | grep '^A ' | head -n1)
read -r _ BX BY BW BH < <(tr -d '\r' <"$WORK/out" | grep '^B ' | head -n1)
check "buttons are 125x25 and 73x25" [ "$AW $AH $BW $BH" = "125 25 73 25" ]

SHOT="$WORK/shot.png"
rgb() { convert "$SHOT" -format "%[pixel:p{$1,$2}]" info: | tr -dc '0-9,' | tr ',' ' '; }

# The look of the button at X Y: the picture, told by its band at row 3, and
# the gradient's direction, read down a column of the face left of the caption.
look_at() {
  local x=$1 y=$2 band dir top bottom
  case "$(rgb $((x + 10)) $((y + 3)))" in
    "243 243 238") band=Normal ;;
    "253 216 137") band=HighLight ;;
    "206 231 255") band=Selected ;;
    "209 204 192") band=Pressed ;;
    "245 244 234") band=Disable ;;
    *) band="unknown($(rgb $((x + 10)) $((y + 3))))" ;;
  esac
  top=$(rgb $((x + 6)) $((y + 4)) | cut -d' ' -f1)
  bottom=$(rgb $((x + 6)) $((y + 20)) | cut -d' ' -f1)
  if [ "$top" -gt "$bottom" ]; then dir=down; elif [ "$top" -lt "$bottom" ]; then dir=up; else dir=flat; fi
  echo "$band/$dir"
}

LOOK=""
look() { if [ "$1" = A ]; then look_at "$AX" "$AY"; else look_at "$BX" "$BY"; fi; }

# expect_look WHAT BUTTON LOOK: waits (up to 3 s) for the look on screen.
expect_look() {
  local what=$1 which=$2 want=$3 end=$((SECONDS + 3))
  while :; do
    screenshot "$SHOT"
    LOOK=$(look "$which")
    [ "$LOOK" = "$want" ] && { pass "$what: $which shows $want"; return 0; }
    [ $SECONDS -ge $end ] && break
    sleep 0.1
  done
  fail "$what: $which shows $LOOK, expected $want"
}

# expect_still WHAT BUTTON LOOK: the look holds for half a second.
expect_still() {
  sleep 0.5
  screenshot "$SHOT"
  LOOK=$(look "$2")
  check "$1: $2 still shows $3 (got $LOOK)" [ "$LOOK" = "$3" ]
}

clicks() { tr -d '\r' <"$WORK/out" | grep -c "^Click $1"; }
# expect_clicks WHAT BUTTON N: waits briefly, then the count must be exactly N.
expect_clicks() {
  local end=$((SECONDS + 2))
  while [ "$(clicks "$2")" -lt "$3" ] && [ $SECONDS -lt $end ]; do sleep 0.05; done
  sleep 0.3
  check "$1: $2 clicked $3 times (got $(clicks "$2"))" [ "$(clicks "$2")" -eq "$3" ]
}

# Pixels of the caption band darker than LEVEL % grey.
caption_pixels() {
  local x=$1 y=$2 w=$3 level=$4
  convert "$SHOT" -crop "$((w - 8))x13+$((x + 4))+$((y + 5))" +repage -colorspace gray \
    -threshold "$level%" -format '%[fx:int(w*h*(1-mean)+0.5)]' info:
}

AMID_X=$((AX + AW / 2)); AMID_Y=$((AY + AH / 2))
BMID_X=$((BX + BW / 2)); BMID_Y=$((BY + BH / 2))
OFF_X=$((AX + 20)); OFF_Y=$((AY + 40))  # the window's own background, below A

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
xdotool click 1
expect_look "after click" A "HighLight/up"
expect_clicks "click" A 1
xdotool mousemove "$OFF_X" "$OFF_Y"
expect_look "focused, pointer left" A "Selected/down"

# Press, move off, release: no Click.
xdotool mousemove "$AMID_X" "$AMID_Y"
expect_look "hover on focused" A "HighLight/down"
xdotool mousedown 1
expect_look "pressed" A "Pressed/down"
check "the pressed frame sits one pixel in" [ "$(rgb $((AX + 10)) $((AY + 2)))" = "0 60 116" ]
xdotool mousemove "$OFF_X" "$OFF_Y"
expect_look "pressed, moved off" A "Selected/down"
xdotool mouseup 1
expect_clicks "release off the button" A 1
expect_still "released off" A "Selected/down"

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
