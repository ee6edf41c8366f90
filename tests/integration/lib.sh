# Shared helpers for the integration tests. Source it from a test script:
#   source "$MIRAVEL_TEST_LIB"
# Every test runs on its own private Xvfb; everything it starts is ended on exit.
set -u

: "${MIRAVEL_BUILD:?run through ctest, or set MIRAVEL_BUILD to the build folder}"
MIRAVEL_SOURCE=${MIRAVEL_SOURCE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}

TEST_NAME=$(basename "$0" .sh)
WORK=$(mktemp -d "/tmp/miravel-${TEST_NAME}.XXXXXX")
_PIDS=()
_XVFB_PID=""
_FAILED=0
_CHECKS=0

cleanup() {
  local pid
  for pid in "${_PIDS[@]}"; do
    kill -TERM "$pid" 2>/dev/null
  done
  sleep 0.2
  for pid in "${_PIDS[@]}"; do
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  if [ -n "$_XVFB_PID" ]; then
    kill -TERM "$_XVFB_PID" 2>/dev/null
    wait "$_XVFB_PID" 2>/dev/null
  fi
  if [ "${KEEP_WORK:-0}" = 1 ] || [ "$_FAILED" -ne 0 ]; then
    echo "work files kept in $WORK"
  else
    rm -rf "$WORK"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Remember a background process so that cleanup ends it.
track() { _PIDS+=("$1"); }

# start_xvfb [WIDTHxHEIGHT]  (default 1920x1080): exports DISPLAY.
start_xvfb() {
  local size=${1:-1920x1080} fdfile="$WORK/displayfd"
  exec 9> "$fdfile"
  # 96 dpi, as an X.Org desktop reports by default (Xvfb alone says 100).
  Xvfb -displayfd 9 -screen 0 "${size}x24" -dpi 96 -nolisten tcp -noreset >"$WORK/xvfb.log" 2>&1 &
  _XVFB_PID=$!
  exec 9>&-
  local i
  for i in $(seq 1 100); do
    if [ -s "$fdfile" ]; then
      export DISPLAY=":$(head -n1 "$fdfile" | tr -d '[:space:]')"
      xdpyinfo >/dev/null 2>&1 && return 0
    fi
    sleep 0.1
  done
  echo "Xvfb did not start"; cat "$WORK/xvfb.log"; exit 1
}

# Checks. Each prints one line; the script's exit code is 1 if any failed.
pass() { _CHECKS=$((_CHECKS + 1)); echo "ok: $*"; }
fail() { _CHECKS=$((_CHECKS + 1)); _FAILED=$((_FAILED + 1)); echo "FAIL: $*"; }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
finish() {
  echo "$TEST_NAME: $((_CHECKS - _FAILED)) of $_CHECKS checks passed"
  [ "$_CHECKS" -gt 0 ] || { echo "no checks ran"; exit 1; }
  [ "$_FAILED" -eq 0 ]
  exit $?
}

# find_window TITLE: prints the id of a window whose name is exactly TITLE.
find_window() { xdotool search --name "^$(printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g')\$" 2>/dev/null | head -n1; }

# wait_window TITLE [SECONDS]: waits until such a window exists; prints its id.
wait_window() {
  local title=$1 limit=${2:-10} id end=$((SECONDS + ${2:-10}))
  while [ $SECONDS -le $end ]; do
    id=$(find_window "$title")
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# window_up TITLE [SECONDS]: wait_window without printing the id (for check).
window_up() { wait_window "$@" >/dev/null; }

# wait_no_window TITLE [SECONDS]
wait_no_window() {
  local end=$((SECONDS + ${2:-10}))
  while [ $SECONDS -le $end ]; do
    [ -z "$(find_window "$1")" ] && return 0
    sleep 0.1
  done
  return 1
}

# wait_exit PID [SECONDS]: waits for a tracked child to end; its exit code is in EXIT_CODE.
EXIT_CODE=""
wait_exit() {
  local pid=$1 limit=${2:-10} waited=0
  while kill -0 "$pid" 2>/dev/null; do
    # a zombie still answers kill -0; check its state
    if [ "$(ps -o stat= -p "$pid" 2>/dev/null | cut -c1)" = Z ]; then break; fi
    sleep 0.1
    waited=$((waited + 1))
    [ $waited -ge $((limit * 10)) ] && return 1
  done
  wait "$pid" 2>/dev/null
  EXIT_CODE=$?
  return 0
}

# running PID: the process is alive and not a zombie.
running() {
  kill -0 "$1" 2>/dev/null && [ "$(ps -o stat= -p "$1" 2>/dev/null | cut -c1)" != Z ]
}

# ends_with_zero PID SECONDS: a child of this shell ends within SECONDS with
# exit code 0.
ends_with_zero() {
  wait_exit "$1" "$2" || { echo "still running after $2 s"; return 1; }
  [ "$EXIT_CODE" = 0 ] || { echo "exit code $EXIT_CODE"; return 1; }
}

# seen_within SECONDS WANT CMD...: runs CMD, which prints what it sees, until
# it prints WANT or SECONDS have passed. SEEN holds the last thing printed.
seen_within() {
  local end=$((SECONDS + $1)) want=$2
  shift 2
  while :; do
    SEEN=$("$@")
    [ "$SEEN" = "$want" ] && return 0
    [ $SECONDS -ge $end ] && return 1
    sleep 0.1
  done
}

# screenshot FILE.png: the whole root window.
screenshot() { xwd -root -silent | convert xwd:- "$1"; }

# window_shot ID FILE.png: the part of the screen a window covers.
window_shot() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xwd -root -silent | convert xwd:- -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
}

# pixel FILE X Y: prints "R G B" (0-255) of one pixel.
pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:; }

# mean_brightness FILE: prints the mean of all channels, 0-255.
mean_brightness() { convert "$1" -colorspace gray -format "%[fx:int(255*mean)]" info:; }

# size_of FILE: its size in bytes; 0 when it is not there.
size_of() { stat -c %s "$1" 2>/dev/null || echo 0; }

# stops_growing FILE: it exists, is not empty and does not grow any more.
stops_growing() {
  local before after
  before=$(size_of "$1")
  sleep 0.6
  after=$(size_of "$1")
  [ "$before" -gt 0 ] && [ "$before" = "$after" ] || { echo "size $before then $after"; return 1; }
}

# Settings files. The key names as the launcher writes them: the
# code-page-932 bytes of "BGM区分", "BGMﾘﾋﾟｰﾄ" and "BGMﾌｧｲﾙ".
KEY_KIND=$'\x42\x47\x4D\x8B\xE6\x95\xAA'
KEY_REPEAT=$'\x42\x47\x4D\xD8\xCB\xDF\xB0\xC4'
KEY_FILE=$'\x42\x47\x4D\xCC\xA7\xB2\xD9'

# write_ini KIND REPEAT FILE: prints a settings file with the three values
# written as given.
write_ini() { printf '[Section]\r\n%s=%s\r\n%s=%s\r\n%s=%s\r\n' "$KEY_KIND" "$1" "$KEY_REPEAT" "$2" "$KEY_FILE" "$3"; }

# write_settings KIND REPEAT FILE: $APP/Miravel.ini as the settings dialog
# writes it (a number after a blank).
write_settings() { write_ini " $1" " $2" "$3" > "$APP/Miravel.ini"; }
