#!/usr/bin/env bash
# The sound capture the Windows music tests rely on: a WAV played through
# winmm under Wine arrives, in real time, in the capture file.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wine_lib.sh"
start_xvfb 640x480
wine_start
wine_capture_sound "$WORK/capture.raw"

sox -n -r 44100 -c 2 -b 16 "$WORK/a.wav" synth 1.5 sine 880 vol 0.5
sox -n -r 22050 -c 1 -b 16 "$WORK/b.wav" synth 1 sine 440 vol 0.5
start=$(date +%s.%N)
result=$(probe play "Z:$WORK/a.wav")
took=$(echo "$start $(date +%s.%N)" | awk '{ printf "%.2f", $2 - $1 }')
check "one wave device, the WAV played [$result]" test "$result" = "devices 1 played 1"
check "playing took real time ($took s for 1.5 s)" \
  awk -v t="$took" 'BEGIN { exit !(t >= 1.4) }'
read -r seconds hz < <(sound_stat "$WORK/capture.raw")
check "captured 1.5 s of it ($seconds s)" awk -v s="$seconds" 'BEGIN { exit !(s >= 1.4 && s <= 1.7) }'
check "at 880 Hz ($hz Hz)" awk -v f="$hz" 'BEGIN { exit !(f >= 860 && f <= 900) }'

# A second stream of another format is appended; the format file follows it.
mv "$WORK/capture.raw" "$WORK/first.raw"
probe play "Z:$WORK/b.wav" >/dev/null
read -r seconds hz < <(sound_stat "$WORK/capture.raw")
check "a mono 22 kHz WAV: 1 s ($seconds s) at 440 Hz ($hz Hz)" \
  awk -v s="$seconds" -v f="$hz" 'BEGIN { exit !(s >= 0.9 && s <= 1.2 && f >= 425 && f <= 455) }'

finish
