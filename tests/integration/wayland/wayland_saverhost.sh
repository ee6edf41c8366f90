#!/usr/bin/env bash
# Miravel.scr /s on a Wayland desktop (a headless sway, the launcher an X
# client through XWayland): the renderer's native views come up, the WAV is
# heard, a key ends renderer and launcher and the sound; a renderer that
# cannot start gives a run without music that ends at once; swayidle starts
# the run after two idle seconds.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wayland_lib.sh"
source "$MIRAVEL_SOURCE/tests/integration/saverhost/saverhost_lib.sh"
need_wayland_tools
command -v swayidle >/dev/null 2>&1 || { echo "SKIP: swayidle is not installed"; exit 77; }
start_sway
hold_keyboard
check "XWayland's display admits the test" use_sway_x_display
use_real_renderer
WAV=$(tone_file "tune.wav" 523 0.3)
write_settings 2 0 "$WAV"

# launcher_child: the renderer the launcher started (its pid in RPID).
launcher_child() {
  RPID=$(pgrep -P "$LPID" | head -n1)
  [ -n "$RPID" ] && track "$RPID"
  [ -n "$RPID" ]
}

# --- /s with a WAV -----------------------------------------------------------
launch /s
check "/s: the renderer's two views come up" wait_views 2 10
check "/s: they are the launcher's child's" \
  eval 'launcher_child && test "$(kelvara_views | awk "{print \$4}" | sort -u)" = "$RPID"'
sleep 3
check "/s: the launcher still runs while the renderer does" running "$LPID"
check "/s: the WAV is heard ($(size_of "$AUDIO") bytes written)" test -n "$(heard "$AUDIO" 523)"
wtype -k space
check "/s: after a key the renderer ends" ends_within_pid "$RPID" 1
check "/s: and the launcher within a second with 0" ends_within "$LPID" 1
check "/s: the sound has stopped (the sound file no longer grows)" stops_growing "$AUDIO"
check "/s: no view is left" wait_views 0 2

# --- The empty command line runs the same way ----------------------------------
launch
check "empty command line: the views come up" wait_views 2 10
launcher_child
wtype -k Escape
check "empty command line: a key ends renderer and launcher with 0" \
  eval 'ends_within_pid "$RPID" 1 && ends_within "$LPID" 1'

# --- A renderer that cannot start -----------------------------------------------
use_stand_in "exit 1"
launch /s
check "a renderer that cannot start: the run ends at once with 0" ends_within "$LPID" 2
check "  without music" test -z "$(heard "$AUDIO" 523 2>/dev/null)"
use_real_renderer

# --- The settings dialog, an X window through XWayland -------------------------------
launch /c
dialog_view() { views | awk '$2 == "<Miravel>" && $5 == "xwayland" {print "up"}' | head -n1; }
check "/c: the settings dialog comes up as an XWayland view" seen_within 10 up dialog_view
sleep 0.5
wtype -k Escape
check "/c: Escape closes it and the launcher ends with 0" ends_within "$LPID" 3

# --- swayidle -----------------------------------------------------------------------
: > "$WORK/idle.log"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/idle-audio.raw" \
  swayidle -w timeout 2 "'$APP/Miravel.scr' /s" >>"$WORK/idle.log" 2>&1 &
IDLE_PID=$!
track "$IDLE_PID"
started=$(date +%s%N)
sleep 1.2
check "swayidle: nothing before two idle seconds" test "$(kelvara_views | wc -l)" = 0
check "swayidle: after two idle seconds the curtains come up" wait_views 2 6
took=$((($(date +%s%N) - started) / 1000000))
RPID=$(kelvara_views | awk '{print $4}' | head -n1)
LPID=$(ps -o ppid= -p "$RPID" 2>/dev/null | tr -d ' ')
check "  started by the launcher ($LPID)" test "$(ps -o comm= -p "$LPID" 2>/dev/null)" = Miravel.scr
# Process start times in clock ticks since boot: when swayidle ran the
# launcher, counted from swayidle's own start.
start_ticks() { awk '{print $22}' "/proc/$1/stat" 2>/dev/null; }
fired=$(( ($(start_ticks "$LPID") - $(start_ticks "$IDLE_PID")) * 1000 / $(getconf CLK_TCK) ))
check "  the launcher was started two idle seconds after swayidle (${fired} ms; views seen after ${took} ms)" \
  test "$fired" -ge 1900 -a "$fired" -le 3000
wtype -k space
check "swayidle: a key ends the run" eval 'ends_within_pid "$RPID" 1 && ends_within_pid "$LPID" 1'
# swayidle would start it again after two more idle seconds.
kill -TERM "$IDLE_PID"
wait_exit "$IDLE_PID" 5 || kill -KILL "$IDLE_PID" 2>/dev/null
end_wayland_renderer

finish
