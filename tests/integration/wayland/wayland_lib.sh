# Helpers for the tests on a headless sway (after lib.sh). sway refuses to
# run as root, so a test run as root runs it as the unprivileged user nobody,
# with a runtime folder of its own; the programs under test run as the
# test's user and reach sway through the absolute path of its socket.
SWAY_PID=""
# sway's user: nobody when the test runs as root (sway refuses root),
# else the test's own user.
AS_SWAY_USER=()
SWAY_RT="$WORK/sway-runtime"
SWAY_HOME="$WORK/sway-home"
WAYLAND_SOCKET=""
VP_PID=""
WTYPE_PID=""
HELPER="$MIRAVEL_BUILD/tests/integration/wayland/miravel_virtual_pointer"

# need_wayland_tools: ends the test as skipped (77) when the headless
# desktop's tools are missing.
need_wayland_tools() {
  local tool
  for tool in sway swaymsg grim wtype setpriv xhost "$HELPER"; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
  done
}

stop_sway() {
  [ -n "$WTYPE_PID" ] && kill -TERM "$WTYPE_PID" 2>/dev/null
  [ -n "$VP_PID" ] && kill -TERM "$VP_PID" 2>/dev/null
  exec 7>&- 2>/dev/null
  if [ -n "$SWAY_PID" ]; then
    sm exit >/dev/null 2>&1
    local i
    for i in $(seq 1 30); do kill -0 "$SWAY_PID" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$SWAY_PID" 2>/dev/null
    wait "$SWAY_PID" 2>/dev/null
  fi
  SWAY_PID=""
}

# The test's own processes first (renderers, launchers, helpers), then sway,
# then the rest of lib.sh's cleanup.
_wayland_cleanup() {
  local pid
  for pid in "${_PIDS[@]}"; do kill -TERM "$pid" 2>/dev/null; done
  stop_sway
  cleanup
}
trap _wayland_cleanup EXIT

# sm ARGS...: swaymsg to our sway.
sm() { SWAYSOCK=$(ls "$SWAY_RT"/sway-ipc.*.sock 2>/dev/null | head -n1) swaymsg "$@"; }

# start_sway: a headless sway with HEADLESS-1 1280x720 at (0,0) and
# HEADLESS-2 1024x768 at (1280,0). Exports WAYLAND_DISPLAY (absolute) and a
# runtime folder of the test's own for the programs under test.
start_sway() {
  mkdir -p "$SWAY_RT" "$SWAY_HOME" "$WORK/runtime"
  chmod 700 "$SWAY_RT" "$WORK/runtime"
  chmod 755 "$WORK"
  printf 'xwayland enable\ndefault_border none\noutput * bg #000000 solid_color\n' > "$WORK/sway.conf"
  chmod 644 "$WORK/sway.conf"
  if [ "$(id -u)" = 0 ]; then
    chown nobody:nogroup "$SWAY_RT" "$SWAY_HOME"
    AS_SWAY_USER=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  fi
  env -i PATH=/usr/bin:/bin HOME="$SWAY_HOME" XDG_RUNTIME_DIR="$SWAY_RT" \
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    "${AS_SWAY_USER[@]}" sway -c "$WORK/sway.conf" \
    >"$WORK/sway.log" 2>&1 &
  SWAY_PID=$!
  local i
  for i in $(seq 1 100); do
    sm -t get_version >/dev/null 2>&1 && break
    sleep 0.1
  done
  sm -t get_version >/dev/null 2>&1 || { echo "sway did not start"; cat "$WORK/sway.log"; exit 1; }
  WAYLAND_SOCKET=$(ls "$SWAY_RT"/wayland-* | grep -v lock | head -n1)
  export WAYLAND_DISPLAY="$WAYLAND_SOCKET"
  export XDG_RUNTIME_DIR="$WORK/runtime"
  unset DISPLAY
  sm create_output >/dev/null
  sm output HEADLESS-1 mode 1280x720 pos 0 0 >/dev/null
  sm output HEADLESS-2 mode 1024x768 pos 1280 0 >/dev/null
}

# hold_keyboard: a keyboard in the seat for the whole test (a sleeping
# wtype), so that every later `wtype -k` reaches the client at once.
hold_keyboard() {
  wtype -s 600000 &
  WTYPE_PID=$!
  track "$WTYPE_PID"
  sleep 0.3
}

# hold_pointer: the project's virtual-pointer helper, driven through fd 7.
hold_pointer() {
  mkfifo "$WORK/vp.in"
  "$HELPER" <"$WORK/vp.in" >"$WORK/vp.out" 2>&1 &
  VP_PID=$!
  track "$VP_PID"
  exec 7>"$WORK/vp.in"
  local i
  for i in $(seq 1 50); do grep -qx ready "$WORK/vp.out" 2>/dev/null && return 0; sleep 0.1; done
  echo "the virtual pointer did not come"; cat "$WORK/vp.out"
  return 1
}

