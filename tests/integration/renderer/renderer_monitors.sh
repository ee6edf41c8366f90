#!/usr/bin/env bash
# The renderer on an X screen split into two RandR monitors of different
# sizes: one window over the screen as always, a lit, coloured, moving
# picture of its own on each monitor, black where no monitor shows, monitors
# set and removed while it runs followed, and a key ends it.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/renderer_lib.sh"
start_xvfb 2304x1024

# 1280x1024 at (0,0) and 1024x768 at (1280,0). RandR keeps listing the
# screen's own output over both.
xrandr --setmonitor left 1280/338x1024/270+0+0 none
xrandr --setmonitor right 1024/270x768/203+1280+0 none
check "RandR lists both monitors" \
  eval 'xrandr --listmonitors | grep -q "1024/270x768/203+1280+0"'

crop() { convert "$1" -crop "$2" +repage "$3"; }
# differing A B [FUZZ]: how many pixels differ.
differing() { compare -metric AE ${3:+-fuzz $3} "$1" "$2" null: 2>&1 | awk '{ printf "%d", $1 }'; }
# brightest FILE: the largest channel value of any pixel, 0-255.
brightest() { convert "$1" -format "%[fx:int(255*maxima)]" info:; }
# lit_within SECONDS AREA: the part AREA of the screen gets lit in time.
lit_within() {
  local end=$((SECONDS + $1))
  while [ $SECONDS -le "$end" ]; do
    screenshot "$WORK/poll.png"
    crop "$WORK/poll.png" "$2" "$WORK/poll-part.png"
    [ "$(mean_brightness "$WORK/poll-part.png")" -ge 8 ] && return 0
    sleep 0.5
  done
  return 1
}
# black_within SECONDS AREA: the part AREA of the screen goes black in time.
black_within() {
  local end=$((SECONDS + $1))
  while [ $SECONDS -le "$end" ]; do
    screenshot "$WORK/poll.png"
    crop "$WORK/poll.png" "$2" "$WORK/poll-part.png"
    [ "$(brightest "$WORK/poll-part.png")" = 0 ] && return 0
    sleep 0.5
  done
  return 1
}

check "renderer starts and takes the focus" start_renderer /s
xwininfo -id "$RID" >"$WORK/xwininfo.txt"
geometry=$(awk -F: '/Absolute upper-left X/{x=$2} /Absolute upper-left Y/{y=$2}
  /Width/{w=$2} /Height/{h=$2}
  END{gsub(/ /,"",x); gsub(/ /,"",y); gsub(/ /,"",w); gsub(/ /,"",h); print x","y","w","h}' \
  "$WORK/xwininfo.txt")
check "one window covers the screen [$geometry]" test "$geometry" = "0,0,2304,1024"

sleep 1
screenshot "$WORK/a.png"
sleep 1
screenshot "$WORK/b.png"
for shot in a b; do
  crop "$WORK/$shot.png" 1280x1024+0+0 "$WORK/$shot-left.png"
  crop "$WORK/$shot.png" 1024x768+1280+0 "$WORK/$shot-right.png"
done
for monitor in left right; do
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
crop "$WORK/a.png" 1024x256+1280+768 "$WORK/a-none.png"
check "what no monitor shows stays black (brightest $(brightest "$WORK/a-none.png"))" \
  test "$(brightest "$WORK/a-none.png")" = 0
# A picture drawn over the whole screen would run on across the monitors'
# edge: the columns either side of it would be alike, as two neighbouring
# columns inside one monitor are.
crop "$WORK/a.png" 1x768+1279+0 "$WORK/edge-left.png"
crop "$WORK/a.png" 1x768+1280+0 "$WORK/edge-right.png"
crop "$WORK/a.png" 1x768+1000+0 "$WORK/inner-left.png"
crop "$WORK/a.png" 1x768+1001+0 "$WORK/inner-right.png"
edge=$(differing "$WORK/edge-left.png" "$WORK/edge-right.png" 10%)
inner=$(differing "$WORK/inner-left.png" "$WORK/inner-right.png" 10%)
check "each monitor has a scene of its own ($edge of 768 pixels differ across the edge, $inner inside)" \
  test "$edge" -ge 100 -a "$edge" -ge $((inner * 4))

xrandr --delmonitor right
check "a monitor removed while running: its part goes black" black_within 5 1024x768+1280+0
check "  and the other monitor is still drawn" lit_within 3 1280x1024+0+0
xrandr --setmonitor tall 1024/270x1024/270+1280+0 none
check "a monitor set while running is drawn, to its lower edge" lit_within 5 1024x256+1280+768
check "  and its upper part too" lit_within 3 1024x768+1280+0
check "the renderer still runs" running "$RPID"

xdotool key x
check "a key ends it with 0 and the window goes" ended_cleanly
end_renderer
finish
