#!/usr/bin/env bash
# The Windows renderer on two monitors of different sizes (Xephyr with
# Xinerama inside the test's Xvfb; Wine lists Xinerama heads as monitors only
# without RandR): one window over the virtual screen, a lit, coloured, moving
# picture of its own on each monitor, and a key ends it. (What lies on no
# monitor cannot be seen here: Xephyr's screen grab makes up that strip.)
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wine_lib.sh"
start_xvfb 2400x1100

# Two heads: 1280x1024 at (0,0) and 1024x768 at (1280,0).
exec 8>"$WORK/xephyr.fd"
Xephyr -displayfd 8 +xinerama -screen 1280x1024x24 -origin 1280,0 -screen 1024x768x24 \
  -nolisten tcp -noreset >"$WORK/xephyr.log" 2>&1 &
track $!
exec 8>&-
for _ in $(seq 1 100); do
  [ -s "$WORK/xephyr.fd" ] && DISPLAY=":$(head -n1 "$WORK/xephyr.fd" | tr -d '[:space:]')" xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
if [ ! -s "$WORK/xephyr.fd" ]; then
  fail "Xephyr starts"; cat "$WORK/xephyr.log"; finish
fi
export DISPLAY=":$(head -n1 "$WORK/xephyr.fd" | tr -d '[:space:]')"

wine_start
# Wine reads the monitors when its display driver starts: set the value, then
# start the wineserver again. A shared prefix gets its value back at the end.
xrandr_setting() { timeout 20 wine reg "$@" </dev/null >/dev/null 2>&1; }
xrandr_setting add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f
restore_xrandr() { [ "$_WINE_UP" = 1 ] && xrandr_setting delete 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /f; }
trap 'restore_xrandr; wine_stop; cleanup' EXIT
timeout 10 wineserver -k >/dev/null 2>&1
timeout 10 wineserver -w >/dev/null 2>&1
wineserver -p >/dev/null 2>&1
timeout 60 wine cmd /c exit </dev/null >/dev/null 2>&1

probe monitors >"$WORK/monitors.txt"
cat "$WORK/monitors.txt"
check "Wine sees the two monitors side by side" \
  test "$(grep '^monitor=' "$WORK/monitors.txt" | cut -d' ' -f1 | sort | tr '\n' ' ')" = \
  "monitor=0,0,1280,1024 monitor=1280,0,2304,768 "

check "renderer starts and takes the focus" start_renderer /s
probe info KelvaraVC >"$WORK/info.txt"
rect=$(sed -n 's/^rect=//p' "$WORK/info.txt")
check "its one window covers the virtual screen [$rect]" test "$rect" = "0,0,2304,1024"
check "  and only one window is titled KelvaraVC" \
  test "$(xdotool search --name '^KelvaraVC$' 2>/dev/null | wc -l)" = 1

sleep 1.5
screenshot "$WORK/a.png"
sleep 1
screenshot "$WORK/b.png"
crop() { convert "$1" -crop "$2" +repage "$3"; }
# differing A B [FUZZ]: how many pixels differ (ImageMagick may print it as
# 1.31072e+06).
differing() { compare -metric AE ${3:+-fuzz $3} "$1" "$2" null: 2>&1 | awk '{ printf "%d", $1 }'; }
for shot in a b; do
  crop "$WORK/$shot.png" 1280x1024+0+0 "$WORK/$shot-first.png"
  crop "$WORK/$shot.png" 1024x768+1280+0 "$WORK/$shot-second.png"
done
for monitor in first second; do
  brightness=$(mean_brightness "$WORK/a-$monitor.png")
  saturation=$(convert "$WORK/a-$monitor.png" -colorspace HSL -channel G -separate -format "%[fx:int(100*mean)]" info:)
  pixels=$(identify -format '%w*%h' "$WORK/a-$monitor.png")
  pixels=$((pixels))
  changed=$(differing "$WORK/a-$monitor.png" "$WORK/b-$monitor.png")
  check "$monitor monitor is lit (mean brightness $brightness)" test "$brightness" -ge 8
  check "$monitor monitor is coloured (mean saturation $saturation)" test "$saturation" -ge 10
  check "$monitor monitor moves ($changed of $pixels pixels changed in a second)" \
    test "$changed" -ge $((pixels / 100))
done
# Each monitor draws its own scene with its own aspect: the second is not a
# copy or a stretched part of the first.
crop "$WORK/a-first.png" 1024x768+0+0 "$WORK/a-first-part.png"
differ=$(differing "$WORK/a-first-part.png" "$WORK/a-second.png" 10%)
check "the two monitors show pictures of their own ($differ of 786432 pixels differ)" \
  test "$differ" -ge 78643

xdotool key x
check "a key ends it with 0 and the window goes" ended_cleanly
end_renderer
finish
