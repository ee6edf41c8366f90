#!/usr/bin/env bash
# What miravel-idle refuses or says at once: an XScreenSaver daemon on the
# display, a second instance, a bad delay, no idle source, no saver; with
# no session bus it still starts savers on X11 and serves no inhibits; its
# --install and --remove leave the autostart folder as they found it.
source "$MIRAVEL_TEST_LIB"
source "$MIRAVEL_SOURCE/tests/integration/idle/idle_lib.sh"

start_xvfb 800x600
start_bus
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
make_stand_in

# ends_with CODE SECONDS TEXT ARGS...: miravel-idle ends with CODE within
# SECONDS and says TEXT.
ends_with() {
  local code=$1 limit=$2 text=$3
  shift 3
  timeout "$limit" "$IDLE" "$@" >"$WORK/out" 2>&1
  local got=$?
  [ "$got" = "$code" ] || { echo "exit code $got"; cat "$WORK/out"; return 1; }
  grep -qF -- "$text" "$WORK/out" || { echo "not said: $text"; cat "$WORK/out"; return 1; }
}

check "--after nonsense ends with 2 and says why" ends_with 2 5 "'nonsense' is no delay" --after nonsense
check "--after 0 ends with 2" ends_with 2 5 "at least one second" --after 0
check "an unknown option ends with 2" ends_with 2 5 "unknown option '--bogus'" --bogus
check "--help prints the usage with 0" ends_with 0 5 "Usage: miravel-idle" --help
check "a saver that is not there ends with 1" ends_with 1 5 "is no program" --saver "$WORK/none"

# XScreenSaver's property on the root (Xvfb runs with -noreset, so it stays
# after xprop leaves).
xprop -root -f _SCREENSAVER_VERSION 8s -set _SCREENSAVER_VERSION "6.06"
check "with XScreenSaver on the display it refuses with 1" \
  ends_with 1 5 "miravel-xscreensaver-setup" --after 2s --saver "$SAVER"
check "naming XScreenSaver" grep -q "XScreenSaver runs on this display" "$WORK/out"
xprop -root -remove _SCREENSAVER_VERSION

timeout 5 env -u DISPLAY -u WAYLAND_DISPLAY "$IDLE" --saver "$SAVER" >"$WORK/none.out" 2>&1
code=$?
check "with no display at all it ends with 1 ($code)" test "$code" = 1
check "naming the Mutter monitor, Wayland and X as looked for" \
  grep -q "org.gnome.Mutter.IdleMonitor.*Wayland display.*X display" "$WORK/none.out"

# A second instance in the same session says so and ends with 0 at once.
run_idle --after 2s --saver "$SAVER"
check "the first one is up" said "watching MIT-SCREEN-SAVER" 5
check "a second one ends with 0 at once" ends_with 0 2 "already running" --after 2s --saver "$SAVER"
kill -TERM "$IPID"
check "the first one ends with 0" ends_with_zero "$IPID" 5

# No session bus: no address, no socket in the runtime folder.
: > "$WORK/idle.log"
: > "$STARTS"
(
  unset DBUS_SESSION_BUS_ADDRESS
  export XDG_RUNTIME_DIR="$WORK/runtime-nobus"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  exec "$IDLE" --after 2s --saver "$SAVER"
) >>"$WORK/idle.log" 2>&1 &
IPID=$!
track "$IPID"
check "without a session bus it says it serves no inhibits" said "no session bus: serving no idle inhibits" 5
input >/dev/null
check "and still starts the saver" wait_starts 1 6
kill -TERM "$IPID"
check "then ends with 0" ends_with_zero "$IPID" 5

# The autostart entry, through the program.
export XDG_CONFIG_HOME="$WORK/config"
mkdir -p "$XDG_CONFIG_HOME/autostart"
echo "[Desktop Entry]" > "$XDG_CONFIG_HOME/autostart/other.desktop"
before=$(ls -l --time-style=full-iso "$XDG_CONFIG_HOME/autostart")
check "--install writes the entry" ends_with 0 5 "wrote $XDG_CONFIG_HOME/autostart/miravel-idle.desktop" --install --after 5m
check "whose Exec runs this program with the options" \
  grep -qx "Exec=$IDLE --after 5m" "$XDG_CONFIG_HOME/autostart/miravel-idle.desktop"
check "--install again changes nothing" ends_with 0 5 "already there" --install --after 5m
check "--remove deletes it" ends_with 0 5 "removed" --remove
check "--remove again is fine" ends_with 0 5 "was not there" --remove
after=$(ls -l --time-style=full-iso "$XDG_CONFIG_HOME/autostart")
check "the folder is as it was" test "$before" = "$after"
finish
