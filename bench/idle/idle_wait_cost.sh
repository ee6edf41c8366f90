#!/usr/bin/env bash
# What miravel-idle costs while it waits: its CPU seconds (utime + stime of
# /proc/PID/stat) and resident memory (VmRSS now, VmHWM the peak) over a
# stretch of waiting with nobody at the keyboard and a delay longer than the
# stretch, on each test desktop this machine can start. It serves the idle
# inhibits on a private session bus, as it does on these desktops; on GNOME
# Shell and KWin it uses the desktop's own bus.
# Each desktop is one function, desktop_NAME, that starts it, calls measure
# and ends it; DESKTOPS lists them in order.
# Usage: bench/idle/idle_wait_cost.sh [BUILD_DIR] [--seconds N]   (default 60)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=""
seconds=60
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=${2:-}; shift 2 || { echo "--seconds needs a value" >&2; exit 2; } ;;
    --seconds=*) seconds=${1#--seconds=}; shift ;;
    -h|--help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) build=$1; shift ;;
  esac
done
[[ "$seconds" =~ ^[1-9][0-9]*$ ]] || { echo "--seconds wants a whole number of seconds, not '$seconds'" >&2; exit 2; }
build=$(cd "${build:-$source_dir/build}" 2>/dev/null && pwd) || { echo "no build folder" >&2; exit 1; }
[ -x "$build/miravel-idle" ] || { echo "missing $build/miravel-idle: build the project first" >&2; exit 1; }

# The test desktops' recipes, shared with the integration tests.
export MIRAVEL_BUILD=$build MIRAVEL_SOURCE=$source_dir
source "$source_dir/tests/integration/lib.sh"
source "$source_dir/tests/integration/wayland/wayland_lib.sh"
source "$source_dir/tests/integration/desktops/desktops_lib.sh"
DESKTOPS=(xvfb sway gnome kwin)

# The delay is longer than the stretch, so that no saver ever starts; the
# saver named is one that would do nothing if it did.
delay=$((seconds + 120))
IPID=""
BUS_PID=""
hz=$(getconf CLK_TCK)
AIM_CPU=0.05
AIM_MB=15

_bench_cleanup() {
  [ -n "$IPID" ] && kill -TERM "$IPID" 2>/dev/null && wait "$IPID" 2>/dev/null
  [ -n "$BUS_PID" ] && kill -TERM "$BUS_PID" 2>/dev/null
  stop_desktop
  _wayland_cleanup
}
trap _bench_cleanup EXIT

start_bus() {
  local out
  out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1 --nopidfile) || return 1
  export DBUS_SESSION_BUS_ADDRESS=$(echo "$out" | sed -n 1p)
  BUS_PID=$(echo "$out" | sed -n 2p)
}
stop_bus() {
  [ -n "$BUS_PID" ] && kill -TERM "$BUS_PID" 2>/dev/null
  BUS_PID=""
  unset DBUS_SESSION_BUS_ADDRESS
}

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
status_kb() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }

