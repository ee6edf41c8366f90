#!/usr/bin/env bash
# Frames per second of the renderer's Wayland shell beside its X11 shell at
# the same size, in one run: first on a headless sway with one output of
# that size (native xdg-shell view, EGL), then on a private Xvfb (GLX). A
# preloaded library counts buffer swaps. The Wayland shell is paced by the
# compositor's frame callbacks (60 Hz on a headless output), the X11 one
# draws back to back, so the CPU per frame says more than the rate alone.
# sway refuses root: as root it runs as the user nobody.
# Usage: bench/renderer/wayland_vs_x11_fps.sh [BUILD_DIR] [SECONDS] [WIDTHxHEIGHT]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
seconds=${2:-10}
size=${3:-1280x720}
renderer="$build/Miravel.dll"
counter="$build/bench/renderer/libmiravel_swap_counter.so"
for f in "$renderer" "$counter"; do
  [ -e "$f" ] || { echo "missing $f: build the project first" >&2; exit 1; }
done
for tool in sway swaymsg Xvfb setpriv; do
  command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 1; }
done

work=$(mktemp -d /tmp/miravel-wlfps.XXXXXX)
chmod 755 "$work"
sway_pid=""
xvfb_pid=""
renderer_pid=""
cleanup() {
  [ -n "$renderer_pid" ] && kill -TERM "$renderer_pid" 2>/dev/null && wait "$renderer_pid" 2>/dev/null
  if [ -n "$sway_pid" ]; then
    SWAYSOCK=$(ls "$work"/rt/sway-ipc.*.sock 2>/dev/null | head -n1) swaymsg exit >/dev/null 2>&1 || true
    sleep 0.3
    kill -KILL "$sway_pid" 2>/dev/null || true
    wait "$sway_pid" 2>/dev/null || true
  fi
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

swaps() { od -An -t u8 "$work/count" | tr -d ' '; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# measure LABEL SERVER_PID: runs the renderer in the current environment and
# prints one line of figures.
measure() {
  local label=$1 server=$2
  head -c 8 /dev/zero >"$work/count"
  MIRAVEL_SWAP_COUNT_FILE="$work/count" LD_PRELOAD="$counter" XDG_RUNTIME_DIR="$work/own" \
    "$renderer" </dev/null >/dev/null 2>&1 &
  renderer_pid=$!
  for _ in $(seq 1 150); do [ "$(swaps)" -gt 0 ] && break; sleep 0.1; done
  sleep 2  # past context creation and the first frames
  local t0 s0 r0 x0 t1 s1 r1 x1
  t0=$(date +%s.%N); s0=$(swaps); r0=$(cpu_ticks "$renderer_pid"); x0=$(cpu_ticks "$server")
  sleep "$seconds"
  t1=$(date +%s.%N); s1=$(swaps); r1=$(cpu_ticks "$renderer_pid"); x1=$(cpu_ticks "$server")
  kill -TERM "$renderer_pid"
  wait "$renderer_pid" 2>/dev/null || true
  renderer_pid=""
  awk -v l="$label" -v t0="$t0" -v t1="$t1" -v s0="$s0" -v s1="$s1" -v r0="$r0" -v r1="$r1" \
      -v x0="$x0" -v x1="$x1" -v hz="$(getconf CLK_TCK)" 'BEGIN {
    f = s1 - s0; w = t1 - t0
    if (f <= 0) { printf "%-8s no frames were drawn\n", l; exit }
    printf "%-8s %8.2f fps  renderer %.4f CPU s/frame (%3.0f%% of a core)  server %.4f CPU s/frame\n",
      l, f / w, (r1 - r0) / hz / f, 100 * (r1 - r0) / hz / w, (x1 - x0) / hz / f
  }'
}

mkdir -p "$work/rt" "$work/home" "$work/own"
chmod 700 "$work/rt" "$work/own"
printf 'default_border none\noutput * bg #000000 solid_color\n' >"$work/sway.conf"
run_sway=(sway -c "$work/sway.conf")
if [ "$(id -u)" = 0 ]; then
  chown nobody:nogroup "$work/rt" "$work/home"
  run_sway=(setpriv --reuid=nobody --regid=nogroup --clear-groups "${run_sway[@]}")
fi
env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/rt" WLR_BACKENDS=headless \
  WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 "${run_sway[@]}" >"$work/sway.log" 2>&1 &
sway_pid=$!
for _ in $(seq 1 100); do ls "$work"/rt/sway-ipc.*.sock >/dev/null 2>&1 && break; sleep 0.1; done
SWAYSOCK=$(ls "$work"/rt/sway-ipc.*.sock | head -n1)
export SWAYSOCK
for _ in $(seq 1 50); do swaymsg -t get_version >/dev/null 2>&1 && break; sleep 0.1; done
swaymsg output HEADLESS-1 mode "$size" >/dev/null

echo "renderer at $size, $(nproc) cores, $seconds s each"
WAYLAND_DISPLAY=$(ls "$work"/rt/wayland-* | grep -v lock | head -n1) measure Wayland "$sway_pid"
swaymsg exit >/dev/null 2>&1 || true
wait "$sway_pid" 2>/dev/null || true
sway_pid=""

exec 9>"$work/displayfd"
Xvfb -displayfd 9 -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 9>&-
for _ in $(seq 1 100); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
DISPLAY=":$(head -n1 "$work/displayfd" | tr -d '[:space:]')" WAYLAND_DISPLAY= measure X11 "$xvfb_pid"