# pointer CMD: one line to the helper ("move DX DY", "button CODE",
# "wheel N"), waited for.
pointer() {
  local before
  before=$(grep -c done "$WORK/vp.out")
  echo "$*" >&7
  local i
  for i in $(seq 1 50); do
    [ "$(grep -c done "$WORK/vp.out")" -gt "$before" ] && return 0
    sleep 0.02
  done
  return 1
}

# views: one line per view of sway's tree: OUTPUT TITLE APP_ID PID SHELL
# FULLSCREEN_MODE X,Y,W,H FOCUSED.
views() {
  sm -t get_tree -r | python3 -c '
import json, sys
def walk(node, output=None):
    if node.get("type") == "output":
        output = node["name"]
    if node.get("pid") and output != "__i3":
        r = node["rect"]
        print(output, node.get("name"), node.get("app_id"), node.get("pid"), node.get("shell"),
              node.get("fullscreen_mode"), "%d,%d,%d,%d" % (r["x"], r["y"], r["width"], r["height"]),
              node.get("focused"))
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child, output)
walk(json.load(sys.stdin))'
}

# kelvara_views: the renderer's views, sorted.
kelvara_views() { views | awk '$2 == "KelvaraVC"' | sort; }

# wait_views N [SECONDS]: N views titled KelvaraVC are up.
wait_views() {
  local end=$((SECONDS + ${2:-10}))
  while [ $SECONDS -le $end ]; do
    [ "$(kelvara_views | wc -l)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

RENDERER="$MIRAVEL_BUILD/Miravel.dll"
RPID=""
# start_wayland_renderer: Miravel.dll on our sway; waits for its views.
start_wayland_renderer() {
  "$RENDERER" </dev/null >>"$WORK/renderer.log" 2>&1 &
  RPID=$!
  track "$RPID"
  wait_views 2 10
}

# ends_within PID SECONDS: ends with 0 within SECONDS.
ends_within() {
  local pid=$1 limit=$2 end
  end=$(($(date +%s%N) + limit * 1000000000))
  while running "$pid"; do
    [ "$(date +%s%N)" -ge "$end" ] && { echo "still running after $limit s"; return 1; }
    sleep 0.02
  done
  wait "$pid" 2>/dev/null
  EXIT_CODE=$?
  [ "$EXIT_CODE" = 0 ] || { echo "exit code $EXIT_CODE"; return 1; }
}

# stays PID: still running after a short pause.
stays() { sleep 0.8; running "$1"; }

# end_wayland_renderer: a renderer a case left running is ended by a key.
end_wayland_renderer() {
  [ -n "$RPID" ] && running "$RPID" || return 0
  wtype -k space
  wait_exit "$RPID" 5 || kill -KILL "$RPID" 2>/dev/null
  wait_views 0 5
}

# shot OUTPUT FILE: that output's picture.
shot() { grim -o "$1" "$2"; }

# use_sway_x_display: exports DISPLAY as sway's XWayland display, with the
# test's user let in. The display is known to sway's children only; one of
# them, started as sway's user, tells it.
use_sway_x_display() {
  cat > "$SWAY_HOME/tell-display.sh" <<SCRIPT
#!/bin/sh
xhost +si:localuser:$(id -un) >/dev/null 2>&1
echo "\$DISPLAY" > "\$HOME/display.tmp" && mv "\$HOME/display.tmp" "\$HOME/display"
SCRIPT
  chmod 755 "$SWAY_HOME/tell-display.sh"
  rm -f "$SWAY_HOME/display"
  sm exec "$SWAY_HOME/tell-display.sh" >/dev/null
  local i
  for i in $(seq 1 50); do [ -s "$SWAY_HOME/display" ] && break; sleep 0.1; done
  DISPLAY=$(cat "$SWAY_HOME/display" 2>/dev/null)
  export DISPLAY
  [ -n "$DISPLAY" ] && xdpyinfo >/dev/null 2>&1
}

# ends_within_pid PID SECONDS: a process that is not our child (its exit
# code cannot be had) is gone within SECONDS.
ends_within_pid() {
  local end=$(($(date +%s%N) + $2 * 1000000000))
  while kill -0 "$1" 2>/dev/null && [ "$(ps -o stat= -p "$1" 2>/dev/null | cut -c1)" != Z ]; do
    [ "$(date +%s%N)" -ge "$end" ] && { echo "still running after $2 s"; return 1; }
    sleep 0.02
  done
}
