#!/usr/bin/env bash
# miravel-idle serving org.freedesktop.ScreenSaver on a plain X11 session:
# an inhibit held by a client on the bus keeps the saver away; when that
# client leaves the bus (or takes it back) the saver starts a delay later;
# an inhibit taken while the saver runs leaves it running; the bus is
# hostile input that never grows its memory nor stops its answers.
source "$MIRAVEL_TEST_LIB"
source "$MIRAVEL_SOURCE/tests/integration/idle/idle_lib.sh"

start_xvfb 800x600
start_bus
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
make_stand_in

run_idle --after 2s --saver "$SAVER"
check "it serves the inhibits" said "serving the idle inhibits of org.freedesktop.ScreenSaver" 5
check "and owns the name" name_owned org.freedesktop.ScreenSaver

# A player inhibits at the path Firefox calls, and stays on the bus.
open_client player
reply=$(client player inhibit /ScreenSaver firefox "video playing")
check "Inhibit at /ScreenSaver answers a cookie ($reply)" bash -c "[[ '$reply' =~ ^cookie\ [1-9][0-9]*$ ]]"
input >/dev/null
check "while it is held the saver stays away" bash -c "sleep 4; [ \$(wc -l < '$STARTS') = 0 ]"
close_client player
left=$LEFT
check "when the player leaves the bus the saver starts" wait_starts 1 5
t1=$(start_time 1)
check "within the delay after it left ($left -> $t1)" between "$t1" "$left" "$(plus "$left" 3.5)"

# An inhibit taken while the saver runs leaves it running; released at the
# other path by its cookie, after the user's return, the delay counts again.
open_client vlc
reply=$(client vlc inhibit /org/freedesktop/ScreenSaver vlc film)
cookie=${reply#cookie }
check "a saver running when an inhibit comes stays" bash -c "sleep 0.5; kill -0 $(stand_in_pid)"
end_stand_in
check "held again: no start after the return" bash -c "sleep 3.5; [ \$(wc -l < '$STARTS') = 1 ]"
open_client stranger
client stranger uninhibit /ScreenSaver "$cookie" >/dev/null
check "(a stranger's UnInhibit leaves it held)" bash -c "sleep 3; [ \$(wc -l < '$STARTS') = 1 ]"
released=$(now)
reply=$(client vlc uninhibit /org/freedesktop/ScreenSaver "$cookie")
check "UnInhibit of its own cookie is done ($reply)" test "$reply" = done
check "then the saver starts" wait_starts 2 5
check "a full delay after the release" at_least "$(start_time 2)" "$(plus "$released" 2)"
end_stand_in

# The hostile bus: a 1 MB reason, an unknown cookie, 10,000 inhibits.
before=$(rss_kb "$IPID")
reply=$(client stranger big /ScreenSaver 1048576)
check "an Inhibit with a 1 MB reason is answered ($reply)" bash -c "[[ '$reply' =~ ^cookie ]]"
reply=$(client stranger uninhibit /ScreenSaver 4000000000)
check "UnInhibit of an unknown cookie is ignored ($reply)" test "$reply" = done
reply=$(client stranger flood /ScreenSaver 10000)
check "10,000 inhibits of one client: 63 more taken, the rest refused ($reply)" test "$reply" = "flood 63 9937"
check "the refusal is a D-Bus error naming the limit" \
  bash -c "[[ \"\$(echo 'inhibit /ScreenSaver a b' >&${_CLIENT_FD[stranger]}; sleep 0.5; tail -n1 '$WORK/stranger.out')\" == *LimitsExceeded* ]]"
open_client late
reply=$(client late inhibit /ScreenSaver other client)
check "another client is still answered ($reply)" bash -c "[[ '$reply' =~ ^cookie ]]"
after=$(rss_kb "$IPID")
echo "resident memory: $before kB before, $after kB after"
if ldd "$IDLE" | grep -q libasan; then
  # AddressSanitizer keeps freed memory in quarantine: resident memory says
  # nothing there, and its own reports tell of leaks.
  echo "(a sanitized build: the memory bound is not checked)"
else
  check "resident memory stays bounded ($before -> $after kB)" test "$after" -lt $((before + 4096))
  check "and under 30 MB" test "$after" -lt 30720
fi
close_client late
close_client stranger
close_client vlc

kill -TERM "$IPID"
check "SIGTERM ends it with 0" ends_with_zero "$IPID" 5
check "the name is given back" name_not_owned org.freedesktop.ScreenSaver
finish
