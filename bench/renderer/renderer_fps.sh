#!/usr/bin/env bash
# Frames per second and CPU seconds per frame of the whole renderer on a
# private Xvfb at 1920x1080, the renderer unchanged: a preloaded library
# counts its buffer swaps. MIRAVEL_BENCH_MONITORS, a list of xrandr monitor
# geometries (W/MMxH/MM+X+Y), splits the screen into those monitors first.
# Usage: bench/renderer/renderer_fps.sh [BUILD_DIR] [SECONDS] [WIDTHxHEIGHT]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
seconds=${2:-10}
size=${3:-1920x1080}
renderer="$build/Miravel.dll"
counter="$build/bench/renderer/libmiravel_swap_counter.so"
for f in "$renderer" "$counter"; do
  [ -e "$f" ] || { echo "missing $f: build the project first" >&2; exit 1; }
done

work=$(mktemp -d /tmp/miravel-fps.XXXXXX)
xvfb_pid=""
renderer_pid=""
cleanup() {
  [ -n "$renderer_pid" ] && kill -TERM "$renderer_pid" 2>/dev/null && wait "$renderer_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

exec 9> "$work/displayfd"
# -noreset: the monitors set below outlive xrandr's connection.
Xvfb -displayfd 9 -screen 0 "${size}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
exec 9>&-
for _ in $(seq 1 100); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/displayfd" | tr -d '[:space:]')"
monitors=0
for geometry in ${MIRAVEL_BENCH_MONITORS:-}; do
  monitors=$((monitors + 1))
  xrandr --setmonitor "bench$monitors" "$geometry" none
done

head -c 8 /dev/zero >"$work/count"
MIRAVEL_SWAP_COUNT_FILE="$work/count" LD_PRELOAD="$counter" "$renderer" &
renderer_pid=$!

swaps() { od -An -t u8 "$work/count" | tr -d ' '; }
# utime + stime in clock ticks (all threads of the process)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

for _ in $(seq 1 150); do [ "$(swaps)" -gt 0 ] && break; sleep 0.1; done
sleep 2  # warm up past context creation and the first frames

t0=$(date +%s.%N); s0=$(swaps); r0=$(cpu_ticks "$renderer_pid"); x0=$(cpu_ticks "$xvfb_pid")
sleep "$seconds"
t1=$(date +%s.%N); s1=$(swaps); r1=$(cpu_ticks "$renderer_pid"); x1=$(cpu_ticks "$xvfb_pid")
hz=$(getconf CLK_TCK)

awk -v t0="$t0" -v t1="$t1" -v s0="$s0" -v s1="$s1" -v r0="$r0" -v r1="$r1" \
    -v x0="$x0" -v x1="$x1" -v hz="$hz" -v size="$size" -v cores="$(nproc)" -v monitors="${MIRAVEL_BENCH_MONITORS:-one monitor}" 'BEGIN {
  frames = s1 - s0; wall = t1 - t0
  if (frames <= 0) { print "no frames were drawn"; exit 1 }
  printf "renderer at %s (%s) on Xvfb, %d cores: %d frames in %.2f s\n", size, monitors, cores, frames, wall
  printf "  frames per second:              %.2f\n", frames / wall
  printf "  renderer CPU seconds per frame: %.4f (%.0f%% of one core)\n", (r1 - r0) / hz / frames, 100 * (r1 - r0) / hz / wall
  printf "  Xvfb CPU seconds per frame:     %.4f\n", (x1 - x0) / hz / frames
}'
