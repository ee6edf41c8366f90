#!/usr/bin/env bash
# The real saver started by miravel-idle on Xvfb: with no --saver it runs
# the Miravel.scr beside itself as "Miravel.scr /s"; the curtains come no
# sooner than the delay after the last input, a key ends them, and 2 s more
# of idle bring them back.
source "$MIRAVEL_TEST_LIB"
source "$MIRAVEL_SOURCE/tests/integration/idle/idle_lib.sh"

start_xvfb 800x600
start_bus
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
APP="$WORK/app"
mkdir -p "$APP"
cp "$MIRAVEL_BUILD/miravel-idle" "$MIRAVEL_BUILD/Miravel.scr" "$MIRAVEL_BUILD/Miravel.dll" "$APP/"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/audio.raw"

# Times on the clock of /proc: seconds since boot. uptime: now;
# started_at PID: that process's own start (clock ticks in /proc/PID/stat).
uptime() { cut -d' ' -f1 /proc/uptime; }
started_at() {
  local ticks
  ticks=$(awk '{ sub(/.*\) /, ""); split($0, f, " "); print f[20] }' "/proc/$1/stat")
  awk -v t="$ticks" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.6f\n", t / hz }'
}
# touch_input: one input; LAST holds when, on the same clock.
touch_input() { LAST=$(uptime); xdotool mousemove_relative -- 1 0; }
# launcher_pid: the Miravel.scr that miravel-idle started.
launcher_pid() { pgrep -P "$IPID" -f "Miravel.scr /s" | head -n1; }

"$APP/miravel-idle" --after 2s >>"$WORK/idle.log" 2>&1 &
IPID=$!
track "$IPID"
check "it picks the Miravel.scr beside itself" said "$APP/Miravel.scr starts after 2 s" 5
touch_input
last=$LAST
check "the curtains come" window_up KelvaraVC 8
launcher=$(launcher_pid)
check "started as Miravel.scr /s by miravel-idle" test -n "$launcher"
if [ -n "$launcher" ]; then
  t=$(started_at "$launcher")
  # /proc's start time is in clock ticks: a tick of slack.
  check "no sooner than 2 s after the last input ($last -> $t)" at_least "$t" "$(plus "$last" 1.99)"
fi
sleep 1
screenshot "$WORK/curtains.png"
brightness=$(mean_brightness "$WORK/curtains.png")
check "curtains on the screen (mean brightness $brightness)" test "$brightness" -ge 8

back=$(uptime)
xdotool key space
check "a key ends them" wait_no_window KelvaraVC 5
check "the launcher ends too" bash -c "for i in \$(seq 50); do kill -0 $launcher 2>/dev/null || exit 0; sleep 0.1; done; exit 1"
check "2 s more of idle bring them back" window_up KelvaraVC 8
again=$(launcher_pid)
[ -n "$again" ] && check "a full delay after the key" at_least "$(started_at "$again")" "$(plus "$back" 1.99)"
xdotool key space
check "a key ends them again" wait_no_window KelvaraVC 5

kill -TERM "$IPID"
check "SIGTERM ends miravel-idle with 0" ends_with_zero "$IPID" 5
finish
