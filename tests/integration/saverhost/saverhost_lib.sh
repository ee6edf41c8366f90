# Helpers shared by the saver-run scripts (after lib.sh).
# The launcher runs from a copy in $WORK/app with the real renderer beside it
# (or a stand-in a case puts there), its settings in $WORK/app/Miravel.ini,
# and its sound going to SDL's disk driver.
TOOL="$MIRAVEL_BUILD/tests/integration/saverhost/saverhost_tool"
X11_TOOL="$MIRAVEL_BUILD/tests/integration/renderer/miravel_x11_test_tool"
APP="$WORK/app"
POINTER_LOG="$WORK/pointer.log"
LPID=""
RPID=""
AUDIO=""
_RUNS=0

mkdir -p "$APP"
cp "$MIRAVEL_BUILD/Miravel.scr" "$APP/"

# use_real_renderer: puts the built renderer beside the launcher.
use_real_renderer() { rm -f "$APP/Miravel.dll"; cp "$MIRAVEL_BUILD/Miravel.dll" "$APP/"; }

# use_stand_in BODY: a shell script as Miravel.dll.
use_stand_in() {
  rm -f "$APP/Miravel.dll"
  printf '#!/bin/sh\n%s\n' "$1" > "$APP/Miravel.dll"
  chmod +x "$APP/Miravel.dll"
}

# tone_file NAME HZ SECONDS: a 16-bit sine file made by sox (WAV or MP3 by
# the name); prints its path.
tone_file() {
  sox -n -r 44100 -c 2 -b 16 "$WORK/$1" synth "$3" sine "$2" vol 0.5 2>/dev/null
  echo "$WORK/$1"
}

# disc_image HZ...: a BIN/CUE audio disc, one track of one second per tone;
# prints the path of the .cue.
disc_image() {
  local hz n=0 sheet='FILE "disc.bin" BINARY\n'
  rm -f "$WORK/disc.bin"
  for hz in "$@"; do
    sox -n -r 44100 -c 2 -b 16 -e signed -L -t raw - synth 1 sine "$hz" vol 0.5 2>/dev/null >> "$WORK/disc.bin"
    n=$((n + 1))
    sheet+=$(printf '  TRACK %02d AUDIO\\n    INDEX 01 00:%02d:00\\n' "$n" $((n - 1)))
  done
  printf "$sheet" > "$WORK/disc.cue"
  echo "$WORK/disc.cue"
}

# start_pointer_watch: the X server's view of who hides the pointer.
start_pointer_watch() {
  : > "$POINTER_LOG"
  "$TOOL" pointer-watch "$POINTER_LOG" &
  track $!
  local i
  for i in $(seq 1 50); do grep -qx ready "$POINTER_LOG" && return 0; sleep 0.1; done
  echo "the pointer watch did not start"
  return 1
}

# launch ARGS...: starts the launcher with its own disk-audio file ($AUDIO);
# its pid is in LPID. Extra environment may be given in LAUNCH_ENV.
launch() {
  _RUNS=$((_RUNS + 1))
  AUDIO="$WORK/audio-$_RUNS.raw"
  POINTER_MARK=$(wc -l < "$POINTER_LOG" 2>/dev/null || echo 0)
  env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$AUDIO" ${LAUNCH_ENV:-} "$APP/Miravel.scr" "$@" \
    >>"$WORK/launcher.log" 2>&1 &
  LPID=$!
  track $LPID
}

# renderer_up: the renderer's window is there with the keyboard focus, and
# the renderer is the launcher's child (its pid in RPID).
renderer_up() {
  local id end=$((SECONDS + 10))
  id=$(wait_window KelvaraVC 15) || return 1
  while [ $SECONDS -le $end ]; do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$id" ] && break
    sleep 0.1
  done
  RPID=$(pgrep -P "$LPID" | head -n1)
  [ -n "$RPID" ] && track "$RPID"
  [ -n "$RPID" ]
}

# heard FILE HZ...: runs of the tones in the disk file ("HZ START SECONDS").
heard() { "$TOOL" tones "$@" | grep -v '^total'; }

# seconds_of TONE: the total time TONE was heard, from heard's lines on stdin.
seconds_of() { awk -v t="$1" '$1 == t { s += $3 } END { printf "%.2f\n", s + 0 }'; }
runs_of() { awk -v t="$1" '$1 == t { n++ } END { print n + 0 }'; }
longest_of() { awk -v t="$1" '$1 == t && $3 > m { m = $3 } END { printf "%.2f\n", m + 0 }'; }
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }
at_most() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }'; }

# The pointer, as the X server sees it, since the last launch.
pointer_events() { tail -n +$((POINTER_MARK + 1)) "$POINTER_LOG" | grep '^state' || true; }
# pointer_hidden_now: some client keeps it hidden at this moment.
pointer_hidden_now() { [ "$(grep '^state' "$POINTER_LOG" | tail -n1)" = "state hidden" ]; }
# pointer_restored_by_request: since the launch the pointer was hidden, then
# shown again by a request (not only because the launcher went away).
pointer_restored_by_request() {
  local events
  events=$(pointer_events | tr '\n' ',')
  [ "$events" = "state hidden,state shown," ] || { echo "pointer events: ${events:-none}"; return 1; }
}
pointer_never_hidden() {
  local events
  events=$(pointer_events | tr '\n' ',')
  [ -z "$events" ] || { echo "pointer events: $events"; return 1; }
}

# end_renderer_if_running: a renderer a case left running (the launcher
# never tells it to end) is ended the way a user ends it.
end_renderer_if_running() {
  [ -n "$RPID" ] && running "$RPID" || return 0
  xdotool key x
  wait_exit "$RPID" 5 || kill -KILL "$RPID" 2>/dev/null
  wait_no_window KelvaraVC 5
}
