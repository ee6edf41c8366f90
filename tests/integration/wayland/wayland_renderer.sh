#!/usr/bin/env bash
# The renderer on a Wayland desktop (a headless sway with two outputs of
# different sizes): one fullscreen view per output, each lit, coloured and
# moving, the pointer hidden over them; the input rules on Wayland; outputs
# that come and go; the per-user lock; MIRAVEL_PLATFORM=x11.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wayland_lib.sh"
need_wayland_tools
start_sway
hold_keyboard
check "a virtual pointer is in the seat" hold_pointer

# white_spots FILE: positions of pure white pixels, one "x,y" a line.
white_spots() {
  convert "$1" -depth 8 txt:- | awk -F'[,: ]+' '/#FFFFFF/ {print $1 "," $2}'
}
crop() { convert "$1" -crop "$2" +repage "$3"; }

# --- The pointer as sway paints it, before anything covers it -----------------
sm seat seat0 cursor set 640 360 >/dev/null
sleep 0.3
shot HEADLESS-1 "$WORK/bare.png"
crop "$WORK/bare.png" 32x32+636+356 "$WORK/bare-cursor.png"
white_spots "$WORK/bare-cursor.png" | sort > "$WORK/cursor.spots"
check "control: sway paints the pointer on the bare desktop ($(wc -l < "$WORK/cursor.spots") white pixels)" \
  test "$(wc -l < "$WORK/cursor.spots")" -ge 5

# --- One fullscreen view per output, all of the renderer's process -------------
check "the renderer comes up with two views" start_wayland_renderer
kelvara_views > "$WORK/views.txt"
cat "$WORK/views.txt"
check "HEADLESS-1: KelvaraVC, app id miravel, xdg-shell, fullscreen on its output at 1280x720" \
  grep -qx "HEADLESS-1 KelvaraVC miravel $RPID xdg_shell 1 0,0,1280,720 .*" "$WORK/views.txt"
check "HEADLESS-2: KelvaraVC, app id miravel, xdg-shell, fullscreen on its output at 1024x768" \
  grep -qx "HEADLESS-2 KelvaraVC miravel $RPID xdg_shell 1 1280,0,1024,768 .*" "$WORK/views.txt"

sleep 0.5
for out in HEADLESS-1 HEADLESS-2; do
  shot "$out" "$WORK/$out-a.png"
  sleep 1
  shot "$out" "$WORK/$out-b.png"
  size=$(convert "$WORK/$out-a.png" -format "%wx%h" info:)
  pixels=$(convert "$WORK/$out-a.png" -format "%[fx:w*h]" info:)
  brightness=$(mean_brightness "$WORK/$out-a.png")
  saturation=$(convert "$WORK/$out-a.png" -colorspace HSL -channel G -separate -format "%[fx:int(100*mean)]" info:)
  changed=$(compare -metric AE "$WORK/$out-a.png" "$WORK/$out-b.png" null: 2>&1 | cut -d' ' -f1)
  check "$out [$size]: lit (mean brightness $brightness)" test "$brightness" -ge 8
  check "$out: coloured (mean saturation $saturation)" test "$saturation" -ge 10
  check "$out: moves ($changed of $pixels pixels changed in a second)" \
    test "${changed%.*}" -ge $((pixels / 100))
done

# The pointer's white outline stays white in every shot only if it is painted.
for i in 1 2 3; do
  shot HEADLESS-1 "$WORK/over-$i.png"
  crop "$WORK/over-$i.png" 32x32+636+356 "$WORK/over-$i-cursor.png"
  white_spots "$WORK/over-$i-cursor.png" | sort > "$WORK/over-$i.spots"
  sleep 0.4
done
kept=$(comm -12 "$WORK/cursor.spots" "$WORK/over-1.spots" | comm -12 - "$WORK/over-2.spots" |
  comm -12 - "$WORK/over-3.spots" | wc -l)
check "no pointer is painted over the curtains ($kept of $(wc -l < "$WORK/cursor.spots") outline pixels stayed)" \
  test "$kept" -lt $(($(wc -l < "$WORK/cursor.spots") / 2))

# --- A second renderer gives way --------------------------------------------------
"$RENDERER" </dev/null >>"$WORK/renderer.log" 2>&1 &
second=$!
track "$second"
check "a second renderer gives way: ends with 0" ends_within "$second" 5
check "  and the first one's two views stay" test "$(kelvara_views | awk '{print $4}' | sort -u)" = "$RPID"

check "a key ends it with 0 within a second" eval 'wtype -k space; ends_within "$RPID" 1'
check "  its views are gone" wait_views 0 5

# --- SIGTERM ends it like an accepted close ------------------------------------------
if start_wayland_renderer; then
  kill -TERM "$RPID"
  check "SIGTERM ends it with 0 within a second" ends_within "$RPID" 1
  check "  its views are gone" wait_views 0 5
