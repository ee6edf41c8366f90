# Helpers shared by the display-mode scripts (after lib.sh).
HOST_TOOL="$MIRAVEL_BUILD/tests/integration/displaymode/displaymode_host_tool"
SOUND_TOOL="$MIRAVEL_BUILD/tests/integration/saverhost/saverhost_tool"
APP="$WORK/app"
OUT="$WORK/out"
mkdir -p "$APP" "$OUT"
cp "$MIRAVEL_BUILD/Miravel.scr" "$MIRAVEL_BUILD/Miravel.dll" "$APP/"

# A looping WAV tone as the music of every run.
TONE="$APP/tune.wav"
sox -n -r 44100 -c 2 -b 16 "$TONE" synth 0.3 sine 523 vol 0.5 2>/dev/null
write_settings 2 0 "$TONE"

# A wrapper as the daemons' command: each process writes its sound to a file
# of its own (SDL's disk driver), then becomes the launcher, so the signals
# the daemon sends reach Miravel.scr itself.
cat > "$APP/miravel-mode" <<WRAP
#!/bin/sh
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$OUT/audio-\$\$.raw"
exec "$APP/Miravel.scr" "\$@"
WRAP
chmod +x "$APP/miravel-mode"

# host [W H [32]]: a window made by the test (the daemon's stand-in); its id
# in HOST, its pid in HOST_PID.
# The host tool may take seconds to come up on a loaded machine; wait up to 20 s.
# The old id file goes first: the redirection below truncates it only once the
# background job runs, and until then the wait would read the last host's id.
host() {
  rm -f "$WORK/host.id"
  "$HOST_TOOL" host "${1:-640}" "${2:-360}" ${3:-} > "$WORK/host.id" 2>>"$WORK/host.log" &
  HOST_PID=$!
  track "$HOST_PID"
  local i
  for i in $(seq 1 200); do [ -s "$WORK/host.id" ] && break; sleep 0.1; done
  HOST=$(cat "$WORK/host.id")
  [ -n "$HOST" ]
}

# gone_within SECONDS PATTERN [USER]: no process whose command line matches
# PATTERN is left (of USER when given) within SECONDS.
gone_within() {
  local end=$(( $(date +%s%N) + $1 * 1000000000 )) who=()
  [ -n "${3:-}" ] && who=(-u "$3")
  while [ "$(date +%s%N)" -lt $end ]; do
    pgrep "${who[@]}" -f "$2" >/dev/null || return 0
    sleep 0.05
  done
  echo "left: $(pgrep "${who[@]}" -af "$2" | tr '\n' ';')"
  return 1
}

# pid_gone_within SECONDS PID: the process ends within SECONDS (a zombie
# counts as ended: its reaping is its new parent's business).
pid_gone_within() {
  local end=$(( $(date +%s%N) + $1 * 1000000000 ))
  while [ "$(date +%s%N)" -lt $end ]; do
    running "$2" || return 0
    sleep 0.05
  done
  echo "pid $2 still there, state $(process_state "$2")"
  return 1
}

# count_of PATTERN [USER]: how many processes match.
count_of() { local who=(); [ -n "${2:-}" ] && who=(-u "$2"); pgrep "${who[@]}" -f "$1" | wc -l; }

# region_brightness FILE WxH+X+Y: mean brightness 0-255 of part of a shot.
region_brightness() { convert "$1" -crop "$2" +repage -colorspace gray -format "%[fx:int(255*mean)]" info:; }
bright() { [ "$1" -ge "${2:-20}" ] || { echo "brightness $1"; return 1; }; }
dark() { [ "$1" -le "${2:-2}" ] || { echo "brightness $1"; return 1; }; }

# bright_within SECONDS FILE REGION...: screenshots into FILE, one a second,
# until one of the REGIONs is bright. The curtains' brightness rises and
# falls as they move, so one early shot on a loaded machine may catch a dim
# moment, and a part of the screen may stay dim for a while.
bright_within() {
  local end=$((SECONDS + $1)) file=$2 level=0 region
  shift 2
  while :; do
    screenshot "$file"
    for region in "$@"; do
      level=$(region_brightness "$file" "$region")
      [ "$level" -ge 20 ] && return 0
    done
    [ $SECONDS -ge $end ] && break
    sleep 1
  done
  echo "brightness $level"
  return 1
}

# changed A B REGION: the region differs between two shots.
changed() {
  local differing
  convert "$1" -crop "$3" +repage "$WORK/changed-a.png"
  convert "$2" -crop "$3" +repage "$WORK/changed-b.png"
  differing=$(compare -metric AE "$WORK/changed-a.png" "$WORK/changed-b.png" null: 2>&1 | cut -d' ' -f1)
  [ "${differing%.*}" -gt 100 ] 2>/dev/null || { echo "pixels changed: $differing"; return 1; }
}

# audio_files: the sound files written so far that hold sound, one a line.
audio_files() { local f; for f in "$OUT"/audio-*.raw; do [ "$(size_of "$f")" -gt 0 ] && echo "$f"; done; true; }

# launch WINDOW: a launcher (through the wrapper) drawing into WINDOW, as a
# daemon starts it; its pid in LPID. Its sound goes to $OUT/audio-LPID.raw,
# made once it plays.
launch() {
  XSCREENSAVER_WINDOW=$1 "$APP/miravel-mode" --root >>"$WORK/launcher.log" 2>&1 &
  LPID=$!
  track "$LPID"
}

