#!/usr/bin/env bash
# Display mode's frame pacing side by side: frames per second and CPU per
# second of the renderer drawing into a host window, at the default --delay
# and at --delay 0 (no cap), on one private Xvfb in one run. A preloaded
# library counts the buffer swaps.
# Usage: bench/renderer/display_mode_fps.sh [BUILD_DIR] [SECONDS] [WIDTHxHEIGHT]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
seconds=${2:-8}
size=${3:-640x360}
renderer="$build/Miravel.dll"
counter="$build/bench/renderer/libmiravel_swap_counter.so"
host_tool="$build/tests/integration/displaymode/displaymode_host_tool"
for f in "$renderer" "$counter" "$host_tool"; do
  [ -e "$f" ] || { echo "missing $f: build the project (with tests) first" >&2; exit 1; }
done

work=$(mktemp -d /tmp/miravel-dm-fps.XXXXXX)
pids=()
xvfb_pid=""
cleanup() {
  local p
  for p in "${pids[@]}"; do kill -TERM "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

exec 9> "$work/displayfd"
Xvfb -displayfd 9 -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 9>&-
for _ in $(seq 1 100); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/displayfd" | tr -d '[:space:]')"

"$host_tool" host "${size%x*}" "${size#*x}" > "$work/host" &
pids+=($!)
for _ in $(seq 1 50); do [ -s "$work/host" ] && break; sleep 0.1; done
host=$(cat "$work/host")

swaps() { od -An -t u8 "$1" | tr -d ' '; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

# measure LABEL DELAY-ARGS...: one renderer at a time, so they do not share the cores.
measure() {
  local label=$1 count="$work/count-$1" pid t0 t1 s0 s1 c0 c1
  shift
  head -c 8 /dev/zero > "$count"
  MIRAVEL_SWAP_COUNT_FILE="$count" LD_PRELOAD="$counter" "$renderer" --root --window-id "$host" "$@" &
  pid=$!
  pids+=("$pid")
  for _ in $(seq 1 150); do [ "$(swaps "$count")" -gt 0 ] && break; sleep 0.1; done
  sleep 2
  t0=$(date +%s.%N); s0=$(swaps "$count"); c0=$(cpu_ticks "$pid")
  sleep "$seconds"
  t1=$(date +%s.%N); s1=$(swaps "$count"); c1=$(cpu_ticks "$pid")
  kill -TERM "$pid"; wait "$pid" 2>/dev/null || true
  awk -v l="$label" -v t0="$t0" -v t1="$t1" -v s0="$s0" -v s1="$s1" -v c0="$c0" -v c1="$c1" -v hz="$hz" \
    'BEGIN { w = t1 - t0; printf "  %-22s %8.2f %14.2f\n", l, (s1 - s0) / w, (c1 - c0) / hz / w }'
}

echo "display mode into a ${size} window on Xvfb, $(nproc) cores, ${seconds} s each:"
printf "  %-22s %8s %14s\n" "--delay" "frames/s" "CPU s per s"
measure "16000 (default)"
measure "0 (no cap)" --delay 0
