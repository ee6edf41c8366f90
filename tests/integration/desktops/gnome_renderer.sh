#!/usr/bin/env bash
# The renderer on GNOME Shell (headless, two monitors of different sizes),
# started with no activation token while another application has the focus,
# as a background idle starter would start it: one fullscreen view per
# monitor, drawn at each monitor's pixel size; the pointer hidden over it; a
# key ends it with 0 and never reaches the application below.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/desktops_lib.sh"
need_tools gnome-shell gdbus dbus-run-session dbus-daemon setsid convert
need_key_recorder
need_tools sox
check "GNOME Shell comes up with two monitors" start_gnome
check "the application is up and has the focus" start_key_recorder
gnome_pointer_to 200 200

RENDERER="$MIRAVEL_BUILD/Miravel.dll"
unset XDG_ACTIVATION_TOKEN DESKTOP_STARTUP_ID
MIRAVEL_REPORT_SIZES=1 "$RENDERER" </dev/null >"$WORK/renderer.log" 2>&1 &
RPID=$!
track "$RPID"
check "two views titled KelvaraVC come up" wait_kelvara 2 gnome_windows
views=$(placed_views gnome_windows)
echo "$views"
check "one fullscreen view on the 1280x720 monitor" \
  grep -qx "KelvaraVC|miravel|true|0|0,0,1280,720|[a-z]*|$RPID" <<<"$views"
check "one fullscreen view on the 1024x768 monitor" \
  grep -qx "KelvaraVC|miravel|true|1|1280,0,1024,768|[a-z]*|$RPID" <<<"$views"
check "a view of the renderer has the keyboard, the application lost it" \
  eval 'grep -q "|true|$RPID\$" <<<"$views" && gnome_windows | grep -q "^Key recorder|.*|false|[0-9]*\$"'
check "each buffer has its monitor's pixels (scale 1: GNOME 43 has no fractional scale)" \
  eval 'grep -q "view . buffer 1280x720 at scale 1" "$WORK/renderer.log" &&
        grep -q "view . buffer 1024x768 at scale 1" "$WORK/renderer.log"'

# The pointer over the curtains: no picture.
gnome_pointer_to 640 360
sleep 0.3
check "the pointer is hidden over the first view" test "$(gnome_cursor)" = none
gnome_pointer_to 1700 400
sleep 0.3
check "and over the second" test "$(gnome_cursor)" = none

# Drawn on both monitors: the curtains are light on black.
sleep 1
gnome_shot "$WORK/shot.png"
lit() { convert "$WORK/shot.png" -crop "$1" +repage -colorspace Gray -format '%[fx:int(maxima*255)]' info:; }
check "the curtains are drawn on the first monitor" test "$(lit 1280x720+0+0)" -gt 40
check "and on the second" test "$(lit 1024x768+1280+0)" -gt 40

before=$(recorder_keys)
gnome_key 57
check "a key ends the renderer with 0" ends_with_zero "$RPID" 2
check "the key did not reach the application" test "$(recorder_keys)" = "$before"
check "no view is left" wait_kelvara 0 gnome_windows
check "the pointer is shown again" test "$(gnome_cursor)" != none

# --- Miravel.scr /s with no X at all (XWayland off): curtains and music ------------
source "$MIRAVEL_SOURCE/tests/integration/saverhost/saverhost_lib.sh"
use_real_renderer
WAV=$(tone_file "tune.wav" 523 0.3)
write_settings 2 0 "$WAV"
launch /s
check "/s without X: two views come up" wait_kelvara 2 gnome_windows
RPID=$(pgrep -P "$LPID" | head -n1)
sleep 1.5
check "  the WAV is heard ($(size_of "$AUDIO") bytes written)" test -n "$(heard "$AUDIO" 523)"
check "  a view has the keyboard" view_has_keyboard gnome_windows
before=$(recorder_keys)
gnome_key 57
check "  a key ends the run with 0" ends_with_zero "$LPID" 2
check "  the renderer is gone" eval '! running "$RPID"'
check "  the key did not reach the application" test "$(recorder_keys)" = "$before"
check "  the sound has stopped" stops_growing "$AUDIO"
finish