# measure LABEL: runs miravel-idle in the current environment, waits until it
# says what it watches, then prints one line of figures for the stretch.
measure() {
  local label=$1 log="$WORK/idle-$1.log"
  mkdir -p "$WORK/rt-$label"
  chmod 700 "$WORK/rt-$label"
  XDG_RUNTIME_DIR="$WORK/rt-$label" "$build/miravel-idle" --after "${delay}s" --saver /bin/true \
    >"$log" 2>&1 &
  IPID=$!
  local i
  for i in $(seq 1 100); do grep -q "watching " "$log" && break; sleep 0.1; done
  if ! grep -q "watching " "$log" || ! kill -0 "$IPID" 2>/dev/null; then
    printf '%-6s miravel-idle did not start watching:\n' "$label"
    sed 's/^/         /' "$log"
    kill -TERM "$IPID" 2>/dev/null; wait "$IPID" 2>/dev/null; IPID=""
    return 1
  fi
  sleep 0.5 # past the bus name's request and the first replies
  local c0 c1 start_cpu rss hwm
  c0=$(cpu_ticks "$IPID")
  sleep "$seconds"
  if ! kill -0 "$IPID" 2>/dev/null; then
    printf '%-6s miravel-idle ended while it waited:\n' "$label"
    sed 's/^/         /' "$log"
    wait "$IPID" 2>/dev/null; IPID=""
    return 1
  fi
  c1=$(cpu_ticks "$IPID")
  rss=$(status_kb "$IPID" VmRSS)
  hwm=$(status_kb "$IPID" VmHWM)
  kill -TERM "$IPID"
  wait "$IPID" 2>/dev/null
  IPID=""
  awk -v l="$label" -v c0="$c0" -v c1="$c1" -v hz="$hz" -v rss="$rss" -v hwm="$hwm" \
      -v aim_cpu="$AIM_CPU" -v aim_mb="$AIM_MB" -v s="$seconds" -v how="$(sed -n 's/.*watching \([^;]*\);.*/\1/p' "$log" | head -n1)" 'BEGIN {
    cpu = (c1 - c0) / hz
    printf "%-6s %-24s %6.2f CPU-s in %d s (start-up %.2f)  %s   RSS %5.1f MB, peak %5.1f MB  %s\n",
      l, how, cpu, s, c0 / hz, (cpu < aim_cpu ? "ok " : "OVER"), rss / 1024, hwm / 1024,
      (hwm / 1024 < aim_mb ? "ok" : "OVER")
  }'
}

# --- The desktops ------------------------------------------------------------
desktop_xvfb() {
  command -v Xvfb >/dev/null || { printf '%-6s skipped: Xvfb is not installed\n' xvfb; return 0; }
  start_xvfb 1920x1080
  start_bus || { echo "xvfb   no session bus could be started"; return 1; }
  WAYLAND_DISPLAY= measure xvfb
  local rc=$?
  stop_bus
  kill -TERM "$_XVFB_PID" 2>/dev/null; wait "$_XVFB_PID" 2>/dev/null; _XVFB_PID=""
  unset DISPLAY
  return $rc
}

desktop_sway() {
  local tool
  for tool in sway swaymsg setpriv; do
    command -v "$tool" >/dev/null || { printf '%-6s skipped: %s is not installed\n' sway "$tool"; return 0; }
  done
  start_sway
  start_bus || { echo "sway   no session bus could be started"; return 1; }
  DISPLAY= measure sway
  local rc=$?
  stop_bus
  stop_sway
  unset WAYLAND_DISPLAY
  return $rc
}

# GNOME Shell and KWin bring their own session bus: there the desktop
# serves the inhibits (GNOME) or miravel-idle does (a bare KWin).
desktop_gnome() {
  command -v gnome-shell >/dev/null || { printf '%-6s skipped: gnome-shell is not installed\n' gnome; return 0; }
  start_gnome || { echo "gnome  GNOME Shell did not come up"; stop_desktop; return 1; }
  DISPLAY= measure gnome
  local rc=$?
  stop_desktop
  unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
  return $rc
}

desktop_kwin() {
  command -v kwin_wayland >/dev/null || { printf '%-6s skipped: kwin_wayland is not installed\n' kwin; return 0; }
  [ -x "$FAKE_INPUT" ] || { printf '%-6s skipped: %s is not built\n' kwin "$FAKE_INPUT"; return 0; }
  start_kwin 1 || { echo "kwin   KWin did not come up"; stop_desktop; return 1; }
  DISPLAY= measure kwin
  local rc=$?
  stop_desktop
  unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
  return $rc
}

echo "miravel-idle waiting, $seconds s on each desktop, $(nproc) cores, CPU counted in steps of 1/$hz s; aim: under $AIM_CPU CPU-s and under $AIM_MB MB"
failed=0
for desktop in "${DESKTOPS[@]}"; do
  "desktop_$desktop" || failed=1
done
exit $failed
