# Helpers shared by the renderer's integration scripts (after lib.sh).
RENDERER="$MIRAVEL_BUILD/Miravel.dll"
TOOL="$MIRAVEL_BUILD/tests/integration/renderer/miravel_x11_test_tool"
RPID=""
RID=""

# start_renderer [ARGS...]: starts Miravel.dll and waits until its window is
# mapped and has the keyboard focus, so that input reaches it. Sets RPID, RID.
start_renderer() {
  "$RENDERER" "$@" >>"$WORK/renderer.log" 2>&1 &
  RPID=$!
  track "$RPID"
  RID=$(wait_window KelvaraVC 15) || { RID=""; return 1; }
  local end=$((SECONDS + 10))
  while [ $SECONDS -le $end ]; do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$RID" ] && return 0
    sleep 0.1
  done
  return 1
}

# running PID: the process is alive and not a zombie.
running() {
  kill -0 "$1" 2>/dev/null && [ "$(ps -o stat= -p "$1" 2>/dev/null | cut -c1)" != Z ]
}

# still_running: after a short pause the renderer still runs with its window.
still_running() {
  sleep 0.8
  running "$RPID" && [ -n "$(find_window KelvaraVC)" ]
}

# ended_cleanly [PID]: the renderer ends within 10 s with exit code 0 and no
# window titled KelvaraVC is left.
ended_cleanly() {
  local pid=${1:-$RPID}
  wait_exit "$pid" 10 || return 1
  [ "$EXIT_CODE" = 0 ] || { echo "exit code $EXIT_CODE"; return 1; }
  wait_no_window KelvaraVC 5
}

# end_renderer: SIGTERM for a renderer a check left running.
end_renderer() {
  running "$RPID" && kill -TERM "$RPID" 2>/dev/null
  wait_exit "$RPID" 10 || kill -KILL "$RPID" 2>/dev/null
  return 0
}
