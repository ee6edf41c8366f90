#!/usr/bin/env bash
# Saver runs against what a hostile or careless user can put in the way:
# music "files" that are named pipes or devices, settings files far too large,
# a renderer that exists but cannot run, another program's window with the
# renderer's title, and a launcher whose own folder cannot be found. Each time
# the run ends as soon as the user returns, with 0, the pointer comes back,
# the launcher's memory stays small, and nothing is left running.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/saverhost_lib.sh"

start_xvfb 640x480
start_pointer_watch || fail "the pointer watch starts"
STARTED="$WORK/stand-in-started"
# The most memory the launcher may have used in a run, in kB. A normal run
# stays well below; a device read as music grows by gigabytes.
MEMORY_LIMIT_KB=200000

# peak_memory_kb PID: the high-water mark of the process's resident memory.
peak_memory_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0; }
memory_small() {
  local kb
  kb=$(peak_memory_kb "$1")
  [ -n "$kb" ] && [ "$kb" -gt 0 ] && [ "$kb" -lt "$MEMORY_LIMIT_KB" ] ||
    { echo "peak memory ${kb:-?} kB"; return 1; }
}
# no_music: nothing but silence was written (the output may have been opened).
# kill_leftover: a launcher that failed to end is stopped, so that the next
# case is not refused as a second copy.
kill_leftover() { running "$LPID" && kill -KILL "$LPID" 2>/dev/null; wait_no_window Kelvara_Main 2; true; }

no_music() {
  local loud
  loud=$(tr -d '\0' < "$AUDIO" 2>/dev/null | head -c 1 | wc -c)
  [ "$loud" = 0 ] || { echo "sound in $(size_of "$AUDIO") bytes"; return 1; }
}

# hostile_run NAME [SIGNAL]: a /s run with the settings already written; the
# renderer comes up, runs a while, and a key (or the signal, to the launcher)
# ends it. The launcher must end within a second with 0.
hostile_run() {
  local name=$1 signal=${2:-}
  launch /s
  if ! renderer_up; then
    fail "$name: the renderer comes up"
    kill_leftover
    return 1
  fi
  sleep 2
  check "$name: the launcher still runs (not stuck: it answers the watch below)" running "$LPID"
  check "$name: the launcher's memory stayed small" memory_small "$LPID"
  if [ -n "$signal" ]; then
    kill -"$signal" "$LPID"
  else
    xdotool key x
  fi
  check "$name: the launcher ends within a second with 0" ends_with_zero "$LPID" 1
  check "$name: the pointer was shown again by the launcher" pointer_restored_by_request
  check "$name: no hidden host is left" test -z "$(find_window Kelvara_Main)"
  kill_leftover
  end_renderer_if_running
}

use_real_renderer

# --- Music "files" that are not regular files ------------------------------------
mkfifo "$WORK/pipe.mp3" "$WORK/pipe.wav" "$WORK/pipe.cue"
ln -s /dev/zero "$WORK/zero.wav"

write_settings 2 0 "$WORK/pipe.mp3"
hostile_run "named pipe as the MP3" && check "named pipe as the MP3: nothing played" no_music
write_settings 2 0 "$WORK/pipe.wav"
hostile_run "named pipe as the WAV" && check "named pipe as the WAV: nothing played" no_music
write_settings 2 0 "$WORK/zero.wav"
hostile_run "/dev/zero as the WAV" && check "/dev/zero as the WAV: nothing played" no_music
write_settings 2 0 "$WORK/zero.wav"
hostile_run "/dev/zero as the WAV, SIGTERM" TERM
write_settings 1 0 ""
LAUNCH_ENV="MIRAVEL_CDROM=$WORK/pipe.cue"
hostile_run "named pipe as the CD" && check "named pipe as the CD: nothing played" no_music
# A sheet whose data file is a named pipe.
mkfifo "$WORK/piped.bin"
printf 'FILE "piped.bin" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n' > "$WORK/piped.cue"
LAUNCH_ENV="MIRAVEL_CDROM=$WORK/piped.cue"
hostile_run "CD image naming a named pipe" && check "CD image naming a named pipe: nothing played" no_music
LAUNCH_ENV=""

# A WAV too large to load whole: refused, the run goes on without it.
BIG_WAV="$WORK/big.wav"
tone_file "head.wav" 523 0.2 >/dev/null
cp "$WORK/head.wav" "$BIG_WAV"
truncate -s 3G "$BIG_WAV"
write_settings 2 0 "$BIG_WAV"
hostile_run "3 GB WAV" && check "3 GB WAV: nothing played" no_music

# A huge sparse MP3: nothing to decode in it, and nothing may hold the run.
truncate -s 4G "$WORK/huge.mp3"
write_settings 2 0 "$WORK/huge.mp3"
hostile_run "sparse 4 GB MP3" && check "sparse 4 GB MP3: nothing played" no_music

# An ordinary WAV still plays (the same checks would pass on silence).
write_settings 2 0 "$WORK/head.wav"
hostile_run "ordinary WAV" && check "ordinary WAV: it was heard" test -n "$(heard "$AUDIO" 523)"

# --- Settings files far too large: read as no settings, quickly -------------------
WAV=$(tone_file "loop.wav" 523 0.3)
write_settings 2 0 "$WAV"
head -c 100000000 /dev/zero | tr '\0' ';' >> "$APP/Miravel.ini"
hostile_run "100 MB settings file" && check "100 MB settings file: taken as none, no music" no_music
write_settings 2 0 "$WAV"
truncate -s 4G "$APP/Miravel.ini"
hostile_run "sparse 4 GB settings file" &&
  check "sparse 4 GB settings file: taken as none, no music" no_music
write_settings 0 0 ""

