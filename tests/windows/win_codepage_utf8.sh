#!/usr/bin/env bash
# The launcher with the system option "use Unicode UTF-8 for worldwide
# language support" (ANSI code page 65001, which Wine takes from a
# Unicode-only locale): /c shows the dialog, /s the
# renderer; and a relay log of every text conversion the programs make shows
# no call that Windows refuses at that code page (Wine accepts them all).
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/win_launcher_lib.sh"
start_xvfb 1024x768
wine_env
# A locale of this test's own: the shared prefix's wineserver runs in its
# own, and Wine takes the code page from the locale at every start.
export LOCPATH="$WORK/locale"
mkdir -p "$LOCPATH"
localedef -i hi_IN -f UTF-8 "$LOCPATH/hi_IN.UTF-8" >/dev/null 2>&1
export LANG=hi_IN.UTF-8
wine_start
export LOCPATH="$WORK/locale" LANG=hi_IN.UTF-8
keep_desktop
acp=$(probe acp)
check "the ANSI code page is 65001 [$acp]" test "$acp" = 65001
[ "$acp" = 65001 ] || finish

DEBUG_KEY='HKCU\Software\Wine\Debug'
timeout 20 wine reg add "$DEBUG_KEY" /v RelayInclude /f /d \
  'kernel32.WideCharToMultiByte;kernel32.MultiByteToWideChar;kernelbase.WideCharToMultiByte;kernelbase.MultiByteToWideChar' \
  </dev/null >/dev/null 2>&1
end_relay() { [ "$_WINE_UP" = 1 ] && timeout 20 wine reg delete "$DEBUG_KEY" /v RelayInclude /f </dev/null >/dev/null 2>&1; }
trap 'end_relay; wine_stop; cleanup' EXIT
RELAY="$WORK/relay.log"
relay_launcher() {
  WINEDEBUG=-all,+pid,+relay,+loaddll wine "$LAUNCHER" "$@" </dev/null 2>>"$RELAY" >/dev/null &
  LPID=$!
  track "$LPID"
}

# /c: the dialog and its labels.
relay_launcher /c
if window_up "<Miravel>" 30; then
  client=$(probe info "<Miravel>" | sed -n 's/^client=//p')
  check "/c: the dialog comes up, laid out as always [$client]" test "${client#*,*,}" = "479,252"
  xdotool windowfocus --sync "$(find_window "<Miravel>")" 2>/dev/null
  xdotool key Escape
  check "/c: Escape ends it with 0" eval 'wait_exit "$LPID" 10 && [ "$EXIT_CODE" = 0 ]'
else
  fail "/c: the dialog comes up"
fi

# /s: the renderer, ended by a key.
settle_focus
relay_launcher /s
if RID=$(wait_window KelvaraVC 30); then
  pass "/s: the renderer comes up"
  sleep 1
  xdotool key x
  check "/s: a key ends the launcher with 0" eval 'wait_exit "$LPID" 15 && [ "$EXIT_CODE" = 0 ]'
else
  fail "/s: the renderer comes up"
  end_run
fi

python3 "$(dirname "$0")/relay_conversions.py" "$RELAY" 65001 "$APP/Miravel.scr" "$APP/Miravel.dll" \
  >"$WORK/refused.txt"
status=$?
cat "$WORK/refused.txt"
check "no conversion call of either program is one Windows refuses at code page 65001" \
  test "$status" = 0
finish
