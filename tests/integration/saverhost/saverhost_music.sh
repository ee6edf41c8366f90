#!/usr/bin/env bash
# Miravel.scr /s as a user runs it, with each kind of background music: the
# renderer comes up, the music sounds (SDL's disk driver writes what is
# played), the pointer is hidden; a key ends the renderer, and within a
# second the launcher has ended with 0, the music has stopped and the pointer
# is shown again.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/saverhost_lib.sh"

start_xvfb 640x480
start_pointer_watch || fail "the pointer watch starts"
use_real_renderer

# music_run NAME [silent]: starts /s, lets the music play, ends the run with
# a key. The caller checks what was heard in $AUDIO.
music_run() {
  local name=$1 silent=${2:-}
  launch /s
  if ! renderer_up; then
    fail "$name: the renderer's window comes up"
    return 1
  fi
  pass "$name: the renderer's window comes up, started by the launcher"
  check "$name: the hidden host Kelvara_Main is there" test -n "$(find_window Kelvara_Main)"
  sleep 3.5
  check "$name: the launcher still runs while the renderer does" running "$LPID"
  check "$name: the pointer is hidden during the run" pointer_hidden_now
  [ -n "$silent" ] ||
    check "$name: music is written while the renderer runs" test "$(size_of "$AUDIO")" -gt 100000
  xdotool key x
  check "$name: after a key the launcher ends within a second with 0" ends_with_zero "$LPID" 1
  check "$name: the renderer has ended" wait_no_window KelvaraVC 2
  [ -n "$silent" ] ||
    check "$name: the music has stopped (the sound file no longer grows)" stops_growing "$AUDIO"
  check "$name: the pointer was shown again by the launcher" pointer_restored_by_request
}

# --- WAV: loops without a gap --------------------------------------------------
WAV=$(tone_file "loop tune.wav" 523 0.3)
write_settings 2 0 "$WAV"
if music_run "WAV"; then
  heard "$AUDIO" 523 > "$WORK/wav.tones"
  check "WAV: the tone is heard for over 2 s, over six rounds of the file (looping)" \
    at_least "$(longest_of 523 < "$WORK/wav.tones")" 2.0
  check "WAV: in one piece, without a gap between the rounds" \
    test "$(runs_of 523 < "$WORK/wav.tones")" = 1
fi

# --- MP3: started again after it ends -------------------------------------------
MP3=$(tone_file "short tune.MP3" 440 0.4)
write_settings 2 0 "$MP3"
if music_run "MP3"; then
  heard "$AUDIO" 440 > "$WORK/mp3.tones"
  check "MP3: heard at least three times in 3.5 s (the one-second watch restarts it)" \
    at_least "$(runs_of 440 < "$WORK/mp3.tones")" 3
  check "MP3: each time the file's length, not more" \
    at_most "$(longest_of 440 < "$WORK/mp3.tones")" 0.7
fi

# --- Audio CD: track 2 of three repeats ----------------------------------------
CUE=$(disc_image 300 700 1500)
write_settings 1 2 ""
LAUNCH_ENV="MIRAVEL_CDROM=$CUE"
if music_run "CD"; then
  heard "$AUDIO" 300 700 1500 > "$WORK/cd.tones"
  check "CD: track 2 is heard for over 2 s although it is 1 s long (repeated)" \
    at_least "$(seconds_of 700 < "$WORK/cd.tones")" 2.0
  check "CD: track 1 is never heard" test "$(runs_of 300 < "$WORK/cd.tones")" = 0
  check "CD: track 3 only until the next CD poll jumps back" \
    at_most "$(longest_of 1500 < "$WORK/cd.tones")" 0.3
fi
LAUNCH_ENV=""

# --- No music ---------------------------------------------------------------------
write_settings 0 0 ""
if music_run "no music" silent; then
  check "no music: no sound output was even opened" test ! -e "$AUDIO"
fi

# --- An empty command line: a run, the pointer left alone --------------------------
write_settings 2 0 "$WAV"
launch
if renderer_up; then
  pass "empty command line: the renderer comes up"
  sleep 1.5
  xdotool key x
  check "empty command line: the launcher ends within a second with 0" ends_with_zero "$LPID" 1
  check "empty command line: the WAV was played" test -n "$(heard "$AUDIO" 523)"
  check "empty command line: the pointer was never hidden" pointer_never_hidden
else
  fail "empty command line: the renderer comes up"
fi

for f in "$WORK"/*.tones; do echo "== $(basename "$f")"; cat "$f"; done
finish