# --- A renderer that exists but cannot run ---------------------------------------
# cannot_run NAME: the run ends at once, without music, the pointer shown.
cannot_run() {
  launch /s
  check "$1: the launcher ends at once with 0" ends_with_zero "$LPID" 1
  check "$1: no music at all" no_music
  check "$1: the pointer was shown again by the launcher" pointer_restored_by_request
  kill_leftover
}
write_settings 2 0 "$WAV"
use_real_renderer
chmod -x "$APP/Miravel.dll"
cannot_run "renderer not executable"
rm -f "$APP/Miravel.dll"
mkfifo "$APP/Miravel.dll"
cannot_run "named pipe as the renderer"
# The started program ends before it has a window: no music either.
use_stand_in "touch '$STARTED'; exit 0"
cannot_run "renderer that ends at once"

# --- Another program's window titled KelvaraVC -------------------------------------
# It must not hold the run: the renderer this launcher started is watched.
use_real_renderer
write_settings 2 0 "$WAV"
xlogo -title KelvaraVC -geometry 100x100+0+0 &
FOREIGN=$!
track $FOREIGN
check "a foreign window titled KelvaraVC is up" window_up KelvaraVC 5
launch /s
OWN=""
for _ in $(seq 1 100); do
  RPID=$(pgrep -P "$LPID" | head -n1)
  [ -n "$RPID" ] && OWN=$(xdotool search --pid "$RPID" --name '^KelvaraVC$' 2>/dev/null | head -n1)
  [ -n "$OWN" ] && break
  sleep 0.1
done
[ -n "$RPID" ] && track "$RPID"
if [ -n "$OWN" ]; then
  pass "foreign window: the launcher's own renderer comes up beside it"
  sleep 2
  check "foreign window: the WAV plays" test -n "$(heard "$AUDIO" 523)"
  xdotool windowfocus --sync "$OWN" 2>/dev/null
  xdotool key x
  check "foreign window: the renderer ends on a key" wait_exit "$RPID" 3
  check "foreign window: the launcher ends within a second with 0" ends_with_zero "$LPID" 1
  check "foreign window: the music has stopped" stops_growing "$AUDIO"
  check "foreign window: the pointer was shown again" pointer_restored_by_request
  check "foreign window: the other program's window is untouched" running "$FOREIGN"
else
  fail "foreign window: the launcher's own renderer comes up beside it"
fi
kill_leftover
kill -TERM "$FOREIGN"
wait_no_window KelvaraVC 5

# The renderer's process starts a helper that holds a KelvaraVC window and
# ends: the helper's window is not the renderer's, so the run ends with the
# process (no music is started for a renderer without a window of its own).
HOLDER_PID_FILE="$WORK/holder.pid"
use_stand_in "'$X11_TOOL' window KelvaraVC Stand >/dev/null 2>&1 & echo \$! > '$HOLDER_PID_FILE'; sleep 1"
launch /s
check "helper's window: the launcher ends with its program, with 0" ends_with_zero "$LPID" 4
HOLDER=$(cat "$HOLDER_PID_FILE" 2>/dev/null)
[ -n "$HOLDER" ] && track "$HOLDER"
check "helper's window: the helper's window was there all along" test -n "$(find_window KelvaraVC)"
check "helper's window: no music" no_music
check "helper's window: the pointer was shown again" pointer_restored_by_request
[ -n "$HOLDER" ] && kill -TERM "$HOLDER"
kill_leftover
wait_no_window KelvaraVC 5

# --- The launcher's own folder cannot be found ---------------------------------------
# Its path is longer than PATH_MAX, so /proc/self/exe cannot name it. The
# working folder holds settings and a renderer of its own; the launcher must
# use neither, and end at once without a word.
PART=$(printf 'd%.0s' $(seq 1 200))
DEEP="$WORK/deep"
mkdir -p "$DEEP"
(
  cd "$DEEP" || exit 1
  for _ in $(seq 1 12); do mkdir "$PART" && cd "$PART" || exit 1; done
  REL=""
  for _ in $(seq 1 9); do REL="$REL$PART/"; done
  mkdir -p "$REL"
  cp "$MIRAVEL_BUILD/Miravel.scr" "$REL"
  printf '#!/bin/sh\ntouch "%s.beside"\n' "$STARTED" > "$REL/Miravel.dll"
  printf '#!/bin/sh\ntouch "%s.cwd"\n' "$STARTED" > Miravel.dll
  chmod +x "$REL/Miravel.dll" Miravel.dll
  printf '[Section]\r\n%s= 2\r\n%s=%s\r\n' "$KEY_KIND" "$KEY_FILE" "$WAV" > Miravel.ini
  for args in /s /c; do
    env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/deep-audio.raw" "./$REL/Miravel.scr" $args &
    pid=$!
    end=$((SECONDS + 3))
    while kill -0 $pid 2>/dev/null && [ $SECONDS -le $end ]; do sleep 0.1; done
    if kill -0 $pid 2>/dev/null; then
      kill -KILL $pid
      echo "still running $args"
    fi
    wait $pid
    echo "exit $args $?"
  done
) > "$WORK/deep.log" 2>&1
check "folder not found: /s ends with 0" grep -qx "exit /s 0" "$WORK/deep.log"
check "folder not found: /c ends with 0" grep -qx "exit /c 0" "$WORK/deep.log"
check "folder not found: no renderer was started, neither beside it nor in the working folder" \
  test ! -e "$STARTED.beside" -a ! -e "$STARTED.cwd"
check "folder not found: no music from the working folder's settings" test ! -s "$WORK/deep-audio.raw"
check "folder not found: no message box" test -z "$(find_window Miravel)"
rm -rf "$DEEP"

check "nothing of these runs is left running" test -z "$(pgrep -f "^$APP/Miravel")"
finish
