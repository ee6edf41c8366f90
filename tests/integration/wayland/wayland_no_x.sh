#!/usr/bin/env bash
# Miravel.scr on a Wayland session without X (a headless sway, DISPLAY
# unset, as with XWayland off): /s and the empty command line show the
# curtains and play the music, a key ends the run; a second start during a
# run ends at once; the modes that need X (/c, /p) and /s with no display of
# either kind end with 1 and say why.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wayland_lib.sh"
source "$MIRAVEL_SOURCE/tests/integration/saverhost/saverhost_lib.sh"
need_wayland_tools
start_sway
hold_keyboard
unset DISPLAY
use_real_renderer
WAV=$(tone_file "tune.wav" 523 0.3)
write_settings 2 0 "$WAV"

launcher_child() {
  RPID=$(pgrep -P "$LPID" | head -n1)
  [ -n "$RPID" ] && track "$RPID"
  [ -n "$RPID" ]
}

# --- /s without X ------------------------------------------------------------------
launch /s
check "/s without X: the renderer's two views come up" wait_views 2 10
check "  they are the launcher's child's" \
  eval 'launcher_child && test "$(kelvara_views | awk "{print \$4}" | sort -u)" = "$RPID"'
sleep 2
check "  the launcher still runs while the renderer does" running "$LPID"
check "  the WAV is heard ($(size_of "$AUDIO") bytes written)" test -n "$(heard "$AUDIO" 523)"
FIRST=$LPID FIRST_RENDERER=$RPID FIRST_AUDIO=$AUDIO
launch /s
check "a second /s during the run ends at once with 0" ends_with_zero "$LPID" 2
check "  and starts no second renderer" test "$(pgrep -c -f "^$APP/Miravel.dll")" = 1
check "  nor any music" test ! -s "$AUDIO"
LPID=$FIRST RPID=$FIRST_RENDERER AUDIO=$FIRST_AUDIO
wtype -k space
check "/s without X: a key ends the renderer" ends_within_pid "$RPID" 1
check "  and the launcher within a second with 0" ends_with_zero "$LPID" 1
check "  the sound has stopped" stops_growing "$AUDIO"
check "  no view is left" wait_views 0 2

# --- The empty command line runs the same way ------------------------------------
launch
check "empty command line without X: the views come up" wait_views 2 10
launcher_child
wtype -k Escape
check "  a key ends renderer and launcher with 0" \
  eval 'ends_within_pid "$RPID" 1 && ends_with_zero "$LPID" 1'

# --- Modes that need X --------------------------------------------------------------
# refused WHAT EXPECTED-TEXT ARGS...: ends with 1 within 2 s, saying why on
# standard error, and nothing was shown.
refused() {
  local what=$1 text=$2
  shift 2
  : >"$WORK/launcher.log"
  launch "$@"
  if wait_exit "$LPID" 2 && [ "$EXIT_CODE" = 1 ]; then
    pass "$what: ends with 1"
  else
    fail "$what: ends with 1 (exit ${EXIT_CODE:-still running})"
    kill "$LPID" 2>/dev/null
  fi
  check "$what: says why ($(head -c 120 "$WORK/launcher.log"))" grep -q "$text" "$WORK/launcher.log"
  check "$what: no renderer was started" test "$(kelvara_views | wc -l)" = 0
}
refused "/c on Wayland without X" "settings dialog needs an X display" /c
refused "/p on Wayland without X" "preview needs an X display" /p 1234
launch /a
check "/a on Wayland without X ends with 0 as everywhere" ends_with_zero "$LPID" 2

# --- No display of either kind --------------------------------------------------------
SAVED_WAYLAND=$WAYLAND_DISPLAY
unset WAYLAND_DISPLAY
refused "/s with no display at all" "no display to show the screen saver on" /s
refused "the empty command line with no display at all" "no display to show the screen saver on"
refused "/c with no display at all" "settings dialog needs an X display" /c
# A name left over from a session that is gone answers nobody.
export WAYLAND_DISPLAY="$WORK/runtime/wayland-gone"
refused "/s with a stale WAYLAND_DISPLAY" "no display to show the screen saver on" /s
export WAYLAND_DISPLAY=$SAVED_WAYLAND
finish
