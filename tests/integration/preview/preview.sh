#!/usr/bin/env bash
# The still preview inside a host window, driven as a screen-saver settings
# program would: /p with the host's id, then the host goes away.
source "$MIRAVEL_TEST_LIB"
start_xvfb 1024x768

HOST_TOOL="$MIRAVEL_BUILD/tests/integration/preview/preview_host"
X11_TOOL="$MIRAVEL_BUILD/tests/integration/renderer/miravel_x11_test_tool"
PICTURE="$MIRAVEL_SOURCE/assets/preview.jpg"
# The launcher alone in a folder: the preview must not need the renderer.
mkdir -p "$WORK/saver"
cp "$MIRAVEL_BUILD/Miravel.scr" "$WORK/saver/"
LAUNCHER="$WORK/saver/Miravel.scr"

HOST_ID=""
HOST_PID=""
# open_host W H: starts a host window (at 10,20 on the screen); its stdin is
# kept open through a fifo so that the test can tell it to destroy the window.
open_host() {
  rm -f "$WORK/host.in"
  mkfifo "$WORK/host.in"
  "$HOST_TOOL" "$1" "$2" < "$WORK/host.in" > "$WORK/host.out" 2>&1 &
  HOST_PID=$!
  track "$HOST_PID"
  exec 8> "$WORK/host.in"
  local i
  for i in $(seq 1 50); do
    HOST_ID=$(head -n1 "$WORK/host.out" 2>/dev/null)
    [ -n "$HOST_ID" ] && return 0
    sleep 0.1
  done
  return 1
}
close_host_input() { exec 8>&-; }

# preview_child: the id of the window titled "Preview Window", if any.
preview_child() { find_window "Preview Window"; }

# child_geometry ID: "x y w h" relative to its parent.
child_geometry() {
  xwininfo -id "$1" | awk '/Relative upper-left X/{x=$NF} /Relative upper-left Y/{y=$NF}
    /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}

# parent_of ID
parent_of() { xwininfo -children -id "$1" | awk '/Parent window id/{print $4}'; }

# rmse A B: root-mean-square difference of two same-size pictures, 0..1.
rmse() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p'; }

# start_preview: starts the launcher with /p and the host's id; sets LPID and
# `child`, the preview window's id once it shows (empty if it never does).
start_preview() {
  "$LAUNCHER" /p "$HOST_ID" >> "$WORK/launcher.log" 2>&1 &
  LPID=$!
  track "$LPID"
  child=""
  for _ in $(seq 1 50); do child=$(preview_child); [ -n "$child" ] && break; sleep 0.1; done
}

# ---- 152 x 112: the whole picture, pixel for pixel ----------------------
open_host 152 112 || fail "host window opened"
start_preview
check "preview window appears" test -n "$child"
if [ -n "$child" ]; then
  check "it is a child of the host" test "$(printf '%d' "$(parent_of "$child")")" = "$HOST_ID"
  check "at (0, 0) with 152 x 112" test "$(child_geometry "$child")" = "0 0 152 112"
  sleep 0.3
  screenshot "$WORK/shot152.png"
  convert "$WORK/shot152.png" -crop 152x112+10+20 +repage "$WORK/crop152.png"
  convert "$PICTURE" "$WORK/picture152.png"
  diff152=$(rmse "$WORK/crop152.png" "$WORK/picture152.png")
  echo "difference to the picture: $diff152"
  check "its pixels are the picture's" awk -v d="$diff152" 'BEGIN{exit !(d != "" && d < 0.01)}'
fi
check "the launcher keeps running while the host is there" kill -0 "$LPID"

# Destroying the host ends the launcher within a second.
echo destroy >&8
if wait_exit "$LPID" 1; then
  check "host destroyed: the launcher ends with 0" test "$EXIT_CODE" = 0
else
  fail "host destroyed: the launcher ends within a second"
fi
close_host_input
wait_exit "$HOST_PID" 5

# ---- 300 x 200: the picture scaled to the host ---------------------------
open_host 300 200 || fail "second host window opened"
start_preview
check "300 x 200 host: preview window appears" test -n "$child"
if [ -n "$child" ]; then
  check "it takes the host's 300 x 200" test "$(child_geometry "$child")" = "0 0 300 200"
  sleep 0.3
  screenshot "$WORK/shot300.png"
  convert "$WORK/shot300.png" -crop 300x200+10+20 +repage "$WORK/crop300.png"
  convert "$PICTURE" -resize '300x200!' "$WORK/picture300.png"
  diff300=$(rmse "$WORK/crop300.png" "$WORK/picture300.png")
  echo "difference to the scaled picture: $diff300"
  check "it shows the picture scaled smoothly" awk -v d="$diff300" 'BEGIN{exit !(d != "" && d < 0.04)}'
fi
# Killing the host's program: the server destroys its windows.
kill -KILL "$HOST_PID"
if wait_exit "$LPID" 1; then
  check "host's program killed: the launcher ends with 0" test "$EXIT_CODE" = 0
else
  fail "host's program killed: the launcher ends within a second"
fi
close_host_input

# ---- bad host numbers end at once ----------------------------------------
for args in "/p 99999999" "/p" "/p abc" "/p -12"; do
  start=$(date +%s%N)
  # shellcheck disable=SC2086
  timeout 5 "$LAUNCHER" $args >> "$WORK/launcher.log" 2>&1
  code=$?
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  check "'$args' ends at once with 0 (${ms} ms)" test "$code" = 0 -a "$ms" -lt 1000
done
check "no preview window was left" test -z "$(preview_child)"

# ---- an open settings dialog stops the preview ---------------------------
"$X11_TOOL" window "<Miravel>" TestDialog > "$WORK/dialog.out" 2>&1 &
DPID=$!
track "$DPID"
wait_window "<Miravel>" 5 > /dev/null
open_host 152 112 || fail "third host window opened"
timeout 5 "$LAUNCHER" /p "$HOST_ID" >> "$WORK/launcher.log" 2>&1
check "with \"<Miravel>\" open, /p ends with 0" test $? = 0
check "and no preview was made" test -z "$(preview_child)"
close_host_input
finish
