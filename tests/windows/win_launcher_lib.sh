# The launcher under Wine: a private program folder with Miravel.scr and
# Miravel.dll side by side. Source after wine_lib.sh.
LAUNCHER_BUILT="$MIRAVEL_BUILD/Miravel.scr"
APP="$WORK/app"
LAUNCHER="$APP/Miravel.scr"
mkdir -p "$APP"
cp "$LAUNCHER_BUILT" "$MIRAVEL_BUILD/Miravel.dll" "$APP/"

# settings KIND REPEAT FILE: Miravel.ini beside the launcher, with the
# code-page-932 key names the Linux build writes.
settings() { write_ini "$@" >"$APP/Miravel.ini"; }

# keep_desktop: a window of another program open for the whole test, as the
# desktop always is on Windows: between runs the focus comes to rest there,
# as it would on the desktop.
keep_desktop() {
  wine "$PROBE" window "Desktop keeper" MiravelTestKeeper </dev/null >/dev/null 2>&1 &
  track $!
  window_up "Desktop keeper" 20
}

LPID=""
# start_launcher ARGS...: runs Miravel.scr under Wine in the background,
# sets LPID; its Wine debug output goes to $WORK/launcher.log.
start_launcher() {
  wine "$LAUNCHER" "$@" </dev/null >>"$WORK/launcher.log" 2>&1 &
  LPID=$!
  track "$LPID"
}

# wine_path FILE: the Windows form of a Linux path (drive Z:).
wine_path() { printf 'Z:%s' "$1" | tr / '\\'; }

# settle_focus: waits until no renderer window is left and the focus has come
# to rest on the desktop keeper, so that each run starts from a quiet desktop
# as a saver run does: without a window manager Wine hands the focus on by
# itself when the last run's windows go, and a renderer rightly ends when the
# focus leaves it.
settle_focus() {
  wait_no_window KelvaraVC 5 || true
  local keeper end=$((SECONDS + 5))
  keeper=$(find_window "Desktop keeper")
  while [ -n "$keeper" ] && [ $SECONDS -le $end ]; do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$keeper" ] && break
    sleep 0.1
  done
  sleep 0.5
}

# end_run: a run that did not come up as expected is ended here, so the next
# case starts without a saver still holding "Kelvara_Main".
end_run() {
  [ -n "$LPID" ] && kill "$LPID" 2>/dev/null
  wait_exit "$LPID" 5 >/dev/null 2>&1 || true
  pkill -f 'Miravel\.dll' 2>/dev/null || true
  settle_focus
}

RID=""
# run_saver: /s started, the renderer's window up and focused (sets RID).
run_saver() {
  settle_focus
  start_launcher /s
  RID=$(wait_window KelvaraVC 20) || { end_run; return 1; }
  local end=$((SECONDS + 10))
  while [ $SECONDS -le $end ]; do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$RID" ] && return 0
    sleep 0.1
  done
  end_run
  return 1
}
