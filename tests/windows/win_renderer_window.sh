#!/usr/bin/env bash
# The Windows renderer under Wine: its window as Windows sees it, a picture
# that is coloured and moves, a close request before any input, giving way to
# a saver window still being set up, and the pixel format it picks.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wine_lib.sh"
start_xvfb 1024x768
wine_start

# Code page 932, as the Japanese Windows the programs were made for.
acp=$(probe acp)
check "ANSI code page is 932 [$acp]" test "$acp" = 932

check "renderer starts with /s and takes the focus" start_renderer /s
probe info KelvaraVC >"$WORK/info.txt"
cat "$WORK/info.txt"
field() { sed -n "s/^$1=//p" "$WORK/info.txt"; }
check "Win32 class is WindowsScreenSaverClass" test "$(field class)" = WindowsScreenSaverClass
# WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, nothing else
check "style is pop-up, visible, clipping: $(field style)" test "$(field style)" = 0x96000000
check "extended style holds WS_EX_TOPMOST: $(field exstyle)" \
  test $(($(field exstyle) & 0x8)) -eq 8
check "window covers the screen from (0,0): $(field rect)" test "$(field rect)" = "0,0,1024,768"
check "screen metrics are the Xvfb screen: $(field screen)" test "$(field screen)" = "1024,768"
check "no window is titled Screensaver once created" bash -c "! timeout 20 wine '$PROBE' find Screensaver </dev/null >/dev/null 2>&1"

sleep 1
screenshot "$WORK/a.png"
sleep 1
screenshot "$WORK/b.png"
brightness=$(mean_brightness "$WORK/a.png")
saturation=$(convert "$WORK/a.png" -colorspace HSL -channel G -separate -format "%[fx:int(100*mean)]" info:)
check "picture is not black (mean brightness $brightness)" test "$brightness" -ge 8
check "picture is coloured (mean saturation $saturation)" test "$saturation" -ge 10
changed=$(compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1 | cut -d' ' -f1)
check "picture moves ($changed of 786432 pixels changed in a second)" test "${changed%.*}" -ge 7864

# A close request from another program before any input is dropped; once a
# key has armed the close, the renderer ends with 0.
probe close KelvaraVC
check "WM_CLOSE before any input is ignored" still_running

# A second copy is not stopped by the first (titled "KelvaraVC", not
# "Screensaver"): it opens its own window and takes the focus, which for the
# first is a switch to another application.
first=$RPID
first_id=$RID
wine "$RENDERER" </dev/null >>"$WORK/renderer.log" 2>&1 &
RPID=$!
track "$RPID"
own=""
for _ in $(seq 1 100); do
  own=$(xdotool search --name '^KelvaraVC$' 2>/dev/null | grep -vx "$first_id" | head -n1)
  [ -n "$own" ] && break
  sleep 0.1
done
check "a second copy opens its own window [$own, first $first_id]" test -n "$own"
check "the first copy then ends with 0" wait_exit "$first" 10
check "  exit code 0" test "$EXIT_CODE" = 0
xdotool key x
check "a key ends the second with 0, window gone" ended_cleanly

# Whatever the command line, the run is the same.
for args in "/c" "/p 4242" "/a" "-x junk"; do
  # shellcheck disable=SC2086
  if start_renderer $args; then
    xdotool key x
    check "'$args' opens the window; a key ends it with 0" ended_cleanly
  else
    fail "'$args' opens the window"
  fi
  end_renderer
done

# Another saver window still titled "Screensaver" takes precedence.
wine "$PROBE" window Screensaver WindowsScreenSaverClass </dev/null >"$WORK/helper.out" 2>&1 &
track $!
for _ in $(seq 1 100); do [ -s "$WORK/helper.out" ] && break; sleep 0.1; done
# Then another window comes to the front, so that bringing the saver window
# back is the renderer's doing.
wine "$PROBE" window Other OtherClass </dev/null >"$WORK/other.out" 2>&1 &
track $!
if window_up Screensaver 10 && window_up Other 10; then
  for _ in $(seq 1 50); do [ "$(probe foreground)" = Other ] && break; sleep 0.1; done
  check "  (another window is in the foreground before)" test "$(probe foreground)" = Other
  wine "$RENDERER" </dev/null >>"$WORK/renderer.log" 2>&1 &
  giver=$!
  track "$giver"
  check "with a Screensaver window present the renderer exits" wait_exit "$giver" 15
  check "  with exit code 0" test "$EXIT_CODE" = 0
  check "  without a window of its own" test -z "$(find_window KelvaraVC)"
  check "  the Screensaver window is in the foreground" \
    test "$(probe foreground)" = Screensaver
else
  fail "helper windows titled Screensaver and Other open"
fi
probe close Screensaver
probe close Other

# The pixel format chosen on the live list is the one the scoring predicts,
# and the list is the one recorded for the unit tests.
probe pixelformats >"$WORK/formats.txt"
tail -n1 "$WORK/formats.txt"
check "live choice is the scored best and takes a context" \
  grep -qx 'chosen 37 predicted 37 context 1' "$WORK/formats.txt"
check "live list matches the recorded table" \
  diff <(grep -v '^#' "$MIRAVEL_SOURCE/tests/unit/renderer/data/wine_pixel_formats.txt") \
       <(grep -v '^#\|^chosen' "$WORK/formats.txt")

finish
