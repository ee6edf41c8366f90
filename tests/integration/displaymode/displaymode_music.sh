#!/usr/bin/env bash
# The music of display mode moves: of the launchers of one display exactly
# one plays, and when it ends another takes the music over from its start.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/displaymode_lib.sh"

start_xvfb 1280x720
export XDG_RUNTIME_DIR="$WORK/run"
mkdir -p "$XDG_RUNTIME_DIR"

# grows_within SECONDS FILE
grows_within() {
  local end=$((SECONDS + $1))
  while :; do
    grows "$2" >/dev/null && return 0
    [ $SECONDS -ge $end ] && break
  done
  echo "no sound in $(basename "$2") after $1 s (size $(size_of "$2"))"
  return 1
}

# --- Two monitors' launchers: the playing one's window goes, the other plays ---
host 640 360 || fail "the first host comes up"
HOST1=$HOST HOST1_PID=$HOST_PID
host 320 200 || fail "the second host comes up"
HOST2=$HOST HOST2_PID=$HOST_PID
launch "$HOST1"; L1=$LPID
sleep 2  # the first takes the lock
launch "$HOST2"; L2=$LPID
sleep 2.5
A1="$OUT/audio-$L1.raw" A2="$OUT/audio-$L2.raw"
check "two hosts: both launchers run" eval 'running $L1 && running $L2'
check "two hosts: the first plays" grows "$A1"
check "two hosts: the second is silent" test ! -e "$A2"
kill -TERM "$HOST1_PID"; wait "$HOST1_PID" 2>/dev/null
check "first host gone: its launcher ends within 2 s with 0" ends_with_zero "$L1" 2
check "first host gone: the second launcher's music starts within 3 s" grows_within 3 "$A2"
check "first host gone: the first's music has stopped" stops_growing "$A1"
sleep 2
check "first host gone: only one plays (exactly two files, one growing)" \
  eval 'test "$(audio_files | wc -l)" = 2 && grows "$A2" && stops_growing "$A1"'
check "first host gone: the second holds the tune from its start" heard_for "$A2" 1.5
check "first host gone: the second launcher still runs" running "$L2"
kill -TERM "$L2"
check "the second ends on SIGTERM with 0" ends_with_zero "$L2" 1
check "no renderer is left" gone_within 1 "$APP/Miravel.dll"
kill -TERM "$HOST2_PID"; wait "$HOST2_PID" 2>/dev/null

# --- A launcher started while the playing one is ending takes the music ---
rm -f "$OUT"/audio-*.raw
host 640 360
launch "$HOST"; L1=$LPID
sleep 3
A1="$OUT/audio-$L1.raw"
check "ending: the first plays" grows "$A1"
# The first is held (stopped) with the lock while the newcomer comes up, so
# the newcomer surely starts without the music and must take it later.
kill -STOP "$L1"
launch "$HOST"; L2=$LPID
A2="$OUT/audio-$L2.raw"
sleep 2.5
check "ending: the newcomer is silent while the first holds the music" test ! -e "$A2"
kill -TERM "$L1"
kill -CONT "$L1"
check "ending: the first ends with 0" ends_with_zero "$L1" 2
check "ending: the newcomer's music starts within 3 s" grows_within 3 "$A2"
check "ending: the newcomer holds the tune" eval 'sleep 1.5; heard_for "$A2" 1.0'
check "ending: the first's music has stopped" stops_growing "$A1"
kill -TERM "$L2"
check "ending: the newcomer ends on SIGTERM with 0" ends_with_zero "$L2" 1
kill -TERM "$HOST_PID"; wait "$HOST_PID" 2>/dev/null

finish
