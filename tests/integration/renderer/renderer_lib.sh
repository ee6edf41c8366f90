# Helpers for the scripts that drive a renderer by itself (after lib.sh): the
# Linux build's directly, the Windows build's through Wine (wine_lib.sh sets
# RENDERER_RUN=wine before sourcing this).
RENDERER="$MIRAVEL_BUILD/Miravel.dll"
RENDERER_RUN=${RENDERER_RUN:-}
TOOL="$MIRAVEL_BUILD/tests/integration/renderer/miravel_x11_test_tool"
RPID=""
RID=""

# start_renderer [ARGS...]: starts Miravel.dll and waits until its window is
# mapped and has the keyboard focus, so that input reaches it. Sets RPID (the
# process, Wine's for the Windows build) and RID (its X window).
start_renderer() {
  $RENDERER_RUN "$RENDERER" "$@" </dev/null >>"$WORK/renderer.log" 2>&1 &
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
  if running "$RPID"; then
    kill -TERM "$RPID" 2>/dev/null
    wait_exit "$RPID" 10 || kill -KILL "$RPID" 2>/dev/null
  fi
  wait_no_window KelvaraVC 5
  return 0
}

# run_case NAME ACTIONS...: a renderer started with the pointer in the
# middle of the screen; each action is "end CMD" (the renderer must end with
# 0 after CMD) or "stay CMD" (it must still run after CMD). @ID@ in CMD
# stands for the renderer's X window.
run_case() {
  local name=$1 step kind cmd
  shift
  xdotool mousemove 320 240
  if ! start_renderer; then
    fail "$name: renderer starts"
    end_renderer
    return
  fi
  for step in "$@"; do
    kind=${step%% *}
    cmd=${step#* }
    cmd=${cmd//@ID@/$RID}
    eval "$cmd" >/dev/null 2>&1
    if [ "$kind" = stay ]; then
      check "$name: still running after '$cmd'" still_running
    else
      check "$name: '$cmd' ends it with 0, window gone" ended_cleanly
    fi
  done
  end_renderer
}
