#!/usr/bin/env bash
# Frames per second of the Windows renderer under Wine beside the Linux
# renderer: one private Xvfb, the same screen size, one run each, the
# programs unchanged. Mesa's HUD (both draw through llvmpipe) counts the
# frames without drawing anything (GALLIUM_HUD_VISIBLE=false).
# Usage: bench/renderer/windows_vs_linux_fps.sh [LINUX_BUILD] [WINDOWS_BUILD] [SECONDS] [WIDTHxHEIGHT]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
linux_build=$(cd "${1:-$here/../../build}" && pwd)
windows_build=$(cd "${2:-$here/../../build-win64}" && pwd)
seconds=${3:-10}
size=${4:-1920x1080}
for f in "$linux_build/Miravel.dll" "$windows_build/Miravel.dll"; do
  [ -e "$f" ] || { echo "missing $f: build the project first" >&2; exit 1; }
done

work=$(mktemp -d /tmp/miravel-fps.XXXXXX)
xvfb_pid=""
pid=""
wine_up=0
cleanup() {
  set +e
  if [ -n "$pid" ]; then kill -TERM "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; fi
  if [ "$wine_up" = 1 ]; then
    timeout 10 wineserver -k >/dev/null 2>&1
    timeout 10 wineserver -w >/dev/null 2>&1
  fi
  if [ -n "$xvfb_pid" ]; then kill -TERM "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT

exec 9> "$work/displayfd"
Xvfb -displayfd 9 -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 9>&-
for _ in $(seq 1 100); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/displayfd" | tr -d '[:space:]')"

# Wine in a private prefix (or the one MIRAVEL_WINEPREFIX names), made ready
# before the clock starts.
export WINEPREFIX="${MIRAVEL_WINEPREFIX:-$work/prefix}" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
wine_up=1
mkdir -p "$WINEPREFIX"
HOME="$work" wineserver -p
HOME="$work" wine cmd /c exit </dev/null >/dev/null 2>&1
HOME="$work" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1

# measure NAME COMMAND...: runs the renderer for the warm-up and the
# measured seconds, then ends it with a key; prints the mean of the HUD's
# half-second frame rates after the warm-up.
measure() {
  local name=$1 dump="$work/hud-$1" warmup=2
  shift
  mkdir -p "$dump"
  xdotool mousemove 10 10
  GALLIUM_HUD=fps GALLIUM_HUD_PERIOD=0.5 GALLIUM_HUD_VISIBLE=false GALLIUM_HUD_DUMP_DIR="$dump" \
    HOME="$work" "$@" </dev/null >/dev/null 2>&1 &
  pid=$!
  sleep $((warmup + seconds + 1))
  xdotool key x
  wait "$pid" 2>/dev/null || true
  pid=""
  awk -v skip=$((warmup * 2 + 2)) -v n=$((seconds * 2)) -v name="$name" '
    NR > skip && NR <= skip + n { sum += $1; count++ }
    END { if (count == 0) { printf "%-28s no frames counted\n", name; exit 1 }
          printf "%-28s %8.1f\n", name, sum / count }' "$dump/fps"
}

echo "renderer at $size on Xvfb, $(nproc) cores, $seconds s each after a warm-up"
printf "%-28s %8s\n" "" "frames/s"
measure "Linux (X11, GLX)" "$linux_build/Miravel.dll"
measure "Windows under Wine (WGL)" wine "$windows_build/Miravel.dll"
