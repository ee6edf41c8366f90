#!/usr/bin/env bash
# miravel-idle on a headless sway (org_kde_kwin_idle; sway 1.7 has no
# ext_idle_notifier_v1): the saver starts after the delay counted from the
# last seat input and again after the user's return; an inhibit held on the
# bus keeps it away until its client leaves; SIGTERM ends it with 0.
source "$MIRAVEL_TEST_LIB"
source "$MIRAVEL_SOURCE/tests/integration/wayland/wayland_lib.sh"
source "$MIRAVEL_SOURCE/tests/integration/idle/idle_lib.sh"
need_wayland_tools
# Both libraries end what they started.
trap '_idle_cleanup_pids; _wayland_cleanup' EXIT
_idle_cleanup_pids() {
  local pid
  [ -f "$STARTS" ] && for pid in $(cut -d' ' -f2 "$STARTS"); do kill -TERM "$pid" 2>/dev/null; done
  [ -n "$BUS_PID" ] && kill -TERM "$BUS_PID" 2>/dev/null
}

start_sway
start_bus
hold_keyboard
make_stand_in

# key_input: one key through the seat; prints when, taken just before.
key_input() { local t; t=$(now); wtype -k space; echo "$t"; }

run_idle --after 2s --saver "$SAVER"
check "it watches org_kde_kwin_idle" said "watching org_kde_kwin_idle" 5
check "and serves the inhibits" said "serving the idle inhibits" 5
sleep 0.5
last=$(key_input)
check "the saver starts after 2 s of idle" wait_starts 1 6
t1=$(start_time 1)
check "no sooner than 2 s after the last key ($last -> $t1)" between "$t1" "$(plus "$last" 2)" "$(plus "$last" 4)"

back=$(key_input)
kill -TERM "$(stand_in_pid)"
check "after the return it starts again" wait_starts 2 6
check "2 s after the return" at_least "$(start_time 2)" "$(plus "$back" 2)"

# An inhibit held by a client that stays on the bus.
open_client player
reply=$(client player inhibit /org/freedesktop/ScreenSaver mpv film)
check "Inhibit answers a cookie ($reply)" bash -c "[[ '$reply' =~ ^cookie ]]"
wtype -k space
kill -TERM "$(stand_in_pid)"
check "while it is held the saver stays away" bash -c "sleep 4; [ \$(wc -l < '$STARTS') = 2 ]"
close_client player
left=$LEFT
check "when its client leaves the bus the saver starts" wait_starts 3 5
check "within the delay after it left" between "$(start_time 3)" "$left" "$(plus "$left" 3.5)"

kill -TERM "$IPID"
check "SIGTERM ends miravel-idle with 0" ends_with_zero "$IPID" 5
check "the name is given back" name_not_owned org.freedesktop.ScreenSaver
finish
