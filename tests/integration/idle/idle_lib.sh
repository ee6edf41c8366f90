# Helpers for the idle starter's tests (after lib.sh): a private session
# bus, a stand-in saver that records its starts, miravel-idle itself, and
# bus clients that stay on the bus.
IDLE="$MIRAVEL_BUILD/miravel-idle"
BUS_CLIENT="$MIRAVEL_SOURCE/tests/integration/idle/bus_client.py"
BUS_PID=""
IPID=""
STARTS="$WORK/starts"
SAVER="$WORK/stand-in-saver"

_idle_cleanup() {
  local pid
  for pid in "${_PIDS[@]}"; do kill -TERM "$pid" 2>/dev/null; done
  # Stand-in savers a case left behind (miravel-idle leaves its saver to
  # the user), by the pids they wrote down.
  [ -f "$STARTS" ] && for pid in $(cut -d' ' -f2 "$STARTS"); do kill -TERM "$pid" 2>/dev/null; done
  [ -n "$BUS_PID" ] && kill -TERM "$BUS_PID" 2>/dev/null
  cleanup
}
trap _idle_cleanup EXIT

# now: seconds since the epoch, with fractions.
now() { date +%s.%N; }

# start_bus: a private session bus for this test, ended at exit.
start_bus() {
  local out
  out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1 --nopidfile) || {
    echo "no session bus could be started"; exit 1; }
  export DBUS_SESSION_BUS_ADDRESS=$(echo "$out" | sed -n 1p)
  BUS_PID=$(echo "$out" | sed -n 2p)
}

# make_stand_in: a saver that appends "START-TIME PID ARGS" to $STARTS and
# then waits until it is sent SIGTERM (its user's return, as far as tests go).
make_stand_in() {
  : > "$STARTS"
  cat > "$SAVER" <<SCRIPT
#!/bin/sh
echo "\$(date +%s.%N) \$\$ \$*" >> "$STARTS"
trap 'kill \$! 2>/dev/null; exit 0' TERM
sleep 600 &
wait
SCRIPT
  chmod +x "$SAVER"
}

# starts: how many times the stand-in started.
starts() { wc -l < "$STARTS"; }
# start_time N: when the stand-in started the Nth time.
start_time() { sed -n "${1}p" "$STARTS" | cut -d' ' -f1; }
# stand_in_pid: the pid of the latest stand-in while it runs.
stand_in_pid() {
  local pid
  pid=$(tail -n1 "$STARTS" | cut -d' ' -f2)
  [ -n "$pid" ] && running "$pid" && echo "$pid"
}
# end_stand_in: the user returns: a key, then the stand-in ends.
end_stand_in() {
  xdotool key shift
  local pid
  pid=$(stand_in_pid)
  [ -n "$pid" ] && kill -TERM "$pid"
}

# wait_starts N SECONDS: the stand-in has started N times.
wait_starts() {
  local end=$(($(date +%s%N) + $2 * 1000000000))
  while [ "$(starts)" -lt "$1" ]; do
    [ "$(date +%s%N)" -ge "$end" ] && return 1
    sleep 0.05
  done
}

# run_idle ARGS...: miravel-idle in the background; pid in IPID, output in
# $WORK/idle.log.
run_idle() {
  "$IDLE" "$@" >>"$WORK/idle.log" 2>&1 &
  IPID=$!
  track "$IPID"
}

# said TEXT SECONDS: miravel-idle's output holds TEXT within SECONDS.
said() {
  local end=$((SECONDS + $2))
  while ! grep -qF -- "$1" "$WORK/idle.log" 2>/dev/null; do
    [ $SECONDS -ge $end ] && { echo "not said: $1"; cat "$WORK/idle.log"; return 1; }
    sleep 0.05
  done
}

# at_least A B: A >= B, as decimals.
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }
# between X LOW HIGH: LOW <= X <= HIGH.
between() { awk -v x="$1" -v l="$2" -v h="$3" 'BEGIN { exit !(x >= l && x <= h) }'; }

# input: one input event now (a relative pointer move, which every idle
# counter sees); prints when it was sent, taken just before.
input() {
  local t
  t=$(now)
  xdotool mousemove_relative -- 1 0
  echo "$t"
}

# open_client NAME: a bus client on fd pair; its replies in $WORK/NAME.out.
# Commands go with `client NAME COMMAND...`, which waits for the reply.
declare -A _CLIENT_FD _CLIENT_PID
open_client() {
  local name=$1 fd
  mkfifo "$WORK/$name.in"
  /usr/bin/python3 "$BUS_CLIENT" <"$WORK/$name.in" >"$WORK/$name.out" 2>&1 &
  _CLIENT_PID[$name]=$!
  track $!
  exec {fd}>"$WORK/$name.in"
  _CLIENT_FD[$name]=$fd
  local i
  for i in $(seq 1 100); do grep -qx ready "$WORK/$name.out" && return 0; sleep 0.05; done
  echo "bus client $name did not start"; cat "$WORK/$name.out"
  return 1
}
# client NAME COMMAND...: prints the client's reply.
client() {
  local name=$1
  shift
  local before
  before=$(wc -l < "$WORK/$name.out")
  echo "$*" >&"${_CLIENT_FD[$name]}"
  local i
  for i in $(seq 1 1200); do
    [ "$(wc -l < "$WORK/$name.out")" -gt "$before" ] && { tail -n1 "$WORK/$name.out"; return 0; }
    sleep 0.05
  done
  echo "no reply"
  return 1
}
# close_client NAME: the client leaves the bus; LEFT holds when. (Not in a
# subshell: the shell's own end of the client's input must close.)
LEFT=""
close_client() {
  local name=$1
  LEFT=$(now)
  eval "exec ${_CLIENT_FD[$name]}>&-"
  wait "${_CLIENT_PID[$name]}" 2>/dev/null
}

# rss_kb PID: resident memory in kB.
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

# name_owned NAME: NAME has an owner on the test's bus.
name_owned() {
  gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true
}
name_not_owned() { ! name_owned "$1"; }
# plus A B: A + B, as decimals.
plus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.6f\n", a + b }'; }