# grows FILE: the sound file is being written.
grows() {
  local before after
  before=$(size_of "$1"); sleep 0.6; after=$(size_of "$1")
  [ "$after" -gt "$before" ] || { echo "size $before then $after"; return 1; }
}

# quiet_at_end FILE SECONDS: the tune was heard, and not in the last SECONDS
# of the file (the disk driver goes on writing silence while the sound
# device stays open).
quiet_at_end() {
  "$SOUND_TOOL" tones "$1" 523 | awk -v need="$2" '
    $1 == 523 { end = $2 + $3; heard = 1 }
    $1 == "total" { total = $2 / 176400 }
    END {
      if (!heard) { print "the tune was never heard"; exit 1 }
      if (total - end < need) { printf "heard until %.2f s of %.2f s\n", end, total; exit 1 }
    }'
}

# heard_for FILE SECONDS: the tune sounded for at least SECONDS in one piece.
heard_for() {
  "$SOUND_TOOL" tones "$1" 523 | awk -v need="$2" '
    $1 == 523 && $3 > longest { longest = $3 }
    END { if (longest < need) { printf "longest run %.2f s\n", longest; exit 1 } }'
}

# heard_tone FILE: the tune's tone is in the file.
heard_tone() { "$SOUND_TOOL" tones "$1" 523 | grep -q '^523 '; }

# --- An unprivileged user for the daemons (they refuse to run hacks as root) ---
TEST_USER=""
# need_root: making the user needs root; without it the daemon tests are
# skipped (exit 77, which ctest reports as skipped, never as passed).
need_root() {
  [ "$(id -u)" = 0 ] && return 0
  echo "skipped: making a test user needs root"
  exit 77
}
make_test_user() {
  TEST_USER="mvdm$$$RANDOM"
  TEST_USER=${TEST_USER:0:30}
  useradd -M -d "$WORK/home" -s /bin/sh "$TEST_USER" || return 1
  TEST_PASSWORD="pw$$miravel"
  echo "$TEST_USER:$TEST_PASSWORD" | chpasswd || return 1
  mkdir -p "$WORK/home" "$WORK/run"
  chmod 755 "$WORK"
  chown "$TEST_USER" "$WORK/home" "$WORK/run" "$OUT"
  chmod 700 "$WORK/run"
}
remove_test_user() {
  [ -n "$TEST_USER" ] || return 0
  pkill -KILL -u "$TEST_USER" 2>/dev/null
  sleep 0.2
  userdel "$TEST_USER" 2>/dev/null
  TEST_USER=""
}

# as_user CMD...: runs CMD as the test user with a clean environment.
as_user() {
  runuser -u "$TEST_USER" -- env -i HOME="$WORK/home" USER="$TEST_USER" LOGNAME="$TEST_USER" \
    PATH=/usr/local/bin:/usr/bin:/bin DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$WORK/run" "$@"
}

# --- XScreenSaver as the test user ---
# start_xscreensaver [lock]: ~/.xscreensaver with Miravel as its only mode
# (locking when asked), then the daemon on $DISPLAY; its pid in XSS_PID.
start_xscreensaver() {
  local lock=False
  [ "${1:-}" = lock ] && lock=True
  cat > "$WORK/home/.xscreensaver" <<XSS
timeout:	1:00:00
lock:		$lock
passwdTimeout:	0:00:05
splash:		False
fade:		False
unfade:		False
mode:		one
selected:	0
programs:	GL: "Miravel" $APP/miravel-mode --root \\n\\

XSS
  chown "$TEST_USER" "$WORK/home/.xscreensaver"
  as_user xscreensaver --no-splash --log "$WORK/home/xscreensaver.log" >/dev/null 2>&1 &
  XSS_PID=$!
  track "$XSS_PID"
  local i
  for i in $(seq 1 100); do
    as_user xscreensaver-command -time >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "the daemon did not come up"; cat "$WORK/home/xscreensaver.log"
  return 1
}
xss() { as_user xscreensaver-command "$@" >>"$WORK/xss-command.log" 2>&1; }
stop_xscreensaver() {
  xss -exit
  wait_exit "$XSS_PID" 5 || kill -TERM "$XSS_PID" 2>/dev/null
}

# process_state PID: the state letter ("T" when stopped).
process_state() { ps -o stat= -p "$1" 2>/dev/null | cut -c1; }

# start_xephyr: two monitors side by side (1280x720 and 1024x600) in one
# Xephyr screen with Xinerama, nested in the Xvfb; switches DISPLAY to it.
start_xephyr() {
  local fdfile="$WORK/xephyr.displayfd" i
  exec 8> "$fdfile"
  Xephyr -displayfd 8 +xinerama -screen 1280x720 -origin 1280,0 -screen 1024x600 \
    -nolisten tcp -noreset >"$WORK/xephyr.log" 2>&1 &
  XEPHYR_PID=$!
  track "$XEPHYR_PID"
  exec 8>&-
  for i in $(seq 1 100); do
    if [ -s "$fdfile" ]; then
      local display=":$(head -n1 "$fdfile" | tr -d '[:space:]')"
      if DISPLAY=$display xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=$display
        return 0
      fi
    fi
    sleep 0.1
  done
  echo "Xephyr did not start"; cat "$WORK/xephyr.log"
  return 1
}
