#!/usr/bin/env bash
# Installs what is missing, builds, and starts a saver run.
# With a display the saver runs until you press a key or move the mouse.
# Without one (no DISPLAY) it runs on a private Xvfb for a few seconds and
# saves a screenshot in build/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")"

scripts/deps.sh build run

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"

start_saver() {
  if [ -x build/Miravel.scr ]; then
    build/Miravel.scr /s &
  else
    build/Miravel.dll &
  fi
  SAVER_PID=$!
}

if [ -n "${DISPLAY:-}" ]; then
  start_saver
  wait "$SAVER_PID"
  exit $?
fi

echo "No DISPLAY: running the saver on a private Xvfb at 1920x1080."
fdfile=$(mktemp)
exec 9> "$fdfile"
Xvfb -displayfd 9 -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
exec 9>&-
SAVER_PID=""
finish() {
  [ -n "$SAVER_PID" ] && kill "$SAVER_PID" 2>/dev/null || true
  pkill -TERM -f "$(pwd)/build/Miravel.dll" 2>/dev/null || true
  kill "$XVFB_PID" 2>/dev/null || true
  rm -f "$fdfile"
}
trap finish EXIT
for _ in $(seq 1 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$fdfile")"

start_saver
sleep 5
xwd -root -silent | convert xwd:- build/screenshot.png
# End the run as a user would: a key press ends the renderer, and the
# launcher follows once the renderer's window is gone.
if command -v xdotool >/dev/null 2>&1; then xdotool key space 2>/dev/null || true; fi
for _ in $(seq 1 30); do kill -0 "$SAVER_PID" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$SAVER_PID" 2>/dev/null; then
  echo "The saver did not end after the key press; ending it."
else
  code=0
  wait "$SAVER_PID" || code=$?
  echo "The saver run ended after the key press (exit code $code)."
fi
echo "Screenshot of the running saver: $(pwd)/build/screenshot.png"