else
  fail "the renderer comes up for SIGTERM"
fi

# --- Input cases, each on a fresh renderer; the pointer is over HEADLESS-1 -------
# case NAME STEPS...: "stay CMD" (it must still run after CMD), "end CMD"
# (it must end with 0 within a second of CMD) or "end_focus CMD" (within 3 s).
case_of() {
  local name=$1 step kind cmd
  shift
  if ! start_wayland_renderer; then
    fail "$name: renderer starts"
    end_wayland_renderer
    return
  fi
  sleep 0.3
  for step in "$@"; do
    kind=${step%% *}
    cmd=${step#* }
    eval "$cmd" >/dev/null 2>&1
    if [ "$kind" = stay ]; then
      check "$name: still running after '$cmd'" stays "$RPID"
    elif [ "$kind" = end_focus ]; then
      # A focus change passes through sway (it first takes the view out of
      # fullscreen) before the keyboard leaves: allow a loaded machine more.
      check "$name: '$cmd' ends it with 0 within 3 s" ends_within "$RPID" 3
    else
      check "$name: '$cmd' ends it with 0 within a second" ends_within "$RPID" 1
    fi
  done
  end_wayland_renderer
}

sm seat seat0 cursor set 640 360 >/dev/null
case_of "left button" "end pointer button 272"
case_of "middle button" "end pointer button 274"
case_of "wheel" "stay pointer wheel 1" "end pointer button 273"
case_of "moves" "stay pointer move 10 0" "end pointer move 10 0"
case_of "small moves" "stay pointer move 2 1" "stay pointer move 2 1" "stay pointer move 1 3"
case_of "close request" "stay sm '[title=\"KelvaraVC\"] kill'" "stay pointer move 1 0" \
  "stay pointer move 1 0" "end sm '[title=\"KelvaraVC\"] kill'"

# Across the edge between the outputs: leave on one surface, enter on the
# other (and the keyboard follows, between our own surfaces): no move.
sm seat seat0 cursor set 1275 300 >/dev/null
case_of "output edge" "stay pointer move 10 0" "stay pointer move -10 0" "stay pointer move 10 0" \
  "stay pointer move 1 0" "end pointer move 9 0"

# The keyboard moves to another client's window.
sm seat seat0 cursor set 640 360 >/dev/null
other_window() {
  # An X client through XWayland, started as sway's user; sway focuses it when
  # asked, and its keyboard leaves the renderer's surfaces.
  sm exec xeyes >/dev/null
  local i
  for i in $(seq 1 50); do views | grep -q ' xwayland ' && break; sleep 0.1; done
  sm '[shell="xwayland"] focus' >/dev/null
}
case_of "switch" "end_focus other_window"
sm '[shell="xwayland"] kill' >/dev/null 2>&1

# --- An output at scale 2 gets a buffer of its full pixel size --------------------
# sway 1.7 has no fractional scale: the whole scale, declared on the surface.
sm output HEADLESS-2 scale 2 >/dev/null
MIRAVEL_REPORT_SIZES=1 "$RENDERER" </dev/null >"$WORK/sizes.log" 2>&1 &
RPID=$!
track "$RPID"
if wait_views 2 10; then
  sleep 0.3
  check "scale 2: the 1024x768 output's buffer is 1024x768 at scale 2" \
    grep -q "view . buffer 1024x768 at scale 2" "$WORK/sizes.log"
  check "scale 2: the other output's stays 1280x720 at scale 1" \
    grep -q "view . buffer 1280x720 at scale 1" "$WORK/sizes.log"
else
  fail "scale 2: the renderer comes up with two views"
fi
end_wayland_renderer
sm output HEADLESS-2 scale 1 >/dev/null

# --- Outputs that come and go ------------------------------------------------------
# sway 1.7 cannot remove a headless output, so a nested sway runs inside
# this one (its outputs are windows here) and the renderer draws on it.
NESTED_RT="$WORK/nested-runtime"
mkdir -p "$NESTED_RT"
[ "$(id -u)" = 0 ] && chown nobody:nogroup "$NESTED_RT"
chmod 700 "$NESTED_RT"
env -i PATH=/usr/bin:/bin HOME="$SWAY_HOME" XDG_RUNTIME_DIR="$NESTED_RT" WAYLAND_DISPLAY="$WAYLAND_SOCKET" \
  WLR_BACKENDS=wayland WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
  "${AS_SWAY_USER[@]}" sway -c "$WORK/sway.conf" \
  >"$WORK/nested.log" 2>&1 &
NESTED_PID=$!
track "$NESTED_PID"
nm() { SWAYSOCK=$(ls "$NESTED_RT"/sway-ipc.*.sock 2>/dev/null | head -n1) swaymsg "$@"; }
for _ in $(seq 1 100); do nm -t get_version >/dev/null 2>&1 && break; sleep 0.1; done
nested_views() { nm -t get_tree -r | grep -c '"name": "KelvaraVC"'; }
nested_outputs() { nm -t get_outputs -r | python3 -c 'import json,sys; print(" ".join(o["name"] for o in json.load(sys.stdin)))'; }
if nm -t get_version >/dev/null 2>&1; then
  NESTED_SOCKET=$(ls "$NESTED_RT"/wayland-* | grep -v lock | head -n1)
  WAYLAND_DISPLAY="$NESTED_SOCKET" wtype -s 600000 &
  track $!
  sleep 0.3
  WAYLAND_DISPLAY=$(ls "$NESTED_RT"/wayland-* | grep -v lock | head -n1) "$RENDERER" </dev/null \
    >>"$WORK/renderer.log" 2>&1 &
  RPID=$!
  track "$RPID"
  check "nested desktop: one view on its one output" seen_within 10 1 nested_views
  nm create_output >/dev/null
  check "an output added while it runs gets its view [$(nested_outputs)]" seen_within 10 2 nested_views
  sleep 0.5
  WAYLAND_DISPLAY=$(ls "$NESTED_RT"/wayland-* | grep -v lock | head -n1) grim -o WL-2 "$WORK/wl2.png"
  check "  and curtains on it (mean brightness $(mean_brightness "$WORK/wl2.png"))" \
    test "$(mean_brightness "$WORK/wl2.png")" -ge 8
  # Closing the output's window here removes that output from the nested sway.
  sm '[title="wlroots - WL-2"] kill' >/dev/null
  check "an output removed takes its view along [$(nested_outputs)]" seen_within 10 1 nested_views
  check "  and the renderer keeps running" stays "$RPID"
  WAYLAND_DISPLAY=$(ls "$NESTED_RT"/wayland-* | grep -v lock | head -n1) grim -o WL-1 "$WORK/wl1-a.png"
  sleep 1
  WAYLAND_DISPLAY=$(ls "$NESTED_RT"/wayland-* | grep -v lock | head -n1) grim -o WL-1 "$WORK/wl1-b.png"
  changed=$(compare -metric AE "$WORK/wl1-a.png" "$WORK/wl1-b.png" null: 2>&1 | cut -d' ' -f1)
  check "  the remaining output still moves ($changed pixels changed in a second)" test "${changed%.*}" -ge 1000
  # An output that is not shown gives no frame callbacks: the nested
  # desktop's window goes to a workspace of its own here, so the nested sway
  # draws nothing and calls back no frame. No frames are due then, and the
  # renderer waits for the compositor instead of spinning.
  sm '[title="wlroots - WL-1"] move to workspace 9' >/dev/null
  sleep 1
  hz=$(getconf CLK_TCK)
  c0=$(awk '{print $14 + $15}' "/proc/$RPID/stat")
  sleep 2
  c1=$(awk '{print $14 + $15}' "/proc/$RPID/stat")
  busy=$(((c1 - c0) * 100 / (2 * hz)))
  check "an output that calls back no frame: the renderer waits (${busy}% of a core)" test "$busy" -le 15
  WAYLAND_DISPLAY="$NESTED_SOCKET" wtype -k space
  check "  and a key still ends it with 0 within a second" ends_within "$RPID" 1
  nm exit >/dev/null 2>&1
  wait_exit "$NESTED_PID" 5 || kill -KILL "$NESTED_PID" 2>/dev/null
else
  fail "the nested sway starts"
fi

# --- MIRAVEL_PLATFORM=x11: the X11 program, through XWayland -------------------
check "XWayland's display admits the test" use_sway_x_display
MIRAVEL_PLATFORM=x11 "$RENDERER" </dev/null >>"$WORK/renderer.log" 2>&1 &
RPID=$!
track "$RPID"
check "MIRAVEL_PLATFORM=x11: an X window titled KelvaraVC on XWayland's display $DISPLAY" window_up KelvaraVC 10
check "  and no native view" test "$(kelvara_views | wc -l)" = 0
check "  it runs" stays "$RPID"
# It holds the run lock too: a renderer that draws on Wayland gives way to it.
"$RENDERER" </dev/null >>"$WORK/renderer.log" 2>&1 &
second=$!
track "$second"
check "  a Wayland renderer gives way to the X11 one's lock: ends with 0" ends_within "$second" 5
# A WAYLAND_DISPLAY that names no compositor: no Wayland connection opens, so
# this is an X11 run, and on X11 a second copy opens its own window.
WAYLAND_DISPLAY="wayland-stale-$$" "$RENDERER" </dev/null >>"$WORK/renderer.log" 2>&1 &
second=$!
track "$second"
check "  a renderer whose WAYLAND_DISPLAY opens nothing runs on X11 beside it" stays "$second"
kill -TERM "$second"
check "  and SIGTERM ends that one with 0" ends_within "$second" 5
kill -TERM "$RPID"
check "  SIGTERM ends it with 0" ends_within "$RPID" 5

finish
