#!/usr/bin/env bash
# miravel-idle on a plain X11 session (Xvfb): the saver starts after the
# delay counted from the last input, one at a time; after the user's return
# it needs the delay again; a saver that ends with no input waits for the
# user; SIGTERM ends miravel-idle with 0 and leaves the saver running.
source "$MIRAVEL_TEST_LIB"
source "$MIRAVEL_SOURCE/tests/integration/idle/idle_lib.sh"

start_xvfb 800x600
start_bus
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
make_stand_in

last=$(input)
run_idle --after 2s --saver "$SAVER"
check "it says what it watches" said "watching MIT-SCREEN-SAVER" 5
# Input while it waits puts the start off.
sleep 1
last=$(input)
check "the saver starts after 2 s of idle" wait_starts 1 6
t1=$(start_time 1)
check "no sooner than 2 s after the last input ($last -> $t1)" at_least "$t1" "$(plus "$last" 2)"
check "and not much later" between "$t1" "$last" "$(plus "$last" 4)"
check "as 'PATH /s'" grep -q " /s\$" "$STARTS"
check "one saver at a time while it runs" bash -c "sleep 3; [ \$(wc -l < '$STARTS') = 1 ]"

# The user returns: the saver ends; 2 s more of idle start it again.
sleep 0.3
back=$(now)
end_stand_in
check "after the return it starts again" wait_starts 2 6
t2=$(start_time 2)
check "2 s after the return ($back -> $t2)" between "$t2" "$(plus "$back" 2)" "$(plus "$back" 4)"

# A saver that ends on its own with no input is not started over and over.
kill -TERM "$(stand_in_pid)"
check "a saver ending with no input waits for the user" bash -c "sleep 3.5; [ \$(wc -l < '$STARTS') = 2 ]"
back=$(input)
check "the user's next input arms it again" wait_starts 3 6
t3=$(start_time 3)
check "2 s after that input" at_least "$t3" "$(plus "$back" 2)"

# SIGTERM: miravel-idle ends with 0, the saver stays for its user.
saver=$(stand_in_pid)
kill -TERM "$IPID"
check "SIGTERM ends miravel-idle with 0" ends_with_zero "$IPID" 5
check "the running saver is left to its user" running "$saver"
check "the inhibit name is given back" name_not_owned org.freedesktop.ScreenSaver
finish
