#!/usr/bin/env bash
# Miravel.scr /s under Wine: it starts the renderer beside it, a key ends
# both with 0, the pointer count comes back, and the music of the settings
# plays through winmm (a WAV looping without a gap, an MP3 started again
# after its end, an audio CD that cannot be opened leaving a silent run).
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/win_launcher_lib.sh"
start_xvfb 800x600
wine_start
# Sound goes to a file for the whole test (set before any run: a change of
# the audio driver between runs is not what a user's system does).
CAPTURE="$WORK/capture.raw"
wine_capture_sound "$CAPTURE"
keep_desktop

# end_by_key: a key ends the renderer and the launcher within a second (a
# generous margin on a loaded machine is given to the process end), with 0.
# The key is typed as a user types it, to the window that has the focus: sent
# with --window, xdotool also addresses the renderer's window for the release,
# fails once that window has gone, and leaves the key held down in the X
# server, whose repeats then end every later renderer at its start.
end_by_key() {
  local t0 took
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$RID" ] || { echo "renderer lost the focus"; return 1; }
  t0=$(date +%s.%N)
  xdotool key space
  wait_exit "$LPID" 5 || { echo "launcher still runs"; return 1; }
  took=$(echo "$t0 $(date +%s.%N)" | awk '{ printf "%.2f", $2 - $1 }')
  echo "launcher ended $took s after the key"
  [ "$EXIT_CODE" = 0 ] || { echo "launcher exit code $EXIT_CODE"; return 1; }
  wait_no_window KelvaraVC 1 || { echo "renderer window stays"; return 1; }
  # A second, and a margin for Wine's process end on a loaded machine.
  awk -v t="$took" 'BEGIN { exit !(t <= 1.5) }'
}

still_running_with() { sleep 0.5; running "$1" && [ -n "$(find_window KelvaraVC)" ]; }

# --- No music: the run itself, and the pointer count --------------------------
settings 0 0 ""
export WINEDEBUG=-all,+cursor
check "/s: the renderer's window comes up and has the focus" run_saver
check "/s: the launcher's hidden host Kelvara_Main is there" probe find Kelvara_Main
first=$LPID
start_launcher /s
check "/s: a second copy during the run ends at once with 0" \
  eval 'wait_exit "$LPID" 10 && [ "$EXIT_CODE" = 0 ]'
LPID=$first
check "/s: the first run goes on" still_running_with "$first"
check "/s: a key ends renderer and launcher with 0" end_by_key
export WINEDEBUG=-all
# Wine's trace of the count: "ShowCursor SHOW, count=NEW", renderer included.
shows=$(grep -o 'ShowCursor [01], count=-\?[0-9]*' "$WORK/launcher.log" | tr '\n' ' ')
check "/s: the pointer was hidden once (count -1) and shown again (count 0) [$shows]" \
  test "$shows" = "ShowCursor 0, count=-1 ShowCursor 1, count=0 "
rm -f "$WORK/launcher.log"

# --- Music --------------------------------------------------------------------
TONES="$MIRAVEL_SOURCE/tests/windows/pcm_tones.pl"
# music_run NAME: a run of /s with the settings written before, 4 s of it,
# ended by a key; what was played is left in $WORK/NAME.raw.
music_run() {
  rm -f "$WORK/capture.raw" "$WORK/capture.raw.streams"
  if ! run_saver; then
    fail "$1: the renderer's window comes up"
    return 1
  fi
  sleep 4
  check "$1: a key ends renderer and launcher with 0" end_by_key
  sleep 0.5
  [ -e "$WORK/capture.raw" ] && mv "$WORK/capture.raw" "$WORK/$1.raw"
  [ -e "$WORK/capture.raw.streams" ] && mv "$WORK/capture.raw.streams" "$WORK/$1.raw.streams"
  [ -e "$WORK/capture.raw.format" ] && cp "$WORK/capture.raw.format" "$WORK/$1.raw.format"
  return 0
}
longest_of() { awk -v t="$1" '$1 == t && $3 > m { m = $3 } END { printf "%.2f\n", m + 0 }'; }
runs_of() { awk -v t="$1" '$1 == t { n++ } END { print n + 0 }'; }
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }
at_most() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }'; }

# A WAV of 0.3 s loops: one stream, one tone without a gap, for seconds.
sox -n -r 44100 -c 2 -b 16 "$WORK/loop tune.wav" synth 0.3 sine 523 vol 0.5
settings 2 0 "$(wine_path "$WORK/loop tune.wav")"
if music_run wav; then
  perl "$TONES" "$WORK/wav.raw" 523 440 >"$WORK/wav.tones"
  cat "$WORK/wav.tones"
  check "WAV: heard for over 3 s, ten rounds of the file" at_least "$(longest_of 523 <"$WORK/wav.tones")" 3.0
  check "WAV: in one piece, without a gap between the rounds" test "$(runs_of 523 <"$WORK/wav.tones")" = 1
  check "WAV: one sound stream for the whole run" test "$(wc -l <"$WORK/wav.raw.streams")" = 1
fi

# An MP3 of 0.4 s: the one-second watch starts it again after its end.
sox -n -r 44100 -c 2 -b 16 "$WORK/short tune.MP3" synth 0.4 sine 440 vol 0.5
settings 2 0 "$(wine_path "$WORK/short tune.MP3")"
if music_run mp3; then
  perl "$TONES" "$WORK/mp3.raw" 523 440 >"$WORK/mp3.tones"
  cat "$WORK/mp3.tones"
  check "MP3: heard at least three times in 4 s" at_least "$(runs_of 440 <"$WORK/mp3.tones")" 3
  check "MP3: each time at most the file's length" at_most "$(longest_of 440 <"$WORK/mp3.tones")" 0.7
fi

# Audio CD without a drive: "open cdaudio" fails, the run goes on silently.
settings 1 0 ""
if music_run cd; then
  silent() { [ ! -s "$WORK/cd.raw" ] || [ -z "$(perl "$TONES" "$WORK/cd.raw" 523 440)" ]; }
  check "CD without a drive: nothing is heard" silent
fi

finish
