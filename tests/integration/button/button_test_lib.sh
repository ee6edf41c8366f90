# Driving the two-button test program and reading the buttons' looks, for the
# button tests of both builds. Source after lib.sh (and, for Wine, after
# wine_lib.sh and wine_start).
#
# start_button_demo RUNNER... DEMO: starts the test program (through RUNNER,
# e.g. wine, if given) fed from a FIFO, waits for its window, gives it the
# focus (without a window manager nobody would; a desktop's would on the first
# click), and reads the places of buttons A and B (AX AY AW AH, BX BY BW BH).
start_button_demo() {
  mkfifo "$WORK/in"
  "$@" <"$WORK/in" >"$WORK/out" 2>"$WORK/err" &
  DEMO_PID=$!
  track "$DEMO_PID"
  exec 3>"$WORK/in"
  WID=$(wait_window "Button test" 20) || { fail "test window appears"; finish; }
  xdotool windowfocus --sync "$WID" 2>/dev/null
  send where
  wait_line '^B ' 10 || { fail "program reports the buttons' places"; finish; }
  read -r _ AX AY AW AH < <(out_lines | grep '^A ' | head -n1)
  read -r _ BX BY BW BH < <(out_lines | grep '^B ' | head -n1)
  AMID_X=$((AX + AW / 2)); AMID_Y=$((AY + AH / 2))
  BMID_X=$((BX + BW / 2)); BMID_Y=$((BY + BH / 2))
  OFF_X=$((AX + 20)); OFF_Y=$((AY + 40))  # the window's own background, below A
}

send() { echo "$*" >&3; }
# What the program printed so far (a Windows program ends its lines in CR LF).
out_lines() { tr -d '\r' <"$WORK/out"; }

# wait_line PATTERN [SECONDS]: waits until the program printed a matching line.
wait_line() {
  local end=$((SECONDS + ${2:-5}))
  while [ $SECONDS -le $end ]; do
    out_lines | grep -q "$1" && return 0
    sleep 0.05
  done
  return 1
}

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

# look_now BUTTON: the button's look on a new screenshot.
look_now() { screenshot "$SHOT"; look "$1"; }

# expect_look WHAT BUTTON LOOK: waits (up to 3 s) for the look on screen.
expect_look() {
  if seen_within 3 "$3" look_now "$2"; then
    pass "$1: $2 shows $3"
  else
    fail "$1: $2 shows $SEEN, expected $3"
  fi
  LOOK=$SEEN
}

# expect_still WHAT BUTTON LOOK: the look holds for half a second.
expect_still() {
  sleep 0.5
  screenshot "$SHOT"
  LOOK=$(look "$2")
  check "$1: $2 still shows $3 (got $LOOK)" [ "$LOOK" = "$3" ]
}

clicks() { out_lines | grep -c "^Click $1"; }
# expect_clicks WHAT BUTTON N: waits briefly, then the count must be exactly N.
expect_clicks() {
  local end=$((SECONDS + 2))
  while [ "$(clicks "$2")" -lt "$3" ] && [ $SECONDS -lt $end ]; do sleep 0.05; done
  sleep 0.3
  check "$1: $2 clicked $3 times (got $(clicks "$2"))" [ "$(clicks "$2")" -eq "$3" ]
}

# caption_pixels X Y W LEVEL: pixels of the caption band darker than LEVEL %
# grey.
caption_pixels() {
  local x=$1 y=$2 w=$3 level=$4
  convert "$SHOT" -crop "$((w - 8))x13+$((x + 4))+$((y + 5))" +repage -colorspace gray \
    -threshold "$level%" -format '%[fx:int(w*h*(1-mean)+0.5)]' info:
}

# click_then_press_off_A: with the pointer resting on A, which has no focus
# yet: a click (one Click, A focused), then a press on the focused A that is
# moved off before the release (no Click). Both builds' buttons behave alike.
click_then_press_off_A() {
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
}
