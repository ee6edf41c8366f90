#!/usr/bin/env bash
# Where the desktop serves org.freedesktop.ScreenSaver (a stand-in for KDE's
# session here), miravel-idle leaves the name to it and asks KDE's
# PolicyAgent before each start: while it says inhibited, no saver starts,
# and it is asked again a delay later.
source "$MIRAVEL_TEST_LIB"
source "$MIRAVEL_SOURCE/tests/integration/idle/idle_lib.sh"

start_xvfb 800x600
start_bus
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
make_stand_in

open_client kde
echo "kde true" >&"${_CLIENT_FD[kde]}"
check "the stand-in desktop owns the names" bash -c \
  "for i in \$(seq 100); do grep -qx owned '$WORK/kde.out' && exit 0; sleep 0.05; done; exit 1"

run_idle --after 2s --saver "$SAVER"
check "it leaves the name to the desktop" said "served by the desktop" 5
input >/dev/null
check "the desktop is asked about the screen's idle handling (4)" bash -c \
  "for i in \$(seq 100); do grep -qx 'asked 4' '$WORK/kde.out' && exit 0; sleep 0.05; done; exit 1"
check "while it says inhibited no saver starts" bash -c "sleep 2.5; [ \$(wc -l < '$STARTS') = 0 ]"
check "and it is asked again a delay later" test "$(grep -c '^asked' "$WORK/kde.out")" -ge 2
client kde held false >/dev/null
check "once it says free the saver starts" wait_starts 1 4

kill -TERM "$IPID"
check "SIGTERM ends it with 0" ends_with_zero "$IPID" 5
check "the desktop still owns the name" name_owned org.freedesktop.ScreenSaver
finish
