#!/usr/bin/env bash
# The renderer on KWin (virtual backend, two outputs at scale 1.5), started
# with no activation token while another application has the focus: one
# fullscreen view per output, each buffer at the output's exact pixel size
# (1920x1080 for 1280x720 at 1.5, through the fractional-scale protocol and
# a viewport, not 2560x1440 from the whole scale 2); a key ends it with 0 and
# never reaches the application below.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/desktops_lib.sh"
need_tools kwin_wayland gdbus dbus-run-session setsid "$FAKE_INPUT"
need_key_recorder
need_tools sox
check "KWin comes up with two outputs at scale 1.5" start_kwin 1.5
check "the application is up and has the focus" start_key_recorder

RENDERER="$MIRAVEL_BUILD/Miravel.dll"
unset XDG_ACTIVATION_TOKEN DESKTOP_STARTUP_ID
MIRAVEL_REPORT_SIZES=1 "$RENDERER" </dev/null >"$WORK/renderer.log" 2>&1 &
RPID=$!
track "$RPID"
check "two views titled KelvaraVC come up" wait_kelvara 2 kwin_windows
views=$(placed_views kwin_windows)
echo "$views"
check "one fullscreen view on the first output" \
  grep -qx "KelvaraVC|miravel|true|0|0,0,1280,720|[a-z]*|$RPID" <<<"$views"
check "one fullscreen view on the second" \
  grep -qx "KelvaraVC|miravel|true|1|1280,0,1280,720|[a-z]*|$RPID" <<<"$views"
check "a view of the renderer is active, the application is not" \
  eval 'grep -q "|true|$RPID\$" <<<"$views" && kwin_windows | grep -q "^Key recorder|.*|false|[0-9]*\$"'
sizes=$(grep -c "view . buffer 1920x1080 shown at 1280x720" "$WORK/renderer.log")
check "each buffer is 1920x1080, shown at 1280x720" test "$sizes" = 2
check "no buffer was made at the rounded-up whole scale" \
  eval '! grep -q "buffer 2560x1440" "$WORK/renderer.log"'

sleep 0.5
before=$(recorder_keys)
kwin_key 57
check "a key ends the renderer with 0" ends_with_zero "$RPID" 2
check "the key did not reach the application" test "$(recorder_keys)" = "$before"
check "no view is left" wait_kelvara 0 kwin_windows

# --- Miravel.scr /s with no X at all (XWayland off): curtains and music ------------
source "$MIRAVEL_SOURCE/tests/integration/saverhost/saverhost_lib.sh"
use_real_renderer
WAV=$(tone_file "tune.wav" 523 0.3)
write_settings 2 0 "$WAV"
launch /s
check "/s without X: two views come up" wait_kelvara 2 kwin_windows
RPID=$(pgrep -P "$LPID" | head -n1)
sleep 1.5
check "  the WAV is heard ($(size_of "$AUDIO") bytes written)" test -n "$(heard "$AUDIO" 523)"
check "  a view has the keyboard" view_has_keyboard kwin_windows
before=$(recorder_keys)
kwin_key 57
check "  a key ends the run with 0" ends_with_zero "$LPID" 2
check "  the renderer is gone" eval '! running "$RPID"'
check "  the key did not reach the application" test "$(recorder_keys)" = "$before"
check "  the sound has stopped" stops_growing "$AUDIO"
finish
